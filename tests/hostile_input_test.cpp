// Hostile input at every action that takes a list of points: coordinates
// anywhere in 32 bits (as floats also NaN, infinities and 1e30), the edges of
// the coordinate-safe square, depth offsets at the limits, counts of -5, 0, 1,
// 2, 64 and 65, polylines and strips without colours, host patterns (75 and
// above, negative), and dots, images, depth blocks and updates at the same
// points; in three windows (one at the far ends of 32 bits) and palettes of
// several cubes.  Nothing is written past a row's end, and the actions that
// take points anywhere write nothing outside the hard clip.
#include <gtest/gtest.h>

#include <algorithm>
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

// Device coordinate origin + offset, held to 32 bits.
int32_t at(int32_t origin, int64_t offset) {
  return int32_t(std::clamp<int64_t>(int64_t(origin) + offset, INT32_MIN, INT32_MAX));
}

int32_t present_nothing(void*, const ZT_DCI_Point* ul, const ZT_DCI_Point* lr,
                        const ZT_Shared_Image* image, int32_t, int32_t) {
  // What is presented lies in the buffer.
  EXPECT_TRUE(ul->x >= 0 && lr->x < (*image)->width && lr->y >= 0 && ul->y < (*image)->height);
  return 0;
}

TEST(HostileInput, NothingPastARowAndNothingOutsideTheClip) {
  struct Window {
    int32_t w, h;
    ZT_Int_Point origin;
  } windows[] = {{40, 30, {0, 0}}, {23, 17, {-50, 70}}, {31, 9, {INT32_MAX - 30, INT32_MIN}}};
  const int32_t counts[] = {-5, 0, 1, 2, 3, 4, 5, 6, 7, 64, 65};
  int32_t draws = 0;
  for (const Window& window : windows)
    for (char config : every_configuration) {
      const int32_t W = window.w, H = window.h;
      const ZT_Int_Point o = window.origin;
      Test_Host host;
      host.renderer->present = &present_nothing;
      ZT_Counted_Ptr<ZT_Palette> palette(
          ZT_Palette::with_color_cube({2 + W % 5, 3 + H % 4, 2 + config % 3}, W));
      host.renderer->renderer_options()->set_palette(palette.get());
      host.set_option("Use Mask", ZT_Option_Value(true));
      host.establish_config(config, W, H, o);
      ASSERT_FALSE(host.r().color_buffer.empty());
      std::mt19937 rng{uint32_t(config) + uint32_t(W)};
      for (int32_t round = 0; round < 20; ++round) {
        randomise_state(host, rng);
        fill_random(host, rng);
        ZT_Face_Attributes* f = host.rendition.modify_face();
        if (round % 4 == 0) f->depth_offset = round % 8 ? INT32_MAX : INT32_MIN;
        if (round % 7 == 3) f->pattern_index = round % 2 ? 75 + round : -round;  // the host's
        // A clip inside the window, or in one round of five one beyond it everywhere.
        const int32_t l = int32_t(rng() % W), b = int32_t(rng() % H);
        ZT_Int_Rectangle clip{at(o.x, l), at(o.x, l + int32_t(rng() % uint32_t(W - l))), at(o.y, b),
                              at(o.y, b + int32_t(rng() % uint32_t(H - b)))};
        if (round % 5 == 0) clip = {INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX};
        host.rendition.modify()->hard_clip = clip;
        const int32_t n = counts[rng() % 11];
        std::vector<ZT_DCI_Point> points;
        for (int32_t k = 0; k < n; ++k) {
          ZT_DCI_Point p{at(o.x, int32_t(rng() % (W + 4)) - 2), at(o.y, int32_t(rng() % (H + 4)) - 2),
                         int32_t(rng())};
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
          if (colourless && !slot_named(slot, "polygon")) {
            Point_List bare = list;
            bare.colours.clear();
            draw_points(host, slot, bare);
          } else {
            draw_points(host, slot, list);
          }
          ++draws;
          const std::string what = std::string(1, config) + " window " + std::to_string(W) +
                                   " round " + std::to_string(round) + " " + ZT_slot_name(slot) +
                                   " count " + std::to_string(n);
          ASSERT_TRUE(host.fences_intact()) << what;
          if (!anywhere) continue;
          const auto after = host.color_snapshot();
          for (int32_t y = 0; y < H; ++y)
            for (int32_t x = 0; x < W; ++x) {
              const int64_t dx = int64_t(o.x) + x, dy = int64_t(o.y) + y;
              if (dx < clip.left || dx > clip.right || dy < clip.bottom || dy > clip.top) {
                ASSERT_EQ(after[size_t(x + W * y)], before[size_t(x + W * y)])
                    << what << " pixel " << x << "," << y;
              }
            }
        }
        for (const ZT_DCI_Point& p : points) host.actions().call<ZT_Slot::draw_dci_dot>(host.rendition, &p, nullptr);
        ASSERT_TRUE(host.fences_intact()) << config << " round " << round << " dots";
        // Images and depth blocks at the same corners, 5 × 4 pixels, and
        // update of rectangles anywhere.
        if (points.size() >= 2) {
          const ZT_DCI_Point start = points[0];
          const ZT_DCI_Point end{at(start.x, 4), at(start.y, -3), points[1].z};
          std::vector<uint8_t> pixels(std::size_t(5 * 4 * 4));
          for (uint8_t& byte : pixels) byte = uint8_t(rng());
          host.actions().call<ZT_Slot::draw_dci_rgb32_image>(
              host.rendition, &start, &end, 20, reinterpret_cast<const ZT_RGB32*>(pixels.data()), 0, nullptr);
          host.actions().call<ZT_Slot::draw_dci_index8_image>(host.rendition, &start, &end, 5, pixels.data());
          host.actions().call<ZT_Slot::put_depth_image>(host.rendition, &start, &end, 10,
                                                        static_cast<const void*>(pixels.data()));
          ASSERT_TRUE(host.fences_intact()) << config << " round " << round << " images";
          host.renderer->update({points[0].x, points[1].x, points[1].y, points[0].y});
          host.renderer->update({INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX});
        }
      }
    }
  EXPECT_EQ(draws, 3 * 6 * 20 * 23);
}

}  // namespace
