// Polylines through the action table: the worked examples, depth and colour
// rules per configuration, the host fallbacks, hostile input, and the central
// property that a clipped (2DI) polyline lights exactly the pixels of the same
// polyline drawn unclipped (DCI) that lie inside the hard clip, with the same
// colours and depths, and nothing else.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "mask_cache.h"
#include "strip_edge_lines.h"
#include "test_host.h"

namespace {

enum class Form { Plain, Colorized, Gouraud };

struct Polyline {
  std::vector<ZT_DCI_Point> points;
  std::vector<ZT_RGB32> colours = {}; // per segment (colorized) or per point (Gouraud)
  bool single = false;
};

void draw(Test_Host& host, Form form, bool clipped, const Polyline& p) {
  auto& a = host.actions();
  const auto& d = host.rendition;
  const int32_t n = int32_t(p.points.size());
  const ZT_DCI_Point* pts = p.points.data();
  const ZT_RGB32* c = p.colours.data();
  switch (form) {
  case Form::Plain:
    if (clipped)
      a.call<ZT_Slot::draw_2di_polyline>(d, n, pts);
    else
      a.call<ZT_Slot::draw_dci_polyline>(d, n, pts);
    break;
  case Form::Colorized:
    if (clipped)
      a.call<ZT_Slot::draw_2di_colorized_polyline>(d, n, pts, c, p.single);
    else
      a.call<ZT_Slot::draw_dci_colorized_polyline>(d, n, pts, c, p.single);
    break;
  case Form::Gouraud:
    if (clipped)
      a.call<ZT_Slot::draw_2di_gouraud_polyline>(d, n, pts, c);
    else
      a.call<ZT_Slot::draw_dci_gouraud_polyline>(d, n, pts, c);
    break;
  }
}

Window_Setup setup_for(char config, int32_t width, int32_t height, ZT_Int_Point origin = {}) {
  Window_Setup s;
  s.width = width;
  s.height = height;
  s.origin = origin;
  s.buffer_depth = config >= 'D' ? 16 : 0;
  s.color_system = (config == 'C' || config == 'D') ? 0 : 1;
  s.alpha_blending = config == 'A' || config == 'E';
  return s;
}

// Writes a pixel of the colour buffer (a word, or its low byte when mapped).
void put_color(Test_Host& host, int32_t x, int32_t y, uint32_t v) {
  const ZT_Shared_Image& img = host.r().color_buffer;
  if (img->format == ZT_Image_Format_RGB32)
    std::memcpy(img->rows_by_y[y] + 4 * x, &v, 4);
  else
    img->rows_by_y[y][x] = uint8_t(v);
}
void put_depth(Test_Host& host, int32_t x, int32_t y, uint16_t v) {
  if (!host.r().depth_buffer.empty())
    std::memcpy(host.r().depth_buffer->rows_by_y[y] + 2 * x, &v, 2);
}

// A background to draw over: varied colours, a quarter of them the merge
// background, and varied depths.
void fill_pattern(Test_Host& host) {
  const bool true_colour = host.r().color_buffer->format == ZT_Image_Format_RGB32;
  const uint32_t background =
      true_colour ? host.r().merge_background_color.word() : host.r().merge_background_index;
  for (int32_t y = 0; y < host.r().window_size.y; ++y)
    for (int32_t x = 0; x < host.r().window_size.x; ++x) {
      const uint32_t k = (uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u) * 2246822519u;
      put_color(host, x, y, k % 4 == 0 ? background : k);
      put_depth(host, x, y, uint16_t(k >> 9));
    }
  host.rearm_fences();
}

void use_mask(Test_Host& host, const std::vector<ZT_Point>& outline) {
  host.set_option("Use Mask", ZT_Option_Value(true));
  host.establish_again();
  host.rendition.modify()->complex_clip =
      ZT_Contour_Set(int32_t(outline.size()), outline.data(), true);
}

std::string describe(const Polyline& p, const ZT_Int_Rectangle& r) {
  std::string s = " clip [" + std::to_string(r.left) + "," + std::to_string(r.right) + "]x[" +
                  std::to_string(r.bottom) + "," + std::to_string(r.top) + "] points";
  for (const ZT_DCI_Point& q : p.points)
    s += " (" + std::to_string(q.x) + "," + std::to_string(q.y) + "," + std::to_string(q.z) + ")";
  return s;
}

// ---- The central property --------------------------------------------------

constexpr int32_t W = 96, H = 80, M = 32; // multiples of 8: the dither agrees

struct Variant {
  bool mask, merge;
};

// Draws random polylines into two hosts: unclipped into a window reaching M
// pixels beyond every side, and clipped to a random hard-clip rectangle into a
// window of W × H.  After every draw the clipped window must equal the wide
// one inside the rectangle and be untouched outside it, colours and depths.
int32_t clipped_equals_unclipped(char config, Form form, Variant v, uint32_t seed, int32_t draws) {
  Test_Host wide, clipped;
  wide.establish(setup_for(config, W + 2 * M, H + 2 * M, {-M, -M}));
  clipped.establish(setup_for(config, W, H));
  const std::vector<ZT_Point> star = {
      {10, 5, 0}, {90, 40, 0}, {5, 70, 0}, {60, -20, 0}, {70, 85, 0}};
  for (Test_Host* h : {&wide, &clipped}) {
    if (v.mask) use_mask(*h, star);
    if (v.merge) h->rendition.modify()->drawing_mode = ZT_Drawing_Mode_Merge;
  }
  fill_pattern(clipped);
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int32_t> coordinate(-M, W + M - 1);
  int32_t segments = 0;
  for (int32_t i = 0; i < draws; ++i) {
    Polyline p;
    const int32_t n = i % 25 == 24 ? 65 + int32_t(rng() % 4) : 2 + int32_t(rng() % 5);
    for (int32_t k = 0; k < n; ++k)
      p.points.push_back({coordinate(rng), coordinate(rng), int32_t(rng() & 0xFFFF)});
    if (rng() % 8 == 0) p.points.back() = p.points.front(); // closed
    for (int32_t k = 0; k < n; ++k)
      p.colours.push_back(ZT_RGB32::from_word(rng() % 2 ? rng() | 0xFF000000 : rng()));
    p.single = rng() % 4 == 0;
    segments += n - 1;
    // A rectangle inside the window; a third of them with a side through a
    // point, cutting a first or last pixel.
    std::uniform_int_distribution<int32_t> x(0, W - 1), y(0, H - 1);
    int32_t x0 = x(rng), x1 = x(rng), y0 = y(rng), y1 = y(rng);
    if (rng() % 3 == 0) {
      const ZT_DCI_Point& at = p.points[rng() % p.points.size()];
      x0 = std::clamp(at.x + int32_t(rng() % 3) - 1, 0, W - 1);
      y1 = std::clamp(at.y + int32_t(rng() % 3) - 1, 0, H - 1);
    }
    const ZT_Int_Rectangle rect{std::min(x0, x1), std::max(x0, x1), std::min(y0, y1),
                                std::max(y0, y1)};
    const int32_t mode = int32_t(rng() % 6), write = int32_t(rng() % 2);
    for (Test_Host* h : {&wide, &clipped}) {
      h->r().depth_test_mode = mode;
      h->r().depth_write = uint8_t(write);
    }
    clipped.rendition.modify()->hard_clip = rect;
    const auto before = clipped.color_snapshot();
    const auto depth_before = clipped.depth_snapshot();
    // Both start from the same pixels where they overlap.
    for (int32_t py = 0; py < H; ++py)
      for (int32_t px = 0; px < W; ++px) {
        put_color(wide, px + M, py + M, before[std::size_t(py * W + px)]);
        if (!depth_before.empty())
          put_depth(wide, px + M, py + M, depth_before[std::size_t(py * W + px)]);
      }
    draw(wide, form, false, p);
    draw(clipped, form, true, p);
    EXPECT_TRUE(clipped.fences_intact() && wide.fences_intact());
    // The clipped window as it should be: the wide one inside the rectangle.
    auto color = before;
    auto depth = depth_before;
    for (int32_t py = rect.bottom; py <= rect.top; ++py)
      for (int32_t px = rect.left; px <= rect.right; ++px) {
        color[std::size_t(py * W + px)] = wide.color(px + M, py + M);
        if (!depth.empty()) depth[std::size_t(py * W + px)] = wide.depth(px + M, py + M);
      }
    if (clipped.color_snapshot() != color || clipped.depth_snapshot() != depth) {
      ADD_FAILURE() << config << " form " << int(form) << " mask " << v.mask << " merge " << v.merge
                    << " seed " << seed << " draw " << i << describe(p, rect);
      return segments;
    }
  }
  return segments;
}

class ClippedEqualsUnclipped : public ::testing::TestWithParam<char> {};

TEST_P(ClippedEqualsUnclipped, EveryFormAndVariant) {
  const char config = GetParam();
  int32_t segments = 0;
  uint32_t seed = uint32_t(config) * 100;
  for (Form form : {Form::Plain, Form::Colorized, Form::Gouraud})
    for (Variant v : {Variant{false, false}, {false, true}, {true, false}, {true, true}})
      segments += clipped_equals_unclipped(config, form, v, ++seed, 160);
  RecordProperty("segments", segments);
  EXPECT_GT(segments, 10000);
}

INSTANTIATE_TEST_SUITE_P(Lines, ClippedEqualsUnclipped,
                         ::testing::Values('A', 'B', 'C', 'D', 'E', 'F'));

// ---- Worked examples -------------------------------------------------------

// The pixels that differ from the fill, as "x,y" strings in row order.
std::vector<std::string> lit(const Test_Host& host, uint32_t fill) {
  std::vector<std::string> out;
  const auto c = host.color_snapshot();
  const int32_t w = const_cast<Test_Host&>(host).r().window_size.x;
  for (std::size_t i = 0; i < c.size(); ++i)
    if (c[i] != fill)
      out.push_back(std::to_string(int32_t(i) % w) + "," + std::to_string(int32_t(i) / w));
  return out;
}

TEST(PolylineExamples, HalfOpenSegmentsAndTheClosingPixel) {
  Test_Host host;
  host.establish_config('B', 16, 8);
  host.fill_color(0);
  draw(host, Form::Plain, false, {{{0, 0, 0}, {5, 0, 0}}});
  EXPECT_EQ(lit(host, 0), (std::vector<std::string>{"0,0", "1,0", "2,0", "3,0", "4,0", "5,0"}));

  // Column 5 of (0,0)->(10,3) goes to row 2.
  host.fill_color(0);
  draw(host, Form::Plain, true, {{{0, 0, 0}, {10, 3, 0}}});
  EXPECT_EQ(lit(host, 0), (std::vector<std::string>{"0,0", "1,0", "2,1", "3,1", "4,1", "5,2", "6,2",
                                                    "7,2", "8,2", "9,3", "10,3"}));
  // Two equal points light one pixel.
  host.fill_color(0);
  draw(host, Form::Plain, false, {{{7, 4, 0}, {7, 4, 0}}});
  EXPECT_EQ(lit(host, 0), (std::vector<std::string>{"7,4"}));
  EXPECT_TRUE(host.fences_intact());
}

TEST(PolylineExamples, ClosedPolylineLightsItsStartTwice) {
  // Under blending a pixel lit twice shows it: half-white over black once is
  // 0x7F, twice is 0xBF.
  Test_Host host;
  host.establish_config('A', 16, 16);
  host.fill_color(0xFF000000);
  host.rendition.modify()->current_color = ZT_RGB32(255, 255, 255, 128);
  draw(host, Form::Plain, false, {{{2, 2, 0}, {9, 2, 0}, {9, 9, 0}, {2, 2, 0}}});
  EXPECT_EQ(host.color(2, 2), 0xFFBFBFBFu);
  EXPECT_EQ(host.color(9, 2), 0xFF808080u);
  EXPECT_EQ(host.color(9, 9), 0xFF808080u);
  EXPECT_EQ(host.color(5, 5), 0xFF808080u);
}

TEST(PolylineExamples, GouraudBlackToWhiteStepsByOne) {
  Test_Host host;
  host.establish_config('F', 300, 4);
  host.fill_depth(0xFFFF);
  draw(host, Form::Gouraud, false,
       {{{0, 1, 0}, {255, 1, 0}}, {ZT_RGB32(0, 0, 0, 7), ZT_RGB32(255, 255, 255, 7)}});
  for (uint32_t x = 0; x <= 255; ++x)
    ASSERT_EQ(host.color(int32_t(x), 1), 0xFF000000u | x * 0x010101u) << x;
}

TEST(PolylineExamples, ColorizedColoursPerSegmentAndSingle) {
  Test_Host host;
  host.establish_config('B', 16, 8);
  host.fill_color(0);
  const ZT_RGB32 red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255);
  Polyline p{{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}}, {red, green, blue}, false};
  draw(host, Form::Colorized, false, p);
  EXPECT_EQ(host.color(0, 0), red.word());
  EXPECT_EQ(host.color(4, 0), green.word());
  EXPECT_EQ(host.color(4, 4), green.word()); // the last segment's colour, not colour[2]
  p.single = true;
  draw(host, Form::Colorized, false, p);
  EXPECT_EQ(host.color(4, 2), red.word());
  EXPECT_EQ(host.color(4, 4), red.word());
}

