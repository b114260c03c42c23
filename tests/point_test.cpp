// Dots and polymarkers: the per-configuration pixel rules, the hard-clip edges,
// the gates that hand a call on, and hostile points.
#include <gtest/gtest.h>

#include <random>

#include "dither.h"
#include "test_host.h"

namespace {

void dot(Test_Host& host, ZT_DCI_Point p, const ZT_RGB32* colour = nullptr) {
  host.actions().call<ZT_Slot::draw_dci_dot>(host.rendition, &p, colour);
}
void markers(Test_Host& host, const std::vector<ZT_DCI_Point>& p) {
  host.actions().call<ZT_Slot::draw_2di_polymarker>(host.rendition, int32_t(p.size()), p.data());
}

// A window of the configuration, black, with far depth.
void prepare(Test_Host& host, char config, int32_t width = 16, int32_t height = 8) {
  host.establish_config(config, width, height);
  host.fill_color(0);
  host.fill_depth(0xFFFF);
}

void exclude_everything_but_the_left_half(Test_Host& host) {
  host.set_option("Use Mask", ZT_Option_Value(true));
  host.establish_again();
  const ZT_Point half[4] = {{0, 0, 0}, {8, 0, 0}, {8, 8, 0}, {0, 8, 0}};
  host.rendition.modify()->complex_clip = ZT_Contour_Set(4, half, true);
}

TEST(Dot, ColourWithoutArgumentIsTheRenditions) {
  Test_Host host;
  prepare(host, 'B');
  host.rendition.modify()->current_color = ZT_RGB32(1, 2, 3, 4);
  dot(host, {3, 4, 0});
  EXPECT_EQ(host.color(3, 4), ZT_RGB32(1, 2, 3, 4).word());
  const ZT_RGB32 mine(9, 8, 7, 6);
  dot(host, {5, 4, 0}, &mine);
  EXPECT_EQ(host.color(5, 4), mine.word());
}

TEST(Dot, DepthRulesOfFAndD) {
  Test_Host f;
  prepare(f, 'F');
  f.fill_depth(500);
  f.r().depth_write = 0;
  dot(f, {1, 1, 400});
  EXPECT_NE(f.color(1, 1), 0u);
  EXPECT_EQ(f.depth(1, 1), 500); // passed, but "ZBuffer Write" is off
  f.r().depth_test_mode = 1;
  dot(f, {2, 1, 500});
  EXPECT_EQ(f.color(2, 1), 0u); // z < stored fails at equal depth
  f.r().depth_test_mode = 5;
  dot(f, {3, 1, 70000}); // the point's own 32-bit z is compared
  EXPECT_NE(f.color(3, 1), 0u);

  Test_Host d;
  prepare(d, 'D');
  d.fill_depth(500);
  d.r().depth_write = 0;
  d.r().depth_test_mode = 1;
  d.rendition.modify()->current_index = 7;
  dot(d, {1, 1, 500}); // equal passes, and the depth is stored
  EXPECT_EQ(d.color(1, 1), 7u);
  dot(d, {2, 1, 300});
  EXPECT_EQ(d.depth(2, 1), 300);
  dot(d, {3, 1, 600});
  EXPECT_EQ(d.color(3, 1), 0u);
}

TEST(Dot, MappedCallerColourIsDitheredTheIndexIsMerged) {
  Test_Host host;
  host.establish_config('C', 16, 8);
  host.fill_color(3);
  host.rendition.modify()->drawing_mode = ZT_Drawing_Mode_Merge;
  const ZT_RGB32 grey(100, 120, 140);
  dot(host, {4, 5, 0}, &grey);
  const uint8_t* pixel = host.r().color_buffer->rows_by_y[5] + 4;
  const pixel::Dither_Record r = pixel::dither_record(host.r().color_cube, grey);
  EXPECT_EQ(host.color(4, 5), r.index(pixel::dither_threshold(pixel::dither_row(5), pixel)));
  // Without a colour the index goes through merge control: onto the
  // background it is stored as it is.
  host.fill_color(host.r().merge_background_index);
  host.rendition.modify()->current_index = 42;
  dot(host, {4, 5, 0});
  EXPECT_EQ(host.color(4, 5), 42u);
}

TEST(Dot, MaskInTheConfigurationsWithoutDepthOnly) {
  for (char config : std::string("ABCDEF")) {
    Test_Host host;
    prepare(host, config);
    exclude_everything_but_the_left_half(host);
    host.rendition.modify()->current_index = 5;
    dot(host, {3, 3, 10});
    dot(host, {12, 3, 10});
    EXPECT_NE(host.color(3, 3), 0u) << config;
    EXPECT_EQ(host.color(12, 3) != 0, config >= 'D') << config;
  }
}

TEST(Polymarker, HardClipEdgesAreInclusive) {
  for (char config : std::string("ABCEF")) {
    Test_Host host;
    prepare(host, config, 16, 12);
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
  Test_Host a, b;
  a.establish_config('A', 16, 8);
  b.establish_config('B', 16, 8);
  for (Test_Host* h : {&a, &b}) {
    h->fill_color(0xFF00FF00);
    h->rendition.modify()->drawing_mode = ZT_Drawing_Mode_Merge;
    h->rendition.modify()->current_color = ZT_RGB32(255, 0, 255, 255);
    markers(*h, {{1, 1, 0}, {4, 6, 0}});
  }
  EXPECT_EQ(a.color_snapshot(), b.color_snapshot());
  EXPECT_EQ(a.color(1, 1), 0xFF000000u); // merged: magenta AND green
}

TEST(Polymarker, SymbolsGoToTheHostAndCountZeroDrawsNothing) {
  ZD_Set_Standard_Actions_Draw(false);
  for (char config : std::string("ABCEF")) {
    Test_Host host;
    prepare(host, config);
    const std::vector<ZT_DCI_Point> p = {{1, 1, 0}, {2, 2, 0}};
    ZD_Fallback_Log::clear();
    markers(host, {});
    host.rendition.modify()->marker_style = 3;
    markers(host, p);
    ASSERT_EQ(ZD_Fallback_Log::calls().size(), 1u) << config;
    EXPECT_EQ(ZD_Fallback_Log::calls()[0].function, "ZD_Standard_Draw_2DI_Polymarker");
    EXPECT_EQ(ZD_Fallback_Log::calls()[0].arguments[0], 2u);
    for (uint32_t c : host.color_snapshot()) ASSERT_EQ(c, 0u) << config;
  }
  ZD_Set_Standard_Actions_Draw(true);
}

TEST(Points, HostilePointsStayInTheBuffers) {
  std::mt19937 rng(5);
  for (char config : std::string("ABCDEF")) {
    Test_Host host;
    host.establish_config(config, 20, 10);
    host.rendition.modify()->hard_clip = {INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX};
    std::vector<ZT_DCI_Point> p;
    for (int32_t i = 0; i < 200; ++i)
      p.push_back({int32_t(rng()) >> int32_t(rng() % 32), int32_t(rng()) >> int32_t(rng() % 32),
                   int32_t(rng())});
    markers(host, p);
    for (const ZT_DCI_Point& q : p) dot(host, q);
    EXPECT_TRUE(host.fences_intact()) << config;
  }
}

} // namespace
