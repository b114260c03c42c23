// The rules of the triangle strips that deserve a statement of their own:
// colours per triangle, depth rules, the near-constant shortcut, patterns,
// dither, blending of shared edges, and hostile input at the doors.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <string>

#include "test_host.h"
#include "test_meshes.h"

namespace {

constexpr int32_t W = 64, H = 48;
using Points = std::vector<ZT_DCI_Point>;
using Colours = std::vector<ZT_RGB32>;

void colorized(Test_Host& h, const Points& p, const Colours& c, bool single) {
  h.actions().call<ZT_Slot::draw_dci_colorized_polytriangle>(h.rendition, int32_t(p.size()),
                                                              p.data(), c.data(), single);
}
void gouraud(Test_Host& h, const Points& p, const Colours& c) {
  h.actions().call<ZT_Slot::draw_dci_gouraud_polytriangle>(h.rendition, int32_t(p.size()),
                                                            p.data(), c.data());
}
Points big_triangle(int32_t z) { return {{4, 4, z}, {60, 6, z}, {20, 44, z}}; }
int32_t count_pixels(const Test_Host& h, uint32_t value) {
  int32_t n = 0;
  for (uint32_t v : h.color_snapshot()) n += v == value;
  return n;
}

TEST(TriangleRules, AStripOfNPointsDrawsNMinusTwoTrianglesColouredByIndex) {
  Test_Host host;
  host.establish_config('B', W, H);
  host.fill_color(0);
  // A zigzag whose repeated points make triangles 1, 2, 7 and 8 degenerate;
  // triangle i has colour i + 1.
  Points p = {{0, 0, 0}, {0, 20, 0}, {6, 0, 0}, {6, 0, 0}, {6, 20, 0}, {12, 0, 0},
              {12, 20, 0}, {18, 0, 0}, {18, 20, 0}, {18, 20, 0}, {24, 0, 0}, {24, 20, 0}};
  Colours c;
  for (uint32_t i = 0; i < p.size(); ++i) c.push_back(ZT_RGB32::from_word(0xFF000000u | (i + 1)));
  colorized(host, p, c, false);
  std::set<uint32_t> seen;
  for (uint32_t v : host.color_snapshot()) seen.insert(v);
  EXPECT_EQ(seen, (std::set<uint32_t>{0, 0xFF000001, 0xFF000004, 0xFF000005, 0xFF000006,
                                       0xFF000007, 0xFF00000A}));
  EXPECT_EQ(host.color(1, 2), 0xFF000001u);   // triangle 0
  EXPECT_EQ(host.color(8, 17), 0xFF000005u);  // triangle 4, after two degenerate ones
  EXPECT_EQ(host.color(20, 17), 0xFF00000Au);  // triangle 9, the last
}

TEST(TriangleRules, DepthModesFlagsAndMasks) {
  struct Case {
    char config;
    bool gouraud, masked;
    int32_t mode, write, z;
    uint16_t stored;
    bool drawn;
    uint16_t depth_after;
  } cases[] = {
      {'F', false, false, 1, 1, 1000, 1000, false, 1000},  // mode 1: equal depth fails
      {'F', false, false, 2, 1, 1000, 1000, true, 1000},   // mode 2: equal depth passes
      {'F', false, false, 5, 1, 1000, 1000, false, 1000},  // mode 5: only farther
      {'F', false, false, 5, 1, 1000, 500, true, 1000},
      {'F', false, false, 2, 0, 900, 1000, true, 1000},    // write flag clear in F
      {'D', false, false, 2, 0, 900, 1000, true, 900},     // D writes regardless
      {'E', false, false, 2, 0, 900, 1000, true, 1000},    // E honours the flag
      {'F', false, true, 5, 0, 900, 1000, true, 900},      // masked F: <= and always written
      {'F', true, false, 5, 0, 900, 1000, true, 900},      // Gouraud F: the same
  };
  for (const Case& c : cases) {
    Test_Host host;
    host.set_option("Use Mask", ZT_Option_Value(true));
    host.establish_config(c.config, W, H);
    host.fill_color(0);
    host.fill_depth(c.stored);
    host.r().depth_test_mode = c.mode;
    host.r().depth_write = uint8_t(c.write);
    if (c.masked) {  // a clip covering the whole window: the mask is active, every bit clear
      ZT_Point all[4] = {{-1, -1, 0}, {W + 1.f, -1, 0}, {W + 1.f, H + 1.f, 0}, {-1, H + 1.f, 0}};
      host.rendition.modify()->complex_clip = ZT_Contour_Set(4, all, false);
    }
    const ZT_RGB32 red{255, 0, 0, 255}, redder{250, 0, 0, 255};
    if (c.gouraud) gouraud(host, big_triangle(c.z), {red, redder, {200, 0, 0, 255}});
    else colorized(host, big_triangle(c.z), {red}, true);
    SCOPED_TRACE(std::string(1, c.config) + " mode " + std::to_string(c.mode));
    EXPECT_EQ(host.color(20, 20) != 0, c.drawn);
    EXPECT_EQ(host.depth(20, 20), c.depth_after);
    EXPECT_TRUE(host.fences_intact());
  }
}

TEST(TriangleRules, NearConstantGouraudTrianglesDrawFlatByTheColorizedRules) {
  Test_Host host;
  host.establish_config('F', W, H);
  host.r().depth_write = 0;
  const ZT_RGB32 c0{10, 10, 10, 255}, c1{13, 10, 10, 255};
  for (auto [c2, flat] : {std::pair{ZT_RGB32{16, 10, 10, 255}, true}, {{17, 10, 10, 255}, false},
                          {{16, 13, 13, 255}, true}, {{16, 14, 10, 255}, false}}) {
    host.fill_color(0);
    host.fill_depth(0xFFFF);
    gouraud(host, big_triangle(100), {c0, c1, c2});
    // The shortcut draws c0 everywhere and, by the colorized rule of F, leaves
    // the depth alone with the write flag clear.
    EXPECT_EQ(count_pixels(host, 0) + count_pixels(host, c0.word()) == W * H, flat);
    EXPECT_EQ(host.depth(20, 20) == 0xFFFF, flat);
  }
  host.fill_color(0);  // a step of 4 from c0 to c1 interpolates
  gouraud(host, big_triangle(100), {c0, {14, 10, 10, 255}, {14, 10, 10, 255}});
  EXPECT_GT(count_pixels(host, 0xFF0E0A0A), 0);
}

TEST(TriangleRules, UniformGouraudStripsEqualTheColorizedStrip) {
  std::mt19937 rng(3);
  for (char config : std::string("ABCDEF")) {
    Test_Host host;
    host.establish_config(config, W, H);
    Points p;
    for (int i = 0; i < 9; ++i)
      p.push_back({int32_t(rng() % W), int32_t(rng() % H), int32_t(rng() % 65536)});
    const ZT_RGB32 c{90, 160, 37, 77};  // alpha of c0 included
    host.fill_color(0x11223344);
    host.fill_depth(0xFFFF);
    colorized(host, p, {c}, true);
    const auto expected = host.color_snapshot();
    host.fill_color(0x11223344);
    host.fill_depth(0xFFFF);
    gouraud(host, p, Colours(p.size(), c));
    EXPECT_EQ(host.color_snapshot(), expected) << config;
  }
}

TEST(TriangleRules, TwoPixelSpansTakeTheMeanOfTheEdgeColours) {
  // Row 1 of this triangle is a two-pixel span between the long edge (blue c0
  // to c2) and the lower short edge (c1 to c2), each half-way down.
  Test_Host host;
  host.establish_config('B', W, H);
  for (int32_t b2 = 0; b2 < 256; b2 += 3) {
    host.fill_color(0);
    const int32_t b0 = 7, b1 = 190;
    gouraud(host, {{0, 0, 0}, {4, 0, 0}, {0, 2, 0}},
            {{0, 0, uint8_t(b0), 0}, {0, 0, uint8_t(b1), 0}, {0, 0, uint8_t(b2), 0}});
    const int64_t left = (int64_t(b0) << 16) + 0x8000 + (int64_t(b2 - b0) << 15);
    const int64_t right = (int64_t(b1) << 16) + 0x8000 + (int64_t(b2 - b1) << 15);
    EXPECT_EQ(host.color(0, 1), 0xFF000000u | uint32_t(left >> 16));
    EXPECT_EQ(host.color(1, 1), 0xFF000000u | uint32_t((left + right) >> 17)) << b2;
    EXPECT_EQ(host.color(2, 1), 0u);
  }
}

TEST(TriangleRules, PatternsHolesAndContrast) {
  Test_Host host;
  host.establish_config('F', W, H);
  host.rendition.modify()->contrast_color = {0, 0, 255, 255};
  const ZT_RGB32 red{255, 0, 0, 255};
  const uint32_t blue = 0xFF0000FF;
  struct Case {
    int32_t index;
    uint32_t flags;
    int32_t red_pixels, blue_pixels;  // -1: some
  } cases[] = {
      {0, 0, 0, 0},                                  // hollow, no background: nothing
      {64, ZT_Pattern_Invert, 0, 0},                 // solid inverted: nothing
      {0, ZT_Pattern_Background, 0, -1},             // every pixel a hole: contrast
      {64, ZT_Pattern_Invert | ZT_Pattern_Background, 0, -1},
      {0, ZT_Pattern_Invert, -1, 0},                 // hollow inverted: all drawn
      {73, 0, -1, 0},                                // checkerboard: half
      {73, ZT_Pattern_Background, -1, -1},
  };
  for (const Case& c : cases) {
    host.fill_color(0);
    host.fill_depth(0xFFFF);
    ZT_Face_Attributes* f = host.rendition.modify_face();
    f->pattern_index = c.index;
    f->pattern_flags = c.flags;
    colorized(host, big_triangle(10), {red}, true);
    SCOPED_TRACE(std::to_string(c.index) + " flags " + std::to_string(c.flags));
    const int32_t reds = count_pixels(host, red.word()), blues = count_pixels(host, blue);
    EXPECT_TRUE(c.red_pixels < 0 ? reds > 0 : reds == c.red_pixels) << reds;
    EXPECT_TRUE(c.blue_pixels < 0 ? blues > 0 : blues == c.blue_pixels) << blues;
  }
  // The checkerboard of 2 × 2 cells follows the pattern origin.
  ZT_Face_Attributes* f = host.rendition.modify_face();
  f->pattern_index = 73;
  f->pattern_flags = 0;
  f->pattern_origin = {1, 0};
  host.fill_color(0);
  colorized(host, big_triangle(10), {red}, true);
  EXPECT_EQ(host.color(21, 20), red.word());  // column 20 of the pattern: (21 - 1) / 2 even
  EXPECT_EQ(host.color(23, 20), 0u);
}

TEST(TriangleRules, MappedColoursDitherAlignedToTheBuffer) {
  Test_Host host;
  host.establish_config('C', W, H);
  ZT_Color_Cube& cube = host.r().color_cube;
  const int32_t scale = cube.red_scale;
  // A colour exactly on a cube level gives the base index everywhere.
  cube.red_scale = cube.green_scale = cube.blue_scale = 256;
  host.fill_color(0);
  colorized(host, big_triangle(0), {{1, 2, 3, 255}}, true);
  const uint32_t base = uint8_t(cube.base_index + cube.red_step + 2 * cube.green_step + 3);
  EXPECT_EQ(count_pixels(host, base) + count_pixels(host, 0), W * H);
  EXPECT_GT(count_pixels(host, base), 0);
  // One colour over a strip of many triangles: one dither pattern, a function
  // of (x & 7, y & 7) only, not of the triangle.
  cube.red_scale = cube.green_scale = cube.blue_scale = scale;
  host.fill_color(0);
  std::mt19937 rng(9);
  Points p;
  for (int i = 0; i < 30; ++i) p.push_back({int32_t(rng() % W), int32_t(rng() % H), 0});
  colorized(host, p, {{120, 77, 200, 255}}, true);
  std::map<int32_t, uint32_t> cell;
  std::set<uint32_t> indices;
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x)
      if (uint32_t v = host.color(x, y); v != 0) {
        auto [at, fresh] = cell.emplace((x & 7) + 8 * (y & 7), v);
        EXPECT_EQ(at->second, v) << x << "," << y;
        indices.insert(v);
      }
  EXPECT_GT(indices.size(), 1u);
}

