// The host's standard routines that draw: what a renderer hands on appears on
// the picture, drawn through the renderer's own simpler slots.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>

#include "host/host_patterns.h"
#include "tests/support/test_host.h"

namespace {

using Pixels = std::set<std::pair<int32_t, int32_t>>;
using S = ZT_Slot;

Pixels lit(const Test_Host& h, uint32_t background = 0) {
  Pixels p;
  const auto& img = *h.r().color_buffer.data();
  for (int32_t y = 0; y < img.height; ++y)
    for (int32_t x = 0; x < img.width; ++x)
      if (h.color(x, y) != background) p.insert({x, y});
  return p;
}

Pixels rectangle(int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
  Pixels p;
  for (int32_t y = y0; y <= y1; ++y)
    for (int32_t x = x0; x <= x1; ++x) p.insert({x, y});
  return p;
}

// Counts the calls reaching a slot, then hands them to what the slot held.
template <ZT_Slot Slot, typename Fn = typename ZT_Slot_Traits<Slot>::Function>
struct Spy;
template <ZT_Slot Slot, typename... A>
struct Spy<Slot, void(ZT_Renderer_Data*, const ZT_Rendition&, A...)> {
  static inline typename ZT_Slot_Traits<Slot>::Function* held = nullptr;
  static inline int calls = 0;
  static inline ZT_Rendition last;
  static void run(ZT_Renderer_Data* r, const ZT_Rendition& d, A... a) {
    ++calls;
    last = d;
    held(r, d, a...);
  }
  static void install(Test_Host& h) {
    held = h.actions().function<Slot>();
    calls = 0;
    h.actions().install<Slot>(h.renderer, &run);
  }
};

void polyline(Test_Host& h, std::vector<ZT_DCI_Point> p) {
  h.actions().call<S::draw_2di_polyline>(h.rendition, int32_t(p.size()), p.data());
}

// ---------------------------------------------------------------------------
// Wide lines.

TEST(HostWideLines, CoverTheBandAroundTheOnePixelLineThroughTheTriangleSlots) {
  Test_Host h('F');
  Spy<S::draw_2di_polytriangle>::install(h);
  Spy<S::draw_2di_polyline>::install(h);
  h.rendition.modify()->line_weight = 3;
  polyline(h, {{10, 20, 0}, {40, 20, 0}});
  EXPECT_EQ(lit(h), rectangle(10, 40, 19, 21));
  h.fill_color(0);
  h.rendition.modify()->line_weight = 4;  // an even weight: the extra column on the right
  polyline(h, {{20, 5, 0}, {20, 30, 0}});
  EXPECT_EQ(lit(h), rectangle(19, 22, 5, 30));
  EXPECT_EQ(Spy<S::draw_2di_polytriangle>::calls, 2);
  EXPECT_EQ(Spy<S::draw_2di_polyline>::calls, 2);  // only the calls made here
  // The quads drew on a solid face without the line's weight.
  EXPECT_EQ(Spy<S::draw_2di_polytriangle>::last->line_weight, 1);
}

TEST(HostWideLines, TheOnePixelLineLiesInsideTheWideOne) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<int32_t> x(4, 60), y(4, 44);
  for (int trial = 0; trial < 100; ++trial) {
    std::vector<ZT_DCI_Point> p;
    for (int i = 0; i < 5; ++i) p.push_back({x(rng), y(rng), 0});
    Test_Host thin('B'), wide('B');
    polyline(thin, p);
    wide.rendition.modify()->line_weight = 3;
    polyline(wide, p);
    const Pixels t = lit(thin), w = lit(wide);
    for (const auto& px : t)
      ASSERT_TRUE(w.count(px)) << trial << ": " << px.first << "," << px.second << " of "
                               << p[0].x << "," << p[0].y << " " << p[1].x << "," << p[1].y << " "
                               << p[2].x << "," << p[2].y << " " << p[3].x << "," << p[3].y
                               << " " << p[4].x << "," << p[4].y;
    ASSERT_GT(w.size(), t.size()) << trial;
  }
}