// ---- Depth and colour rules per configuration -------------------------------

TEST(PolylineRules, SegmentsFollowTheDepthModeTheClosingPixelDoesNot) {
  Test_Host host;
  host.establish_config('F', 16, 8);
  host.fill_color(0);
  host.fill_depth(1000);
  host.r().depth_test_mode = 1; // z < stored
  host.r().depth_write = 0;
  draw(host, Form::Plain, false, {{{0, 1, 1000}, {5, 1, 1000}}});
  EXPECT_EQ(host.color(2, 1), 0u);          // equal depth fails z < stored
  EXPECT_EQ(host.color(5, 1), 0xFFFFFFFFu); // the closing pixel passes z <= stored
  host.fill_depth(2000);
  host.r().depth_test_mode = 2;
  draw(host, Form::Plain, false, {{{0, 3, 1000}, {5, 3, 1000}}});
  EXPECT_EQ(host.color(2, 3), 0xFFFFFFFFu);
  EXPECT_EQ(host.depth(2, 3), 2000); // "ZBuffer Write" off: the segment keeps the depth
  EXPECT_EQ(host.depth(5, 3), 1000); // the closing pixel stores it anyway
  // Gouraud lines test z <= stored whatever the mode.
  host.r().depth_test_mode = 1;
  host.fill_depth(1000);
  draw(host, Form::Gouraud, false,
       {{{0, 5, 1000}, {5, 5, 1000}}, {ZT_RGB32(1, 2, 3), ZT_RGB32(1, 2, 3)}});
  EXPECT_EQ(host.color(2, 5), 0xFF010203u);
}

