// The per-pixel rules against a plain restatement: fixed-point steps and their
// shift shortcuts, rounding, depth modes, blending, merge control and dither.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "color_rules.h"
#include "depth_rules.h"
#include "dither.h"
#include "fixed_point.h"
#include "mask_cursor.h"
#include "small_buffer.h"
#include "test_host.h"

namespace {

using namespace pixel;

TEST(FixedPoint, ShiftShortcutsEqualTheDivision) {
  // Every delta of the coordinate range and of the depth range, both signs.
  for (int32_t n : {1, 2, 4, 8}) {
    for (int32_t d = -32760; d <= 32760; ++d)
      ASSERT_EQ(step_16(d, n), int32_t(int64_t(d) * 65536 / n)) << d << "/" << n;
    for (int32_t d = -65535; d <= 65535; ++d)
      ASSERT_EQ(step_15(d, n), int32_t(int64_t(d) * 32768 / n)) << d << "/" << n;
  }
  // Other counts divide, truncating toward zero.
  EXPECT_EQ(step_16(-1, 3), -21845);
  EXPECT_EQ(step_16(1, 3), 21845);
  EXPECT_EQ(step_15(-7, 5), -45875);
  EXPECT_EQ(step_16(5, 0), 5);  // no step: the delta stays unscaled
  EXPECT_EQ(start_16(3), 0x38000);
  EXPECT_EQ(start_15(2), 0x14000);
  EXPECT_EQ(depth_of(start_15(65535)), 65535);
}

TEST(FixedPoint, RoundingOfDevicePoints) {
  EXPECT_EQ(round_device_coordinate(-0.5f), 0);
  EXPECT_EQ(round_device_coordinate(-0.6f), -1);
  EXPECT_EQ(round_device_coordinate(2.5f), 3);
  EXPECT_EQ(round_device_coordinate(2.49f), 2);
  EXPECT_EQ(round_device_coordinate(-2.5f), -2);
  EXPECT_EQ(round_device_coordinate(-2.50001f), -3);
  EXPECT_EQ(round_device_coordinate(0.0f), 0);
  EXPECT_EQ(round_device_coordinate(-2.5), -2);
  EXPECT_EQ(round_device_coordinate(2.5), 3);
  // Hostile values saturate instead of overflowing.
  EXPECT_EQ(round_device_coordinate(1e20f), INT32_MAX);
  EXPECT_EQ(round_device_coordinate(-1e20f), INT32_MIN);
  EXPECT_EQ(round_device_coordinate(std::nanf("")), INT32_MIN);
  EXPECT_EQ(round_device_coordinate(1e300), INT32_MAX);

  ZT_Point in[2] = {{-0.5f, 2.5f, 7.6f}, {-0.6f, 0.4f, 3.5f}};
  ZT_DCI_Point out[2] = {{9, 9, 9}, {9, 9, 9}};
  round_device_points_xy(in, 2, out);
  EXPECT_EQ(out[0], (ZT_DCI_Point{0, 3, 9}));  // z left as it was
  EXPECT_EQ(out[1], (ZT_DCI_Point{-1, 0, 9}));
  round_device_points_xyz(in, 2, out);
  EXPECT_EQ(out[0].z, 8);
  EXPECT_EQ(out[1].z, 4);
}

TEST(DepthRules, ModesAtEqualNearerAndFarther) {
  struct Case {
    int32_t mode;
    bool equal, nearer, farther;
  } cases[] = {{1, false, true, false}, {5, false, false, true}, {2, true, true, false},
               {0, true, true, false},  {3, true, true, false},  {6, true, true, false}};
  for (const Case& c : cases) {
    Depth_Compare cmp = depth_compare_for_mode(c.mode);
    Depth_Range_Test range = Depth_Range_Test::for_mode(c.mode);
    EXPECT_EQ(depth_passes(cmp, 100, 100), c.equal) << c.mode;
    EXPECT_EQ(depth_passes(cmp, 99, 100), c.nearer) << c.mode;
    EXPECT_EQ(depth_passes(cmp, 101, 100), c.farther) << c.mode;
    // The branch-free range form agrees with the plain compare everywhere that
    // matters: the ends of the range and a random sweep.
    std::mt19937 rng(c.mode);
    for (int i = 0; i < 20000; ++i) {
      uint32_t z = rng() & 0xFFFF, d = rng() & 0xFFFF;
      if (i < 4) z = (i & 1) ? 0xFFFF : 0, d = (i & 2) ? 0xFFFF : 0;
      ASSERT_EQ(range.passes(z, d), depth_passes(cmp, z, d)) << z << " " << d;
    }
  }
  // Mode 5 against an untouched buffer draws nothing.
  EXPECT_FALSE(Depth_Range_Test::for_mode(5).passes(0xFFFF, 0xFFFF));
}

TEST(ColorRules, Blend) {
  // 128 of white over black gives 128 in each colour byte.
  EXPECT_EQ(blend_word(0xFF000000, 0x80FFFFFF, 128), 0xFF808080u);
  EXPECT_EQ(alpha_rule(0x00123456, 0xFFABCDEF), 0xFFABCDEFu);   // 255 stores the word
  EXPECT_EQ(alpha_rule(0x00123456, 0x00ABCDEF), 0xFF123456u);   // 0 only sets alpha
  // Against the formula over a sweep.
  std::mt19937 rng(7);
  for (int i = 0; i < 10000; ++i) {
    uint32_t s = rng(), d = rng(), a = s >> 24;
    uint32_t r = blend_word(d, s, a);
    for (int k = 0; k < 3; ++k) {
      uint32_t sk = (s >> (8 * k)) & 255, dk = (d >> (8 * k)) & 255;
      ASSERT_EQ((r >> (8 * k)) & 255, (sk * a + dk * (255 - a)) / 255);
    }
    ASSERT_EQ(r >> 24, 255u);
  }
}

TEST(ColorRules, MergeTrueColour) {
  Merge_Colors m{0xFFFFFFFF, 0xFFFFFFFE, 255, 254, nullptr};
  uint32_t p = 0xFFFFFFFF;
  merge_combine(m, &p, 0x00FF0000);  // onto the background: the source, alpha 255
  EXPECT_EQ(p, 0xFFFF0000u);
  p = 0x12345678;
  merge_combine(m, &p, 0x12345678);  // onto an equal pixel: untouched, alpha byte too
  EXPECT_EQ(p, 0x12345678u);
  p = 0xFF0000FF;  // blue
  merge_combine(m, &p, 0xFFFF0000);  // red onto blue under white: opaque black
  EXPECT_EQ(p, 0xFF000000u);
  p = 0xFFFFFFFF;
  merge_combine(m, &p, 0xFFFFFFFF);  // the background onto the background: alternate
  EXPECT_EQ(p, 0xFFFFFFFEu);
}

TEST(ColorRules, MergeIndex) {
  ZT_Counted_Ptr<ZT_Palette> pal(ZT_Palette::with_color_cube({6, 6, 6}, 16));
  uint8_t white = uint8_t(pal->closest_match({255, 255, 255}, false));
  Merge_Colors m{0, 0, white, uint8_t(white - 1), pal.get()};
  uint8_t p = white;
  merge_combine(m, &p, 20);
  EXPECT_EQ(p, 20);
  p = white;
  merge_combine(m, &p, white);
  EXPECT_EQ(p, white - 1);
  p = 33;
  merge_combine(m, &p, 33);
  EXPECT_EQ(p, 33);
  uint8_t red = uint8_t(pal->closest_match({255, 0, 0}, false));
  uint8_t blue = uint8_t(pal->closest_match({0, 0, 255}, false));
  p = blue;
  merge_combine(m, &p, red);
  EXPECT_EQ(p, pal->closest_match({0, 0, 0}, false));
}

TEST(Dither, ColourOnACubeLevelGivesTheBaseIndex) {
  // A cube whose scale puts 0 and 255 exactly on levels.
  ZT_Color_Cube cube({2, 2, 2}, 1.0f, 10);
  cube.red_scale = cube.green_scale = cube.blue_scale = 256;  // 8.8: one level per unit
  Dither_Record black = dither_record(cube, {0, 0, 0, 255});
  for (int i = 0; i < 3; ++i) EXPECT_EQ(black.limit[i], 0xFFFFu);
  for (uint32_t t : {0u, 1000u, 0xFFFEu}) EXPECT_EQ(black.index(t), 10);
  EXPECT_EQ(black.index(0xFFFF), black.corner[3]);
  // Every threshold of the host's table lies below 0xFFFF.
  for (uint16_t t : SHARED.dither_table) EXPECT_LT(t, 0xFFFF);
}

TEST(Dither, CornersFollowTheFractionsWithTiesRedGreenBlue) {
  ZT_Color_Cube cube({6, 6, 6}, 1.0f, 16);
  // Reference: plain restatement with run-time sorting.
  std::mt19937 rng(3);
  for (int i = 0; i < 5000; ++i) {
    ZT_RGB32 c{uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 255};
    if (i % 7 == 0) c.g = c.r;  // ties
    if (i % 11 == 0) c.b = c.r;
    Dither_Record r = dither_record(cube, c);
    int32_t v[3] = {c.r * cube.red_scale * 256, c.g * cube.green_scale * 256,
                    c.b * cube.blue_scale * 256};
    int32_t steps[3] = {cube.red_step, cube.green_step, 1};
    int order[3] = {0, 1, 2};
    std::stable_sort(order, order + 3,
                     [&](int a, int b) { return (v[a] & 0xFFFF) > (v[b] & 0xFFFF); });
    uint8_t base = uint8_t(cube.base_index + (v[0] >> 16) * steps[0] + (v[1] >> 16) * steps[1] +
                           (v[2] >> 16));
    ASSERT_EQ(r.corner[0], base);
    uint8_t idx = base;
    for (int k = 0; k < 3; ++k) {
      idx = uint8_t(idx + steps[order[k]]);
      ASSERT_EQ(r.corner[k + 1], idx);
      ASSERT_EQ(r.limit[k], 0xFFFFu - uint32_t(v[order[k]] & 0xFFFF));
    }
  }
}

TEST(MaskCursor, StepsAndAdvancesAcrossBytes) {
  uint8_t row[4] = {0x80, 0x01, 0x00, 0xFF};
  Mask_Cursor c{row, 0};
  EXPECT_TRUE(c.excluded());          // x = 0: bit 0x80 of byte 0
  EXPECT_TRUE(c.advanced(15).excluded());  // x = 15: bit 0x01 of byte 1
  EXPECT_FALSE(c.advanced(14).excluded());
  Mask_Cursor far = c.advanced(25);
  EXPECT_EQ(far.byte, row + 3);
  EXPECT_EQ(far.bit, 1);
  EXPECT_EQ(far.advanced(-25).byte, row);
  EXPECT_EQ(far.advanced(-18).bit, 7);
  Mask_Cursor walk{row, 6};
  walk.step_right();
  walk.step_right();
  EXPECT_EQ(walk.byte, row + 1);
  EXPECT_EQ(walk.bit, 0);
  Mask_Cursor here = walk.step_left();
  EXPECT_EQ(here.byte, row + 1);
  EXPECT_EQ(walk.byte, row);
  EXPECT_EQ(walk.bit, 7);
}

TEST(SmallBuffer, HeapOnlyAbove64) {
  Small_Buffer<ZT_DCI_Point> small(64), large(65);
  EXPECT_FALSE(small.on_heap());
  EXPECT_TRUE(large.on_heap());
  large[64] = {1, 2, 3};
  EXPECT_EQ(large[64].z, 3);
}

}  // namespace
