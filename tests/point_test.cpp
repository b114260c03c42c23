// Dots and polymarkers: the per-configuration pixel rules, the hard-clip edges
// and the mask.
#include <gtest/gtest.h>

#include "tests/support/point_lists.h"
#include "tests/support/reference_pixels.h"
#include "tests/support/test_host.h"

namespace {

void dot(Test_Host& host, ZT_DCI_Point p, const ZT_RGB32* colour = nullptr) {
  host.actions().call<ZT_Slot::draw_dci_dot>(host.rendition, &p, colour);
}
void markers(Test_Host& host, const std::vector<ZT_DCI_Point>& p) {
  draw_points(host, ZT_Slot::draw_2di_polymarker, Point_List(p));
}

TEST(Dot, ColourWithoutArgumentIsTheRenditions) {
  Test_Host host('B', 16, 8);
  host.rendition.modify()->current_color = ZT_RGB32(1, 2, 3, 4);
  dot(host, {3, 4, 0});
  EXPECT_EQ(host.color(3, 4), ZT_RGB32(1, 2, 3, 4).word());
  const ZT_RGB32 mine(9, 8, 7, 6);
  dot(host, {5, 4, 0}, &mine);
  EXPECT_EQ(host.color(5, 4), mine.word());
}

TEST(Dot, DepthRulesOfFAndD) {
  Test_Host f('F', 16, 8);
  f.fill_depth(500);
  f.r().depth_write = 0;
  dot(f, {1, 1, 400});
  EXPECT_NE(f.color(1, 1), 0u);
  EXPECT_EQ(f.depth(1, 1), 500);  // passed, but "ZBuffer Write" is off
  f.r().depth_test_mode = 1;
  dot(f, {2, 1, 500});
  EXPECT_EQ(f.color(2, 1), 0u);  // z < stored fails at equal depth
  f.r().depth_test_mode = 5;
  dot(f, {3, 1, 70000});  // the point's own 32-bit z is compared
  EXPECT_NE(f.color(3, 1), 0u);
  dot(f, {4, 1, 65636});  // 65636 > 500, though its low 16 bits (100) are not
  EXPECT_NE(f.color(4, 1), 0u);
  f.r().depth_test_mode = 2;
  dot(f, {5, 1, -1});  // -1 <= 500, though its low 16 bits (65535) are not
  EXPECT_NE(f.color(5, 1), 0u);

  Test_Host d('D', 16, 8);
  d.fill_depth(500);
  d.r().depth_write = 0;
  d.r().depth_test_mode = 1;
  d.rendition.modify()->current_index = 7;
  dot(d, {1, 1, 500});  // equal passes, and the depth is stored
  EXPECT_EQ(d.color(1, 1), 7u);
  dot(d, {2, 1, 300});
  EXPECT_EQ(d.depth(2, 1), 300);
  dot(d, {3, 1, 600});
  EXPECT_EQ(d.color(3, 1), 0u);
}

// A caller's colour is dithered by the threshold of the pixel's address and
// row; without one, the rendition's index goes through merge control.
TEST(Dot, MappedCallerColourIsDitheredTheIndexIsMerged) {
  Test_Host host('C', 16, 8);
  host.fill_color(3);
  host.rendition.modify()->drawing_mode = ZT_Drawing_Mode_Merge;
  const ZT_RGB32 grey(100, 120, 140);
  for (int32_t x = 0; x < 8; ++x) {
    dot(host, {x, 5, 0}, &grey);
    const uintptr_t address = uintptr_t(host.r().color_buffer->rows_by_y[5] + x);
    const uint32_t threshold = SHARED.dither_table[(address & 7) + 8 * 5];
    EXPECT_EQ(host.color(x, 5), reference_dither(host.r().color_cube, grey, threshold)) << x;
  }
  host.fill_color(host.r().merge_background_index);  // onto the background: stored as it is
  host.rendition.modify()->current_index = 42;
  dot(host, {4, 5, 0});
  EXPECT_EQ(host.color(4, 5), 42u);
}

TEST(Dot, MaskInTheConfigurationsWithoutDepthOnly) {
  for (char config : every_configuration) {
    Test_Host host(config, 16, 8);
    host.use_mask(ZT_Contour_Set({{{0, 0, 0}, {8, 0, 0}, {8, 8, 0}, {0, 8, 0}}}));  // left half
    host.rendition.modify()->current_index = 5;
    dot(host, {3, 3, 10});
    dot(host, {12, 3, 10});
    EXPECT_NE(host.color(3, 3), 0u) << config;
    EXPECT_EQ(host.color(12, 3) != 0, config >= 'D') << config;
  }
}

TEST(Polymarker, HardClipEdgesAreInclusive) {
  for (char config : std::string("ABCEF")) {
    Test_Host host(config, 16, 12);
    host.rendition.modify()->hard_clip = {3, 9, 2, 7};
    host.rendition.modify()->current_index = 5;
    markers(host, {{3, 2, 0}, {9, 7, 0}, {2, 4, 0}, {10, 4, 0}, {5, 1, 0}, {5, 8, 0}});
    EXPECT_NE(host.color(3, 2), 0u) << config;
    EXPECT_NE(host.color(9, 7), 0u) << config;
    int32_t drawn = 0;
    for (uint32_t c : host.color_snapshot()) drawn += c != 0;
    EXPECT_EQ(drawn, 2) << config;
  }
}

TEST(Polymarker, OpaqueColourInADrawsAsB) {
  Test_Host a('A', 16, 8), b('B', 16, 8);
  for (Test_Host* h : {&a, &b}) {
    h->fill_color(0xFF00FF00);
    h->rendition.modify()->drawing_mode = ZT_Drawing_Mode_Merge;
    h->rendition.modify()->current_color = ZT_RGB32(255, 0, 255, 255);
    markers(*h, {{1, 1, 0}, {4, 6, 0}});
  }
  EXPECT_EQ(a.color_snapshot(), b.color_snapshot());
  EXPECT_EQ(a.color(1, 1), 0xFF000000u);  // merged: magenta AND green
}

}  // namespace