TEST(PolylineRules, DIgnoresModeAndWriteFlag) {
  Test_Host host;
  host.establish_config('D', 16, 8);
  host.fill_color(0);
  host.fill_depth(1000);
  host.r().depth_test_mode = 5;
  host.r().depth_write = 0;
  host.rendition.modify()->current_index = 9;
  draw(host, Form::Plain, false, {{{0, 1, 1000}, {5, 1, 500}}});
  EXPECT_EQ(host.color(0, 1), 9u);
  EXPECT_EQ(host.depth(0, 1), 1000);
  EXPECT_EQ(host.depth(4, 1), 600); // the accumulator, stored although writing is off
  EXPECT_EQ(host.depth(5, 1), 500); // closing: one step past the last pixel
}

TEST(PolylineRules, EBlendsItsMaskedVariantDoesNot) {
  Test_Host host;
  host.establish_config('E', 16, 8);
  host.fill_depth(0xFFFF);
  host.fill_color(0xFF000000);
  host.rendition.modify()->current_color = ZT_RGB32(255, 255, 255, 128);
  draw(host, Form::Plain, false, {{{0, 1, 0}, {5, 1, 0}}});
  EXPECT_EQ(host.color(2, 1), 0xFF808080u);
  EXPECT_EQ(host.color(5, 1), 0x80FFFFFFu); // the closing pixel is stored plainly
  // A mask that excludes nothing: the shared E/F masked variant stores plainly.
  const std::vector<ZT_Point> all = {{-1, -1, 0}, {20, -1, 0}, {20, 20, 0}, {-1, 20, 0}};
  use_mask(host, all);
  draw(host, Form::Plain, false, {{{0, 3, 0}, {5, 3, 0}}});
  EXPECT_EQ(host.color(2, 3), 0x80FFFFFFu);
}

