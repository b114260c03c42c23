// Hostile input at every action that takes a list of points: coordinates
// anywhere in 32 bits (as floats also NaN, infinities and 1e30), the edges of
// the coordinate-safe square, depth offsets at the limits, counts of -5, 0, 1,
// 2, 64 and 65, polylines without colours, and dots at the same points.
// Nothing is written past a row's end, and the actions that take points
// anywhere write nothing outside the hard clip.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "tests/support/point_lists.h"
#include "tests/support/random_strips.h"
#include "tests/support/test_host.h"

namespace {

const int32_t integers[] = {INT32_MIN, INT32_MIN + 1, -(1 << 30), -1000000, -100000, -4001, -4000,
                            -1, 0, 5, 28760, 28761, 100000, 1000000, 1 << 30, INT32_MAX - 1,
                            INT32_MAX};
const float floats[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 2147483647.0f, -2147483648.0f,
                        100000, -100000, 28760.5f, 28761, -4000.5f, -4001};

TEST(HostileInput, NothingPastARowAndNothingOutsideTheClip) {
  constexpr int32_t W = 40, H = 30;
  const int32_t counts[] = {-5, 0, 1, 2, 3, 4, 5, 6, 7, 64, 65};
  int32_t draws = 0;
  for (char config : every_configuration) {
    Test_Host host(config, W, H);
    host.set_option("Use Mask", ZT_Option_Value(true));
    host.establish_again();
    std::mt19937 rng{uint32_t(config)};
    for (int32_t round = 0; round < 40; ++round) {
      randomise_state(host, rng);
      fill_random(host, rng);
      if (round % 4 == 0)
        host.rendition.modify_face()->depth_offset = round % 8 ? INT32_MAX : INT32_MIN;
      // A clip inside the window, or in one round of five one beyond it everywhere.
      const int32_t l = int32_t(rng() % W), b = int32_t(rng() % H);
      ZT_Int_Rectangle clip{l, l + int32_t(rng() % uint32_t(W - l)), b,
                            b + int32_t(rng() % uint32_t(H - b))};
      if (round % 5 == 0) clip = {INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX};
      host.rendition.modify()->hard_clip = clip;
      const int32_t n = counts[rng() % 11];
      std::vector<ZT_DCI_Point> points;
      for (int32_t k = 0; k < n; ++k) {
        ZT_DCI_Point p{int32_t(rng() % (W + 4)) - 2, int32_t(rng() % (H + 4)) - 2, int32_t(rng())};
        if (rng() % 2) (rng() % 2 ? p.x : p.y) = integers[rng() % 17] / int32_t(1 + rng() % 3);
        points.push_back(p);
      }
      Point_List list(points, random_colours(rng, 70, Reference_Kind::Colorized), rng() % 2);
      list.count = n;
      for (ZT_Point& p : list.floats)
        if (rng() % 3 == 0) (rng() % 2 ? p.x : p.y) = floats[rng() % 13];
      const bool colourless = rng() % 4 == 0;
      for (ZT_Slot slot : slots_with({"poly"})) {
        const bool anywhere = slot_named(slot, "_2d");
        const auto before = host.color_snapshot();
        if (colourless && slot_named(slot, "polyline")) {
          Point_List bare = list;
          bare.colours.clear();
          draw_points(host, slot, bare);
        } else {
          draw_points(host, slot, list);
        }
        ++draws;
        const std::string what = std::string(1, config) + " round " + std::to_string(round) +
                                 " " + ZT_slot_name(slot) + " count " + std::to_string(n);
        ASSERT_TRUE(host.fences_intact()) << what;
        if (!anywhere) continue;
        const auto after = host.color_snapshot();
        for (int32_t y = 0; y < H; ++y)
          for (int32_t x = 0; x < W; ++x)
            if (x < clip.left || x > clip.right || y < clip.bottom || y > clip.top) {
              ASSERT_EQ(after[size_t(x + W * y)], before[size_t(x + W * y)])
                  << what << " pixel " << x << "," << y;
            }
      }
      for (const ZT_DCI_Point& p : points) host.actions().call<ZT_Slot::draw_dci_dot>(host.rendition, &p, nullptr);
      ASSERT_TRUE(host.fences_intact()) << config << " round " << round << " dots";
    }
  }
  EXPECT_EQ(draws, 6 * 40 * 23);
}

}  // namespace
