// The per-pixel rules against plain restatements: fixed-point steps and their
// shift shortcuts, rounding, depth modes, blending, merge control, dither and
// the mask cursor.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "pixel/color_rules.h"
#include "pixel/depth_rules.h"
#include "pixel/dither.h"
#include "pixel/fixed_point.h"
#include "pixel/frame.h"
#include "pixel/mask_cursor.h"
#include "tests/support/reference_pixels.h"
#include "pixel/small_buffer.h"
#include "tests/support/test_host.h"

namespace {

using namespace pixel;

TEST(FixedPoint, StepsEqualTheDivisionTruncatedTowardZero) {
  // Every delta of the coordinate range and of the depth range, both signs; the
  // counts with shift shortcuts and some without.
  for (int32_t n : {1, 2, 3, 4, 7, 8}) {
    for (int32_t d = -32760; d <= 32760; ++d)
      ASSERT_EQ(step_16(d, n), int32_t(int64_t(d) * 65536 / n)) << d << "/" << n;
    for (int32_t d = -65535; d <= 65535; ++d)
      ASSERT_EQ(step_15(d, n), int32_t(int64_t(d) * 32768 / n)) << d << "/" << n;
  }
  EXPECT_EQ(step_16(5, 0), 5);  // no step: the delta stays unscaled
  EXPECT_EQ(depth_of(start_15(65535)), 65535);
}

TEST(FixedPoint, DevicePointsRoundHalvesUpAndSaturate) {
  const std::pair<double, int32_t> cases[] = {
      {-0.5, 0},    {-0.6, -1},         {2.5, 3},           {2.49, 2},          {-2.5, -2},
      {0.0, 0},     {-2.50001, -3},     {1e20, INT32_MAX},  {-1e20, INT32_MIN}, {NAN, INT32_MIN},
      {1e300, INT32_MAX}};
  for (auto [v, rounded] : cases) {
    EXPECT_EQ(round_device_coordinate(v), rounded) << v;
    EXPECT_EQ(round_device_coordinate(float(v)), rounded) << v << " as float";
  }
  ZT_Point in[2] = {{-0.5f, 2.5f, 7.6f}, {-0.6f, 0.4f, 3.5f}};
  ZT_DCI_Point out[2] = {{9, 9, 9}, {9, 9, 9}};
  round_device_points_xyz(in, 2, out);
  EXPECT_EQ(out[0], (ZT_DCI_Point{0, 3, 8}));
  EXPECT_EQ(out[1], (ZT_DCI_Point{-1, 0, 4}));
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

TEST(ColorRules, BlendAndTheAlphaRule) {
  std::mt19937 rng(7);
  for (int i = 0; i < 10000; ++i) {
    const uint32_t s = rng(), d = rng();
    ASSERT_EQ(blend_word(d, s, s >> 24), reference_blend(d, s, s >> 24)) << s << " over " << d;
  }
  EXPECT_EQ(alpha_rule(0x00123456, 0xFFABCDEF), 0xFFABCDEFu);  // 255 stores the word
  EXPECT_EQ(alpha_rule(0x00123456, 0x00ABCDEF), 0xFF123456u);  // 0 only sets alpha
}

// Pixels and sources drawn from a small pool that holds the background and the
// alternate, so that every branch of the rule is taken.
TEST(ColorRules, MergeOfWordsAndOfIndices) {
  Test_Host words('B', 8, 8), indices('C', 8, 8);
  const Merge_Colors word_colors = words.r().merge_colors();
  const Merge_Colors index_colors = indices.r().merge_colors();
  std::mt19937 rng(8);
  const uint32_t pool[] = {word_colors.background, word_colors.alternate, 0xFF0000FF, 0x00FF0000,
                           index_colors.background_index, index_colors.alternate_index, 20, 33};
  for (int i = 0; i < 20000; ++i) {
    const uint32_t p = i % 3 ? pool[rng() % 8] : rng(), s = i % 5 ? pool[rng() % 8] : rng();
    uint32_t got = p, want = p;
    merge_combine(word_colors, &got, s);
    reference_merge_word(words.r(), want, s);
    ASSERT_EQ(got, want) << s << " onto " << p;
    uint8_t index = uint8_t(p);
    want = uint8_t(p);
    merge_combine(index_colors, &index, uint8_t(s));
    reference_merge_index(indices.r(), want, uint8_t(s));
    ASSERT_EQ(index, want) << uint8_t(s) << " onto " << uint8_t(p);
  }
}

TEST(Dither, RecordGivesThePlainDitherAtEveryThreshold) {
  std::mt19937 rng(3);
  for (ZT_Color_Cube cube : {ZT_Color_Cube({6, 6, 6}, 1.0f, 16), ZT_Color_Cube({2, 3, 4}, 1.0f, 7)}) {
    for (int i = 0; i < 5000; ++i) {
      ZT_RGB32 c{uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 255};
      if (i % 7 == 0) c.g = c.r;  // ties
      if (i % 11 == 0) c.b = c.r;
      const Dither_Record r = dither_record(cube, c);
      for (uint32_t t : {0u, 0xFFFEu, uint32_t(rng() & 0xFFFF), uint32_t(SHARED.dither_table[i % 64])})
        ASSERT_EQ(r.index(t), reference_dither(cube, c, t)) << i << " at " << t;
    }
  }
  // Every threshold of the host's table lies below 0xFFFF, so a colour on a
  // cube level keeps the level's index.
  for (uint16_t t : SHARED.dither_table) EXPECT_LT(t, 0xFFFF);
}

// Bits are most significant first; advancing, stepping right and stepping left
// reach the same bits.
TEST(MaskCursor, AdvancesAndStepsAcrossBytes) {
  std::mt19937 rng(4);
  uint8_t row[8];
  for (uint8_t& b : row) b = uint8_t(rng());
  Mask_Cursor right{row, 0}, left = Mask_Cursor{row, 0}.advanced(63);
  for (int32_t x = 0; x < 64; ++x) {
    const bool set = (row[x / 8] >> (7 - x % 8)) & 1;
    const Mask_Cursor at = Mask_Cursor{row, 0}.advanced(x), stepped = right.step_right();
    ASSERT_EQ(at.excluded(), set) << x;
    ASSERT_TRUE(stepped.byte == at.byte && stepped.bit == at.bit) << x;
    ASSERT_EQ(at.advanced(-x).byte, row);
    ASSERT_EQ(left.step_left().excluded(), bool((row[(63 - x) / 8] >> (x % 8)) & 1)) << 63 - x;
  }
}

TEST(SmallBuffer, HeapOnlyAbove64) {
  Small_Buffer<ZT_DCI_Point> small(64), large(65);
  EXPECT_FALSE(small.on_heap());
  EXPECT_TRUE(large.on_heap());
  large[64] = {1, 2, 3};
  EXPECT_EQ(large[64].z, 3);
}

}  // namespace