TEST(PolylineRules, DepthOffDrawsAsTheSiblingWithoutDepth) {
  for (char config : {'D', 'E', 'F'}) {
    Test_Host with, without;
    with.establish_config(config, 16, 8);
    without.establish_config(config == 'D' ? 'C' : config == 'E' ? 'A' : 'B', 16, 8);
    with.rendition.modify()->depth_test_active = 0;
    with.fill_depth(0); // would fail every test
    for (Test_Host* h : {&with, &without}) {
      h->fill_color(0x11223344);
      h->rendition.modify()->current_color = ZT_RGB32(10, 20, 30, 100);
      draw(*h, Form::Plain, true, {{{-3, 0, 70}, {20, 7, 9}}});
    }
    EXPECT_EQ(with.color_snapshot(), without.color_snapshot()) << config;
  }
}

// The polyline of a triangle strip's edges is F's 2DI polyline whatever the
// configuration: E draws it opaque and by F's depth rule; a window without
// depth draws it as B; a mapped one leaves it to the host.
TEST(StripEdgeLines, AreConfigurationFsPolyline) {
  const Polyline p{{{-5, 2, 100}, {12, 6, 300}, {3, 20, 50}}};
  Test_Host f, e;
  f.establish_config('F', 16, 16);
  e.establish_config('E', 16, 16);
  for (Test_Host* h : {&f, &e}) {
    h->fill_color(0);
    h->fill_depth(200);
    h->r().depth_test_mode = 1;
    h->rendition.modify()->current_color = ZT_RGB32(9, 9, 9, 60);
  }
  draw(f, Form::Plain, true, p);
  draw_2di_polyline_configuration_F(e.renderer, e.rendition, 3, p.points.data());
  EXPECT_EQ(e.color_snapshot(), f.color_snapshot());
  EXPECT_EQ(e.depth_snapshot(), f.depth_snapshot());

  Test_Host b, a;
  b.establish_config('B', 16, 16);
  a.establish_config('A', 16, 16);
  draw(b, Form::Plain, true, p);
  draw_2di_polyline_configuration_F(a.renderer, a.rendition, 3, p.points.data());
  EXPECT_EQ(a.color_snapshot(), b.color_snapshot());

  Test_Host c;
  c.establish_config('C', 16, 16);
  ZD_Set_Standard_Actions_Draw(false);
  ZD_Fallback_Log::clear();
  draw_2di_polyline_configuration_F(c.renderer, c.rendition, 3, p.points.data());
  EXPECT_EQ(ZD_Fallback_Log::calls().size(), 1u);
  ZD_Set_Standard_Actions_Draw(true);
}