TEST(TriangleRules, ConfigurationAAlphaMergeAndSharedEdgesUnderBlending) {
  Test_Host host;
  host.establish_config('A', W, H);
  // A single fully transparent colour draws nothing, not even the alpha byte;
  // one colour per triangle blends at alpha 0, which sets it.
  host.fill_color(0x00123456);
  colorized(host, big_triangle(0), {{9, 9, 9, 0}}, true);
  EXPECT_EQ(host.color(20, 20), 0x00123456u);
  colorized(host, big_triangle(0), {{9, 9, 9, 0}}, false);
  EXPECT_EQ(host.color(20, 20), 0xFF123456u);
  // Merge draws at alpha 255: onto the (white) background the colour is stored opaque.
  host.rendition.modify()->drawing_mode = ZT_Drawing_Mode_Merge;
  host.fill_color(0xFFFFFFFF);
  colorized(host, big_triangle(0), {{9, 8, 7, 10}}, false);
  EXPECT_EQ(host.color(20, 20), 0xFF090807u);
  host.rendition.modify()->drawing_mode = 0;
  // A grid mesh at alpha 128 over black: a pixel drawn twice would show 191.
  std::mt19937 rng(4);
  for (int s = 0; s < 8; ++s) {
    host.fill_color(0xFF000000);
    for (Strip strip : grid_strips(rng, 2, 2, 46, 46, 6, 5)) {
      for (auto& q : strip) q = symmetric(q, 47, s);
      colorized(host, strip, {{255, 255, 255, 128}}, true);
    }
    EXPECT_EQ(count_pixels(host, 0xFF808080), 44 * 44) << s;
    EXPECT_EQ(count_pixels(host, 0xFF808080) + count_pixels(host, 0xFF000000), W * H) << s;
  }
}

