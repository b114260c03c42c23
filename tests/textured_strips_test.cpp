// Textured strips through the module's action table against the slow
// reference (tests/support/reference_textured) bit for bit, and the clipping
// of strips whose points lie anywhere.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "tests/support/heap_counter.h"
#include "tests/support/random_strips.h"
#include "tests/support/reference_textured.h"
#include "tests/support/test_host.h"
#include "tests/support/textured_calls.h"

namespace {

constexpr int32_t W = 64, H = 48;
constexpr char variants[] = "OAEF";

// Every variant's paths (solid, patterned, modulated, lit, clipped; every slot)
// on seeded random strips, with random buffers and random depth options that
// the textured strips must ignore.
TEST(TexturedStrips, EveryVariantMatchesTheReferenceBitForBit) {
  for (char variant : std::string(variants)) {
    Test_Host host;
    establish_variant(host, variant, W, H);
    for (uint32_t seed = 1; seed <= 160; ++seed) {
      std::mt19937 rng(seed * 7919 + uint32_t(variant));
      randomise_state(host, rng);
      fill_random(host, rng);
      use_texture(host, random_texture(rng));
      ZT_Basic_Material& material = *host.rendition.modify_face()->material.make_unshared();
      for (int k = 0; k < 3; ++k) {
        material.ambient[k] = float(rng() % 100) / 100.0f;
        material.emission[k] = float(rng() % 4) / 10.0f;
      }
      const ZT_Slot slot = textured_slots()[rng() % 4];
      const bool anywhere = slot == ZT_Slot::draw_2d_textured_polytriangle ||
                            slot == ZT_Slot::draw_2di_textured_polytriangle;
      ZT_Rendition_Data* d = host.rendition.modify();
      d->lighting = variant == 'O' && !anywhere && rng() % 3 == 0;
      if (anywhere) {
        const int32_t l = int32_t(rng() % 30), b = int32_t(rng() % 20);
        d->hard_clip = {l, l + int32_t(rng() % 34), b, b + int32_t(rng() % 28)};
      }
      const Point_Range range = anywhere ? Point_Range{-40, W + 40, -40, H + 40}
                                         : Point_Range{0, W, 0, H};
      Textured_Points call{Point_List(random_strip(rng, 3 + int32_t(rng() % 10), range))};
      randomise_texturing(rng, call);
      Reference_Image expected = reference_snapshot(host);
      reference_textured_strip(host, call, anywhere, expected);
      draw_textured(host, slot, call);
      const ZT_Counted_Ptr<ZT_Texture> t = host.rendition->face->texture();
      const std::string what =
          std::string(1, variant) + " " + ZT_slot_name(slot) + " seed " + std::to_string(seed) +
          (d->lighting ? " lit" : "") + (t->modulate && !call.points.colours.empty() ? " modulated" : "") +
          " pattern " + std::to_string(host.rendition->face->pattern_index) + "/" +
          std::to_string(host.rendition->face->pattern_flags) + " wraps " +
          std::to_string(t->u_wrap) + std::to_string(t->v_wrap) + " image " +
          std::to_string(t->image(0, 0)->width) + "x" + std::to_string(t->image(0, 0)->height);
      ASSERT_TRUE(host.fences_intact()) << what;
      ASSERT_TRUE(same_buffers(host.snapshot(), expected, W)) << what;
    }
  }
}

// The worked walk of a 2DI strip: ten triangles whose middle point lies above
// the hard clip draw as a run of inside triangles (patterned), the three
// triangles through that point one at a time clipped (solid, the pattern not
// applied), and a second run (patterned).
TEST(TexturedClipping, RunsPatternedStraddlingTrianglesSolid) {
  std::vector<ZT_DCI_Point> points;
  for (int32_t i = 0; i < 12; ++i) points.push_back({2 + 5 * i, i % 2 ? 30 : 10, 500});
  points[6].y = 60;
  Textured_Points strip{Point_List(points)};
  for (const ZT_DCI_Point& p : points) strip.parameters.push_back({p.x / 8.0f, p.y / 8.0f, 0});
  auto part = [&](int32_t first, int32_t n) {
    Textured_Points p{Point_List(std::vector<ZT_DCI_Point>(points.begin() + first,
                                                           points.begin() + first + n))};
    p.parameters.assign(strip.parameters.begin() + first, strip.parameters.begin() + first + n);
    return p;
  };
  const ZT_Counted_Ptr<ZT_Texture> texture =
      make_texture(2, 2, {0xFF102030u, 0x80FFFFFFu, 0xFF4080C0u, 0xC0706050u});
  for (char variant : std::string(variants)) {
    Test_Host whole, pieces;
    for (Test_Host* h : {&whole, &pieces}) {
      establish_variant(*h, variant, W, H);
      use_texture(*h, texture);
      h->rendition.modify()->hard_clip = {0, W - 1, 0, 40};
      h->rendition.modify_face()->pattern_index = 9;
    }
    draw_textured(whole, ZT_Slot::draw_2di_textured_polytriangle, strip);
    int32_t run_pixels = 0;  // the first run drew
    for (int32_t x = 0; x < 20; ++x) run_pixels += whole.depth(x, 20) != 0xFFFF;
    EXPECT_GT(run_pixels, 0) << variant;
    draw_textured(pieces, ZT_Slot::draw_dci_textured_polytriangle, part(0, 6));
    draw_textured(pieces, ZT_Slot::draw_2di_textured_polytriangle, part(4, 5));
    draw_textured(pieces, ZT_Slot::draw_dci_textured_polytriangle, part(7, 5));
    EXPECT_TRUE(same_buffers(whole, pieces)) << variant;
    // Under the pattern that fills nothing only the straddling triangles draw.
    Test_Host empty;
    establish_variant(empty, variant, W, H);
    use_texture(empty, make_texture(1, 1, {0xFF808080u}));
    empty.rendition.modify()->hard_clip = {0, W - 1, 0, 40};
    empty.rendition.modify_face()->pattern_index = 0;
    draw_textured(empty, ZT_Slot::draw_2di_textured_polytriangle, strip);
    int32_t drawn_left = 0, drawn_middle = 0;
    for (int32_t y = 0; y < H; ++y)
      for (int32_t x = 0; x < W; ++x) {
        if (empty.depth(x, y) == 0xFFFF) continue;
        (x < 22 ? drawn_left : drawn_middle) += 1;
      }
    EXPECT_EQ(drawn_left, 0) << variant;
    EXPECT_GT(drawn_middle, 100) << variant;
    EXPECT_EQ(empty.depth(30, 45), 0xFFFF) << variant;  // above the clip
  }
}

// A straddling triangle reaching beyond the guard rectangle is cut to it
// first; its texture coordinates follow the cut: with u = x / 64 on a 64-wide
// image whose texel holds its column, every pixel shows its own column.
TEST(TexturedClipping, FarPointsAreCutWithTheirTextureCoordinates) {
  std::vector<uint32_t> columns(64);
  for (uint32_t c = 0; c < 64; ++c) columns[c] = 0xFF000000u | c;
  for (int32_t far : {100000, -100000}) {
    Test_Host h;
    establish_variant(h, 'F', W, H);
    use_texture(h, make_texture(64, 1, columns));
    const std::vector<ZT_DCI_Point> p = {{2, 2, 10}, {far, 20, 10}, {60, 44, 10}};
    Textured_Points call{Point_List(p)};
    for (const ZT_DCI_Point& q : p) call.parameters.push_back({q.x / 64.0f, 0.5f, 0});
    draw_textured(h, ZT_Slot::draw_2di_textured_polytriangle, call);
    int32_t drawn = 0;
    for (int32_t y = 0; y < H; ++y)
      for (int32_t x = 0; x < W; ++x) {
        if (h.depth(x, y) == 0xFFFF) continue;
        ++drawn;
        const int32_t off = (int32_t(h.color(x, y) & 63) - x + 64) % 64;
        EXPECT_TRUE(off == 0 || off == 63) << x << "," << y << " shows column " << (h.color(x, y) & 63);
      }
    EXPECT_GT(drawn, 200) << far;
    EXPECT_TRUE(h.fences_intact());
  }
}

// Through a small hard clip a 2DI strip is the DCI strip cropped to the clip,
// pixel for pixel, with nothing written outside it.  (In D: every span of it
// steps linearly.  E and F give the second pixel of a two-pixel span the mean
// on their unclipped path only; the reference covers them.)
TEST(TexturedClipping, ClippedIsTheUnclippedDrawCropped) {
  for (char variant : std::string("OA"))
    for (uint32_t seed = 1; seed <= 60; ++seed) {
      std::mt19937 rng(seed);
      Test_Host clipped, whole;
      const ZT_Counted_Ptr<ZT_Texture> texture = random_texture(rng);
      Textured_Points call{Point_List(random_strip(rng, 3 + int32_t(rng() % 8), {0, W, 0, H}))};
      randomise_texturing(rng, call);
      const int32_t l = int32_t(rng() % 40), b = int32_t(rng() % 30);
      const ZT_Int_Rectangle clip{l, l + int32_t(rng() % 24), b, b + int32_t(rng() % 18)};
      for (Test_Host* h : {&clipped, &whole}) {
        establish_variant(*h, variant, W, H);
        use_texture(*h, texture);
      }
      const Buffers before = clipped.snapshot();
      clipped.rendition.modify()->hard_clip = clip;
      draw_textured(clipped, ZT_Slot::draw_2di_textured_polytriangle, call);
      draw_textured(whole, ZT_Slot::draw_dci_textured_polytriangle, call);
      Buffers expected = before;
      const Buffers full = whole.snapshot();
      for (int32_t y = clip.bottom; y <= clip.top && y < H; ++y)
        for (int32_t x = clip.left; x <= clip.right && x < W; ++x) {
          expected.color[size_t(x + W * y)] = full.color[size_t(x + W * y)];
          expected.depth[size_t(x + W * y)] = full.depth[size_t(x + W * y)];
        }
      ASSERT_TRUE(same_buffers(clipped.snapshot(), expected, W)) << variant << " seed " << seed;
    }
}

// Points anywhere, huge or NaN, NaN texture coordinates, odd counts and
// widths: nothing is written outside the buffers, nothing crashes; up to 64
// float points take no heap.
TEST(TexturedClipping, HostileInputStaysInsideTheBuffers) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), huge = 3e9f;
  for (char variant : std::string(variants)) {
    Test_Host h;
    establish_variant(h, variant, W, H);
    std::mt19937 rng(17);
    use_texture(h, random_texture(rng));
    Textured_Points call{Point_List({{-5, -5, 10}, {INT32_MAX, 20, 10}, {30, INT32_MIN, 10},
                                      {20, 20, 70000}, {10, 40, -5}, {60, 1, 10}})};
    call.points.floats[1].x = nan;
    call.points.floats[2].y = huge;
    call.parameters = {{nan, 0, 0}, {huge, -huge, 0}, {0.5f, 0.5f, 0}, {1e30f, nan, 0},
                       {-0.3f, 7.5f, 0}, {0, 0, 0}};
    for (int32_t width : {1, 0, -3})
      for (int32_t count : {0, 1, 2, 3, 6}) {
        call.width = width;
        call.points.count = count;
        for (ZT_Slot s : textured_slots()) draw_textured(h, s, call);
      }
    call.parameters.clear();  // none passed: every vertex (0, 0)
    for (ZT_Slot s : textured_slots()) draw_textured(h, s, call);
    EXPECT_TRUE(h.fences_intact()) << variant;
  }
  for (int32_t n : {64, 65}) {
    Test_Host h;
    establish_variant(h, 'F', W, H);
    std::mt19937 rng{uint32_t(n)};
    use_texture(h, random_texture(rng));
    Textured_Points call{Point_List(random_strip(rng, n, {-20, W + 20, -20, H + 20}))};
    randomise_texturing(rng, call);
    draw_textured(h, ZT_Slot::draw_2d_textured_polytriangle, call);  // warms up
    for (ZT_Slot s : {ZT_Slot::draw_2d_textured_polytriangle, ZT_Slot::draw_dc_textured_polytriangle}) {
      const long before = heap_allocations;
      draw_textured(h, s, call);
      const long taken = heap_allocations - before;
      if (n == 64) EXPECT_EQ(taken, 0) << ZT_slot_name(s);
      else EXPECT_GT(taken, 0) << ZT_slot_name(s);
    }
  }
}