TEST(HostWideLines, MitredJoinsBlendEveryPixelOnce) {
  Test_Host h('A');
  h.rendition.modify()->current_color = ZT_RGB32(200, 100, 0, 128);
  h.rendition.modify()->line_weight = 5;
  // Turns of 90 and 45 degrees: all mitred.
  polyline(h, {{8, 8, 0}, {40, 8, 0}, {40, 30, 0}, {20, 40, 0}, {10, 30, 0}});
  const Pixels p = lit(h);
  ASSERT_GT(p.size(), 200u);
  const uint32_t once = h.color(20, 8);
  for (const auto& [x, y] : p) ASSERT_EQ(h.color(x, y), once) << x << "," << y;
}

TEST(HostWideLines, SegmentAndVertexColoursFollowTheQuads) {
  Test_Host h('F');
  h.rendition.modify()->line_weight = 3;
  const ZT_DCI_Point p[3] = {{8, 8, 0}, {40, 8, 0}, {40, 40, 0}};
  const ZT_RGB32 c[2] = {ZT_RGB32(255, 0, 0), ZT_RGB32(0, 0, 255)};
  h.actions().call<S::draw_2di_colorized_polyline>(h.rendition, 3, p, c, false);
  EXPECT_EQ(h.color(20, 9), c[0].word());
  EXPECT_EQ(h.color(41, 25), c[1].word());
  h.fill_color(0);
  const ZT_RGB32 v[3] = {ZT_RGB32(0, 0, 0), ZT_RGB32(200, 0, 0), ZT_RGB32(200, 200, 0)};
  h.actions().call<S::draw_2di_gouraud_polyline>(h.rendition, 3, p, v);
  const ZT_RGB32 mid = ZT_RGB32::from_word(h.color(24, 8));
  EXPECT_NEAR(mid.r, 100, 8);
  EXPECT_NEAR(ZT_RGB32::from_word(h.color(40, 40)).g, 200, 6);
}

// ---------------------------------------------------------------------------
// Styled lines.

TEST(HostStyledLines, DashesFollowTheStyleBitsAlongTheLineAcrossVertices) {
  for (uint32_t style : {0x0F0F0F0Fu, 0x00000001u, 0xAAAAAAAAu, 0xFFFF0000u}) {
    Test_Host h('F');
    Spy<S::draw_2di_polyline>::install(h);
    h.rendition.modify()->line_style = int32_t(style);
    polyline(h, {{5, 10, 0}, {20, 10, 0}, {20, 40, 0}});
    // Pixel k along the L: (5 + k, 10) for k < 15, then (20, 10 + k - 15).
    Pixels expected;
    for (int32_t k = 0; k <= 45; ++k)
      if ((style >> (k % 32)) & 1) expected.insert(k < 15 ? std::pair{5 + k, 10} : std::pair{20, k - 5});
    EXPECT_EQ(lit(h), expected) << std::hex << style;
    EXPECT_EQ(Spy<S::draw_2di_polyline>::last->line_style, 0);
  }
}

// A styled segment reaching far beyond the window is dashed only near the
// clip: the pattern keeps its phase over the rest, so the dashes inside are
// those of the whole line (here the same line, cut at the window's far side,
// draws the same pixels), and the far end costs nothing.
TEST(HostStyledLines, FarSegmentsAreDashedOnlyNearTheClip) {
  Test_Host far('F'), near('F');
  for (Test_Host* h : {&far, &near}) h->rendition.modify()->line_style = int32_t(0x0F0F0F0Fu);
  polyline(far, {{-2000000000, 10, 0}, {2000000000, 10, 0}});
  // Pixel k of the far line is at x = -2e9 + k: the near line starts on a
  // pixel whose pattern position is the far line's there (a multiple of 32
  // away), within a few pixels of the window.
  const int32_t start = -2000000000 + int32_t(((2000000000 - 64) / 32) * 32);
  polyline(near, {{start, 10, 0}, {200, 10, 0}});
  EXPECT_FALSE(lit(far).empty());
  EXPECT_EQ(lit(far), lit(near));
  // A hard clip across the whole coordinate range dashes only what the window
  // can show: the same pixels, a few dozen pieces, not one per 8 of 4e9 pixels.
  Test_Host unbounded('F');
  unbounded.rendition.modify()->line_style = int32_t(0x0F0F0F0Fu);
  unbounded.rendition.modify()->hard_clip = {INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX};
  Spy<S::draw_2di_polyline>::install(unbounded);
  polyline(unbounded, {{-2000000000, 10, 0}, {2000000000, 10, 0}});
  EXPECT_EQ(lit(unbounded), lit(far));
  EXPECT_GT(Spy<S::draw_2di_polyline>::calls, 2);
  EXPECT_LT(Spy<S::draw_2di_polyline>::calls, 64);
  // An empty clip (bottom above top) across the whole range shows nothing and
  // walks nothing.
  Test_Host empty('F');
  empty.rendition.modify()->line_style = int32_t(0x0F0F0F0Fu);
  empty.rendition.modify()->hard_clip = {0, 63, INT32_MAX, INT32_MIN};
  Spy<S::draw_2di_polyline>::install(empty);
  polyline(empty, {{44, 0, 0}, {2, INT32_MIN, 0}});
  EXPECT_TRUE(lit(empty).empty());
  EXPECT_EQ(Spy<S::draw_2di_polyline>::calls, 1);
}