// Where the masked and the direct variants share their rules, a masked draw is
// the direct draw on clear mask bits and the old buffer on set ones (C's
// colorized lines ignore the mask altogether).
TEST(PolylineMask, MaskedDrawIsTheDirectDrawOnClearBits) {
  const std::vector<ZT_Point> star = {{3, 2, 0}, {60, 30, 0}, {2, 45, 0}, {40, -9, 0}, {44, 50, 0}};
  std::mt19937 rng(21);
  for (char config : std::string("ABCDF"))
    for (Form form : {Form::Plain, Form::Colorized, Form::Gouraud}) {
      if (config == 'A' && form == Form::Gouraud) continue; // blends only unmasked
      Test_Host masked, direct;
      for (Test_Host* h : {&masked, &direct}) {
        h->establish(setup_for(config, 64, 48));
        fill_pattern(*h);
      }
      use_mask(masked, star);
      const auto before = masked.color_snapshot();
      for (int32_t i = 0; i < 30; ++i) {
        Polyline p;
        for (int32_t k = 0; k < 4; ++k) {
          p.points.push_back(
              {int32_t(rng() % 90) - 13, int32_t(rng() % 70) - 11, int32_t(rng() % 65536)});
          p.colours.push_back(ZT_RGB32::from_word(rng() | 0xFF000000));
        }
        draw(masked, form, i % 2 == 0, p);
        draw(direct, form, i % 2 == 0, p);
      }
      // C's colorized lines never consult the mask, so none was made.
      const bool ignores_mask = config == 'C' && form == Form::Colorized;
      const Frame_Buffer_Mask* mask = masked.r().mask_cache->head;
      ASSERT_EQ(mask == nullptr, ignores_mask);
      const auto want = direct.color_snapshot(), got = masked.color_snapshot();
      for (int32_t at = 0; at < 64 * 48; ++at) {
        const bool excluded = mask && mask->excludes(at % 64, at / 64);
        ASSERT_EQ(got[std::size_t(at)], excluded ? before[std::size_t(at)] : want[std::size_t(at)])
            << config << " form " << int(form) << " pixel " << at % 64 << "," << at / 64;
      }
    }
}