TEST(TriangleRules, FloatPointsRoundAndHostileInputStaysInside) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (char config : std::string("ABCDEF")) {
    Test_Host host;
    host.establish_config(config, W, H);
    // DC points round (x = -0.5 to 0, 2.5 to 3, -0.6 to -1) and draw as the
    // DCI points would; more than 64 of them as well.
    std::vector<ZT_Point> fp;
    Points ip;
    std::mt19937 rng(config);
    for (int i = 0; i < 70; ++i) {
      fp.push_back({float(rng() % 640) / 10.f - 0.5f, float(rng() % 480) / 10.f, float(rng() % 9000)});
      ip.push_back({int32_t(std::lround(std::floor(fp.back().x + 0.5f))),
                    int32_t(std::lround(std::floor(fp.back().y + 0.5f))),
                    int32_t(std::lround(std::floor(fp.back().z + 0.5f)))});
    }
    const Colours colours(70, ZT_RGB32{200, 100, 50, 200});
    host.fill_color(0);
    host.fill_depth(0xFFFF);
    host.actions().call<ZT_Slot::draw_dc_gouraud_polytriangle>(host.rendition, 70, fp.data(),
                                                                colours.data());
    const auto by_float = host.color_snapshot();
    host.fill_color(0);
    host.fill_depth(0xFFFF);
    gouraud(host, ip, colours);
    EXPECT_EQ(host.color_snapshot(), by_float) << config;
    // Hostile points, counts and depth offsets: nothing outside the buffers.
    host.rendition.modify_face()->depth_offset = std::numeric_limits<int32_t>::max();
    const int32_t big = std::numeric_limits<int32_t>::max(), small = std::numeric_limits<int32_t>::min();
    Points wild = {{big, 3, small}, {5, 5, 5}, {small, big, big}, {30, 20, 0}, {10, small, 7},
                   {3, 40, big}, {63, 47, 0}, {64, 48, 70000}, {-1, 47, 0}, {70, 10, 0}};
    for (int32_t n : {0, 1, 2, -5, 10}) {
      colorized(host, Points(wild.begin(), wild.begin() + std::max(n, 0)), Colours(10, {1, 2, 3, 200}), false);
      gouraud(host, Points(wild.begin(), wild.begin() + std::max(n, 0)), Colours(10, {1, 200, 3, 100}));
    }
    std::vector<ZT_Point> hostile = {{nan, 1, 1}, {1e30f, 4, 4}, {2, -1e30f, nan}, {5, 5, 5},
                                     {60, 40, 1}, {-INFINITY, 3, 3}};
    host.actions().call<ZT_Slot::draw_dc_polytriangle>(host.rendition, 6, hostile.data());
    EXPECT_TRUE(host.fences_intact()) << config;
  }
}

}  // namespace