TEST(HostStyledLines, StyledWideLinesAreWideDashes) {
  Test_Host h('F');
  h.rendition.modify()->line_style = 0x0F0F0F0F;
  h.rendition.modify()->line_weight = 3;
  polyline(h, {{6, 20, 0}, {50, 20, 0}});
  Pixels expected;
  for (int32_t x = 6; x <= 50; ++x)
    if ((x - 6) % 8 < 4) expected.merge(rectangle(x, x, 19, 21));
  EXPECT_EQ(lit(h), expected);
}

// ---------------------------------------------------------------------------
// Markers.

TEST(HostMarkers, EverySymbolStaysInItsSevenBySevenBox) {
  Pixels plus;
  for (int32_t style = 1; style <= 11; ++style) {
    Test_Host h('F');
    Spy<S::draw_2di_polyline>::install(h);
    Spy<S::draw_2d_polytriangle>::install(h);
    h.rendition.modify()->marker_style = style == 11 ? 99 : style;
    const ZT_DCI_Point at[2] = {{30, 20, 0}, {200, 200, 0}};  // the second is clipped away
    h.actions().call<S::draw_2di_polymarker>(h.rendition, 2, at);
    EXPECT_GT(Spy<S::draw_2di_polyline>::calls + Spy<S::draw_2d_polytriangle>::calls, 0);
    const Pixels p = lit(h);
    EXPECT_GE(p.size(), 7u) << style;
    for (const auto& px : p) EXPECT_TRUE(rectangle(27, 33, 17, 23).count(px)) << style;
    if (style == 1) {
      plus = p;
      Pixels expected = rectangle(27, 33, 20, 20);
      expected.merge(rectangle(30, 30, 17, 23));
      EXPECT_EQ(p, expected);
    }
    if (style == 5) {
      EXPECT_EQ(p.size(), 24u);  // the square's outline
    }
    if (style == 6) {
      EXPECT_EQ(p, rectangle(27, 33, 17, 23));
    }
    if (style == 11) {
      EXPECT_EQ(p, plus);  // unknown styles draw the plus
    }
  }
}

// ---------------------------------------------------------------------------
// Host patterns.

void square_strip(Test_Host& h) {
  const ZT_DCI_Point p[4] = {{3, 2, 0}, {45, 2, 0}, {3, 40, 0}, {45, 40, 0}};
  const ZT_RGB32 c(10, 200, 30);
  h.actions().call<S::draw_2di_colorized_polytriangle>(h.rendition, 4, p, &c, true);
}

TEST(HostPatterns, DrawAsTheUserPatternWithTheHostBits) {
  for (int32_t index = ZD_First_Host_Pattern;
       index < ZD_First_Host_Pattern + ZD_Host_Pattern_Count; ++index) {
    for (uint32_t flags : {0u, ZT_Pattern_Background | ZT_Pattern_Invert}) {
      Test_Host host('F'), user('F');
      host.rendition.modify_face()->pattern_index = index;
      host.rendition.modify_face()->pattern_origin = {3, 5};
      host.rendition.modify_face()->pattern_flags = flags;
      user.rendition = host.rendition;
      const ZD_Host_Pattern& p = *ZD_host_pattern(index);
      ZT_Face_Attributes* f = user.rendition.modify_face();
      f->pattern_index = ZT_Pattern_User;
      f->user_pattern_bits.assign(p.bits, p.bits + p.row_bytes * p.height);
      f->user_pattern_width = p.width;
      f->user_pattern_height = p.height;
      f->user_pattern_row_bytes = p.row_bytes;
      square_strip(host);
      square_strip(user);
      EXPECT_TRUE(same_buffers(host, user)) << index;
      if (flags) continue;
      const size_t drawn = lit(host).size();
      EXPECT_GT(drawn, 0u) << index;
      EXPECT_LT(drawn, rectangle(3, 44, 2, 39).size()) << index;  // holes
    }
  }
  // Indices outside the set draw solid.
  Test_Host unknown('F'), solid('F');
  unknown.rendition.modify_face()->pattern_index = 99;
  square_strip(unknown);
  square_strip(solid);
  EXPECT_TRUE(same_buffers(unknown, solid));
}