// ---- What the host draws ------------------------------------------------------

TEST(PolylineFallbacks, StyledAndWideLinesGoToTheHostUnchanged) {
  ZD_Set_Standard_Actions_Draw(false);
  for (char config : std::string("ABCDEF")) {
    Test_Host host;
    host.establish_config(config, 16, 8);
    host.fill_color(0x5A5A5A5A);
    const auto before = host.color_snapshot();
    Polyline p{{{0, 0, 0}, {9, 5, 0}, {-40, 3, 0}},
               {ZT_RGB32(1, 2, 3), ZT_RGB32(4, 5, 6), ZT_RGB32(7, 8, 9)},
               true};
    for (auto [style, weight] : {std::pair{1, 1}, {0, 2}}) {
      host.rendition.modify()->line_style = style;
      host.rendition.modify()->line_weight = weight;
      for (Form form : {Form::Plain, Form::Colorized, Form::Gouraud})
        for (bool clipped : {false, true}) {
          ZD_Fallback_Log::clear();
          draw(host, form, clipped, p);
          ASSERT_EQ(ZD_Fallback_Log::calls().size(), 1u) << config;
          const ZD_Fallback_Call& call = ZD_Fallback_Log::calls()[0];
          EXPECT_NE(call.function.find(clipped ? "2DI" : "DCI"), std::string::npos);
          EXPECT_EQ(call.arguments[0], 3u);
          EXPECT_EQ(call.arguments[1], uint64_t(reinterpret_cast<uintptr_t>(p.points.data())));
          if (form == Form::Colorized) {
            EXPECT_EQ(call.arguments[3], 1u);
          }
        }
    }
    EXPECT_EQ(host.color_snapshot(), before) << config;
  }
  ZD_Set_Standard_Actions_Draw(true);
}

// ---- Hostile input ------------------------------------------------------------

TEST(PolylineInput, HugeCoordinatesShortAndLongCallsStayInTheBuffers) {
  std::mt19937 rng(11);
  const int32_t extremes[] = {INT32_MIN, INT32_MIN + 1, -1000000, -4001,         -1,       0,
                              5,         28761,         1000000,  INT32_MAX - 1, INT32_MAX};
  for (char config : std::string("ABCDEF")) {
    Test_Host host;
    host.establish_config(config, 40, 30);
    host.fill_color(0);
    host.fill_depth(0xFFFF);
    for (int32_t round = 0; round < 60; ++round) {
      const int32_t n = round < 3 ? round : round % 10 == 0 ? 65 : 2 + round % 4;
      Polyline p;
      for (int32_t k = 0; k < n; ++k)
        p.points.push_back({extremes[rng() % 11] / int32_t(1 + rng() % 3),
                            extremes[rng() % 11] / int32_t(1 + rng() % 3), int32_t(rng())});
      p.colours.assign(std::size_t(std::max(n, 1)), ZT_RGB32::from_word(rng()));
      for (Form form : {Form::Plain, Form::Colorized, Form::Gouraud}) draw(host, form, true, p);
      ASSERT_TRUE(host.fences_intact()) << config << " round " << round;
    }
    // No colour array: nothing drawn.
    Polyline bare{{{1, 1, 0}, {30, 20, 0}}};
    for (Form form : {Form::Colorized, Form::Gouraud})
      for (bool clipped : {false, true}) draw(host, form, clipped, bare);
    // The DCI actions trust their points; given points outside they still
    // write only inside the buffer.
    Polyline outside{{{-50, -50, 0}, {100, 90, 0}, {INT32_MAX, 3, 0}},
                     {ZT_RGB32(), ZT_RGB32(), ZT_RGB32()}};
    for (Form form : {Form::Plain, Form::Colorized, Form::Gouraud})
      draw(host, form, false, outside);
    EXPECT_TRUE(host.fences_intact()) << config;
  }
}

} // namespace