// The pre-clipped textured strips (double-precision points, with "Enable
// Tiling"): within the far band they draw what the 2DI action draws of the
// rounded local points, in every variant and in a window away from the
// origin; a triangle reaching far beyond is cut, its texture coordinates
// following; without vertex w, perspective makes them from the transform for
// the pieces (which the host then receives).
TEST(TexturedPreclip, DrawsAsThe2DIActionOfTheRoundedPoints) {
  const ZT_Int_Point origin{100, -50};
  for (char variant : std::string(variants))
    for (uint32_t seed = 1; seed <= 20; ++seed) {
      std::mt19937 rng(seed);
      const ZT_Counted_Ptr<ZT_Texture> texture = random_texture(rng);
      Textured_Points call{Point_List(random_strip(rng, 3 + int32_t(rng() % 8),
                                                   {origin.x - 30, origin.x + W + 30,
                                                    origin.y - 30, origin.y + H + 30}))};
      randomise_texturing(rng, call);
      Test_Host tiled, direct;
      for (Test_Host* h : {&tiled, &direct}) {
        h->set_option("Enable Tiling", ZT_Option_Value(true));
        establish_variant(*h, variant, W, H, origin);
        use_texture(*h, texture);
      }
      std::vector<ZT_Point_D> doubles;
      for (const ZT_Point& p : call.points.floats) doubles.push_back({p.x, p.y, p.z});
      tiled.actions().call<ZT_Slot::draw_preclip_textured_polytriangle>(
          tiled.rendition, call.points.count, doubles.data(),
          call.points.colours.empty() ? nullptr : call.points.colours.data(),
          call.parameters.data(), call.width, nullptr, nullptr);
      draw_textured(direct, ZT_Slot::draw_2di_textured_polytriangle, call);
      ASSERT_TRUE(same_buffers(tiled, direct)) << variant << " seed " << seed;
      EXPECT_EQ(tiled.r().window_origin().x, origin.x);
    }
  // One vertex 10^12 pixels away: the visible part is drawn with the texture
  // coordinates of the cut points (u = x / 64 shows column x there).
  std::vector<uint32_t> columns(64);
  for (uint32_t c = 0; c < 64; ++c) columns[c] = 0xFF000000u | c;
  Test_Host far;
  far.set_option("Enable Tiling", ZT_Option_Value(true));
  establish_variant(far, 'F', W, H);
  use_texture(far, make_texture(64, 1, columns));
  const ZT_Point_D p[3] = {{2, 2, 10}, {1e12, 20, 10}, {60, 44, 10}};
  const ZT_Parameter uv[3] = {{2 / 64.0f, 0.5f, 0}, {float(1e12 / 64), 0.5f, 0}, {60 / 64.0f, 0.5f, 0}};
  far.actions().call<ZT_Slot::draw_preclip_textured_polytriangle>(far.rendition, 3, p, nullptr, uv,
                                                                  1, nullptr, nullptr);
  int32_t drawn = 0;
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x)
      if (far.depth(x, y) != 0xFFFF) ++drawn;
  EXPECT_GT(drawn, 200);
  EXPECT_TRUE(far.fences_intact());
  // Perspective without vertex w: the straddling triangle's pieces reach the
  // host (perspective is the host's) with a w made from the transform.
  ZT_Rendition_Data* d = far.rendition.modify();
  d->perspective = 1;
  const double rows[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0.001, 1}};
  d->transform = ZT_Counted_Ptr<ZT_Matrix>(new ZT_Matrix(rows));
  const auto calls = host_calls([&] {
    far.actions().call<ZT_Slot::draw_preclip_textured_polytriangle>(far.rendition, 3, p, nullptr,
                                                                    uv, 1, nullptr, nullptr);
  });
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].function, "ZD_Standard_Draw_2DI_Textured_Polytriangle");
  EXPECT_NE(calls[0].arguments[5], 0u);  // vertex w
}

}  // namespace