TEST(HostPatterns, PolygonsAndPaletteConfigurationsToo) {
  Test_Host host('C'), user('C');
  for (Test_Host* h : {&host, &user}) {
    h->rendition.modify_face()->pattern_index = 81;
    h->rendition.modify()->current_color = ZT_RGB32(0, 255, 0);
    h->rendition.modify()->current_index = 20;
  }
  const ZT_Point outline[5] = {{4, 4, 0}, {50, 6, 0}, {60, 30, 0}, {30, 44, 0}, {8, 30, 0}};
  host.actions().call<S::draw_2d_polygon>(host.rendition, 5, outline, nullptr);
  // The same outline split by hand into triangles with the user pattern.
  ZT_Face_Attributes* f = user.rendition.modify_face();
  const ZD_Host_Pattern& p = *ZD_host_pattern(81);
  f->pattern_index = ZT_Pattern_User;
  f->user_pattern_bits.assign(p.bits, p.bits + p.row_bytes * p.height);
  f->user_pattern_width = f->user_pattern_height = 16;
  f->user_pattern_row_bytes = 2;
  user.actions().call<S::draw_2d_polygon>(user.rendition, 5, outline, nullptr);
  EXPECT_TRUE(same_buffers(host, user));
  EXPECT_FALSE(lit(host).empty());
}

TEST(HostRectangleFill, PatternedFillInTheRectangleColourLeavesDepthAlone) {
  Test_Host h('F');
  h.fill_depth(0x1234);
  ZT_Rendition_Data* d = h.rendition.modify();
  d->rectangle_color = ZT_RGB32(0, 0, 255);
  d->current_color = ZT_RGB32(255, 0, 0);
  d->hard_clip = {2, 20, 3, 30};
  h.rendition.modify_face()->pattern_index = 78;  // bands of 4 rows
  h.actions().call<S::span_dc_rectangle>(h.rendition);
  Pixels expected;
  for (int32_t y = 3; y <= 30; ++y)
    if (y % 8 < 4) expected.merge(rectangle(2, 20, y, y));
  EXPECT_EQ(lit(h), expected);
  EXPECT_EQ(h.color(5, 8), ZT_RGB32(0, 0, 255).word());
  EXPECT_EQ(h.depth(5, 8), 0x1234);
}

// ---------------------------------------------------------------------------
// Textured triangles.

// 2 x 2 texels: red bottom left, green bottom right, blue top left, white top right.
const ZT_RGB32 red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255), white(255, 255, 255);

void give_checker(ZT_Rendition& d, int32_t wrap = ZT_Wrap_Repeat) {
  const ZT_RGB32 texels[4] = {blue, white, red, green};  // memory order: top row first
  ZT_Counted_Ptr<ZT_Texture> t(
      new ZT_Texture(ZT_Shared_Image(2, 2, ZT_Image_Format_RGB32, 0, texels, false)));
  t->u_wrap = t->v_wrap = wrap;
  d.modify_face()->set_texture(t);
}

