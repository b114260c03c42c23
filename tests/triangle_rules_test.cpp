// The rules of the triangle strips worth a statement of their own beside the
// slow reference: the depth rules per configuration, flag and mask, the
// near-constant shortcut, uniform Gouraud strips, shared edges under blending,
// and float points rounding as the integer ones.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "tests/support/point_lists.h"
#include "tests/support/test_host.h"
#include "tests/support/test_meshes.h"

namespace {

constexpr int32_t W = 64, H = 48;
using Points = std::vector<ZT_DCI_Point>;
using Colours = std::vector<ZT_RGB32>;

void colorized(Test_Host& h, const Points& p, const Colours& c, bool single) {
  draw_points(h, ZT_Slot::draw_dci_colorized_polytriangle, Point_List(p, c, single));
}
void gouraud(Test_Host& h, const Points& p, const Colours& c) {
  draw_points(h, ZT_Slot::draw_dci_gouraud_polytriangle, Point_List(p, c));
}
Points big_triangle(int32_t z) { return {{4, 4, z}, {60, 6, z}, {20, 44, z}}; }
int32_t count_pixels(const Test_Host& h, uint32_t value) {
  int32_t n = 0;
  for (uint32_t v : h.color_snapshot()) n += v == value;
  return n;
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
    Test_Host host(c.config, W, H);
    host.fill_depth(c.stored);
    host.r().depth_test_mode = c.mode;
    host.r().depth_write = uint8_t(c.write);
    // A clip covering the whole window: the mask is active, every bit clear.
    if (c.masked)
      host.use_mask(ZT_Contour_Set({{{-1, -1, 0}, {W + 1.f, -1, 0}, {W + 1.f, H + 1.f, 0}, {-1, H + 1.f, 0}}}));
    const ZT_RGB32 red{255, 0, 0, 255}, redder{250, 0, 0, 255};
    if (c.gouraud) gouraud(host, big_triangle(c.z), {red, redder, {200, 0, 0, 255}});
    else colorized(host, big_triangle(c.z), {red}, true);
    SCOPED_TRACE(std::string(1, c.config) + " mode " + std::to_string(c.mode));
    EXPECT_EQ(host.color(20, 20) != 0, c.drawn);
    EXPECT_EQ(host.depth(20, 20), c.depth_after);
  }
}

// A Gouraud triangle whose colours differ by at most 3 per channel is drawn
// flat in c0 by F's colorized rule, which leaves the depth alone with the
// write flag clear.
TEST(TriangleRules, NearConstantGouraudTrianglesDrawFlatByTheColorizedRules) {
  Test_Host host('F', W, H);
  host.r().depth_write = 0;
  const ZT_RGB32 c0{10, 10, 10, 255}, c1{13, 10, 10, 255};
  for (auto [c2, flat] : {std::pair{ZT_RGB32{16, 10, 10, 255}, true}, {{17, 10, 10, 255}, false},
                          {{16, 13, 13, 255}, true}, {{16, 14, 10, 255}, false}}) {
    host.fill_color(0);
    host.fill_depth(0xFFFF);
    gouraud(host, big_triangle(100), {c0, c1, c2});
    EXPECT_EQ(count_pixels(host, 0) + count_pixels(host, c0.word()) == W * H, flat);
    EXPECT_EQ(host.depth(20, 20) == 0xFFFF, flat);
  }
}

TEST(TriangleRules, UniformGouraudStripsEqualTheColorizedStrip) {
  std::mt19937 rng(3);
  for (char config : every_configuration) {
    Test_Host host(config, W, H), uniform(config, W, H);
    Points p;
    for (int i = 0; i < 9; ++i)
      p.push_back({int32_t(rng() % W), int32_t(rng() % H), int32_t(rng() % 65536)});
    const ZT_RGB32 c{90, 160, 37, 77};  // alpha of c0 included
    for (Test_Host* h : {&host, &uniform}) h->fill_color(0x11223344);
    colorized(host, p, {c}, true);
    gouraud(uniform, p, Colours(p.size(), c));
    EXPECT_EQ(host.color_snapshot(), uniform.color_snapshot()) << config;
  }
}

// A grid mesh at alpha 128 over black in A, in every orientation: a pixel
// drawn twice would show 191, one missed 0.
TEST(TriangleRules, SharedEdgesUnderBlendingAreDrawnOnce) {
  Test_Host host('A', W, H);
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

// DC points round (x = -0.5 to 0, 2.5 to 3, -0.6 to -1) and draw as the DCI
// points would; more than 64 of them as well.
TEST(TriangleRules, FloatPointsRoundAndDrawAsTheIntegerPoints) {
  for (char config : every_configuration) {
    Test_Host by_float(config, W, H), by_integer(config, W, H);
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
    by_float.actions().call<ZT_Slot::draw_dc_gouraud_polytriangle>(by_float.rendition, 70, fp.data(),
                                                                    colours.data());
    gouraud(by_integer, ip, colours);
    EXPECT_TRUE(same_buffers(by_float, by_integer)) << config;
  }
}

}  // namespace