struct Quad {
  ZT_DCI_Point p[4] = {{8, 8, 100}, {40, 8, 100}, {8, 40, 100}, {40, 40, 100}};
  ZT_Parameter t[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
  // The right side four times as far.  (u / w and 1 / w are then affine over
  // the whole square, v / w only over each triangle.)
  float w[4] = {1, 4, 1, 4};
  ZT_Vector n[4] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
  void draw(Test_Host& h, const ZT_RGB32* colors = nullptr, bool normals = false) {
    h.actions().call<S::draw_2di_textured_polytriangle>(h.rendition, 4, p, colors, t, 1, w,
                                                        normals ? n : nullptr);
  }
  // As a renderer hands the call on: straight to the host's routine.
  void to_host(Test_Host& h, const ZT_RGB32* colors = nullptr, bool normals = false) {
    ZD_Standard_Draw_2DI_Textured_Polytriangle(h.renderer, h.rendition, 4, p, colors, t, 1, w,
                                               normals ? n : nullptr);
  }
};

TEST(HostTextured, WithoutATexturedSlotTheTexelsArriveAsGouraudTriangles) {
  Test_Host h('B');
  Spy<S::draw_2di_gouraud_polytriangle>::install(h);
  give_checker(h.rendition);
  Quad().draw(h);
  EXPECT_GT(Spy<S::draw_2di_gouraud_polytriangle>::calls, 100);
  EXPECT_EQ(h.color(16, 16), red.word());
  EXPECT_EQ(h.color(30, 16), green.word());
  EXPECT_EQ(h.color(16, 32), blue.word());
  EXPECT_EQ(h.color(32, 32), white.word());
  EXPECT_EQ(lit(h), rectangle(8, 39, 8, 39));
  // Perspective: u = 0.5 moves to 80% of the way across (looked at in the
  // first triangle, below the diagonal).
  h.fill_color(0);
  h.rendition.modify()->perspective = 1;
  Quad().draw(h);
  EXPECT_EQ(h.color(30, 12), red.word());
  EXPECT_EQ(h.color(36, 10), green.word());
}

TEST(HostTextured, NoRepeatLeavesPixelsOutsideTheImageAlone) {
  Test_Host h('E');
  give_checker(h.rendition, ZT_Wrap_None);
  Quad q;
  for (ZT_Parameter& t : q.t) t.u = t.u * 3 - 1;  // u from -1 to 2
  q.draw(h);
  EXPECT_EQ(h.color(10, 20), 0u);
  EXPECT_EQ(h.color(38, 20), 0u);
  // Columns are truncated toward zero: u from -0.5 to 0.5 reads column 0.
  EXPECT_EQ(h.color(18, 12), red.word());
  EXPECT_EQ(h.color(26, 12), green.word());
}

TEST(HostTextured, LightAndVertexColoursScaleTheTexels) {
  Test_Host h('C');
  Test_Host b('B');
  for (Test_Host* t : {&h, &b}) {
    ZT_Counted_Ptr<ZT_Basic_Material> m(new ZT_Basic_Material());
    m->ambient = {{0.25f, 0.25f, 0.25f}};
    m->diffuse = {{0.25f, 0.25f, 0.25f}};
    t->rendition.modify_face()->material = m;
    t->rendition.modify_face()->set_texture(new ZT_Texture());  // one white texel
    t->rendition.modify()->lighting = 1;
  }
  Quad().draw(b, nullptr, true);
  EXPECT_EQ(b.color(20, 20), ZT_RGB32(128, 128, 128).word());
  b.rendition.modify_face()->texture()->modulate = 1;
  const ZT_RGB32 reds[4] = {red, red, red, red};
  Quad().draw(b, reds, true);
  EXPECT_EQ(b.color(20, 20), ZT_RGB32(128, 0, 0).word());
  Quad().draw(h, nullptr, true);
  EXPECT_NE(h.color(20, 20), 0u);  // a palette index of the grey
}

// A textured action standing in for a renderer's: it records what it gets.
struct Textured_Call {
  uint32_t perspective;
  int32_t lighting, width;
  uint8_t modulate;
  std::vector<ZT_DCI_Point> points;
  std::vector<ZT_Parameter> parameters;
  std::vector<ZT_RGB32> colors;
};
std::vector<Textured_Call> textured_calls;
void record_textured(ZT_Renderer_Data*, const ZT_Rendition& d, int32_t n, const ZT_DCI_Point* p,
                     const ZT_RGB32* c, const ZT_Parameter* t, int32_t width, const float*,
                     const ZT_Vector*) {
  textured_calls.push_back({d->perspective, d->lighting, width, d->face->texture()->modulate,
                            {p, p + n}, {t, t + n}, c ? std::vector<ZT_RGB32>(c, c + n) : std::vector<ZT_RGB32>{}});
}

TEST(HostTextured, PerspectiveGoesToTheTexturedSlotAsAffinePieces) {
  Test_Host h('F');
  h.actions().install<S::draw_2di_textured_polytriangle>(h.renderer, &record_textured);
  give_checker(h.rendition);
  h.rendition.modify()->perspective = 1;
  textured_calls.clear();
  Quad().to_host(h);
  ASSERT_GT(textured_calls.size(), 4u);
  for (const Textured_Call& c : textured_calls) {
    EXPECT_EQ(c.perspective & 1u, 0u);
    EXPECT_EQ(c.width, 1);
    for (size_t k = 0; k < c.points.size(); ++k) {
      // u at screen fraction s across the quad, with w from 1 to 4.
      const double s = (c.points[k].x - 8) / 32.0;
      ASSERT_NEAR(c.parameters[k].u, (s / 4) / ((1 - s) + s / 4), 0.02);
    }
  }
  // Lighting: lighting off in the copy, a modulating texture, lit colours.
  textured_calls.clear();
  h.rendition.modify()->perspective = 0;
  h.rendition.modify()->lighting = 1;
  ZT_Counted_Ptr<ZT_Basic_Material> m(new ZT_Basic_Material(*h.rendition->face->material));
  m->ambient = {{0.5f, 0.5f, 0.5f}};
  m->diffuse = {{0, 0, 0}};
  h.rendition.modify_face()->material = m;
  Quad().to_host(h, nullptr, true);
  ASSERT_EQ(textured_calls.size(), 1u);
  EXPECT_EQ(textured_calls[0].lighting, 0);
  EXPECT_EQ(textured_calls[0].modulate, 1);
  EXPECT_EQ(textured_calls[0].colors, std::vector<ZT_RGB32>(4, ZT_RGB32(128, 128, 128)));
  EXPECT_EQ(m->texture()->modulate, 0);  // the face's own texture is unchanged
}

TEST(HostTextured, APieceHandedBackIsDrawnAsGouraudTrianglesAndNothingLoops) {
  Test_Host f('F');
  // F's textured slot hands everything to the host, as a renderer that
  // refuses the piece would.
  f.actions().install<S::draw_2di_textured_polytriangle>(
      f.renderer, &ZD_Standard_Draw_2DI_Textured_Polytriangle);
  Spy<S::draw_2di_textured_polytriangle>::install(f);
  give_checker(f.rendition);
  f.rendition.modify()->perspective = 1;
  Quad().draw(f);
  EXPECT_GT(Spy<S::draw_2di_textured_polytriangle>::calls, 4);
  EXPECT_EQ(lit(f), rectangle(8, 39, 8, 39));
  EXPECT_EQ(f.color(30, 12), red.word());
  EXPECT_EQ(f.color(36, 10), green.word());
  // A renderer whose slots all hold the host's actions: a host pattern comes
  // back once and stops.
  Test_Host bare;
  bare.rendition.modify_face()->pattern_index = 80;
  const ZT_DCI_Point p[3] = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}};
  ZD_Fallback_Log::clear();
  bare.actions().call<S::draw_2di_polytriangle>(bare.rendition, 3, p);
  EXPECT_EQ(ZD_Fallback_Log::calls().size(), 2u);
}

TEST(HostTextured, RecordOnlyDrawsNothingAndHostileInputDoesNotCrash) {
  Test_Host h('B');
  give_checker(h.rendition);
  h.rendition.modify()->perspective = 1;
  h.rendition.modify()->line_weight = 5;
  const auto calls = host_calls([&] {
    Quad().draw(h);
    polyline(h, {{1, 1, 0}, {50, 40, 0}});
  });
  EXPECT_EQ(calls.size(), 2u);
  EXPECT_TRUE(lit(h).empty());
  // NaN, infinite and huge coordinates, zero and negative w.
  Quad q;
  q.w[1] = 0;
  q.w[2] = -1;
  q.t[3].u = NAN;
  q.draw(h);
  const ZT_Point huge[4] = {{0, 0, 0}, {1e30f, 5, 0}, {-1e30f, 40, 0}, {NAN, 40, 0}};
  h.actions().call<S::draw_2d_textured_polytriangle>(h.rendition, 4, huge, nullptr, q.t, 1, q.w,
                                                     nullptr);
  polyline(h, {{INT32_MIN, 0, 0}, {INT32_MAX, 40, 0}, {0, INT32_MAX, 0}});
  EXPECT_TRUE(h.fences_intact());
}

}  // namespace
