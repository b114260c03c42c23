// Two renderers drawing at once on two threads, sharing one complex-clip mask
// cache (more clips than it holds, so each thread's lookups reorder and reuse
// the list) and one palette (merge control looks colours up in it): each draws
// exactly what it draws alone.  The renderer takes no locks, so the host
// serialises the draws that use the shared cache; every other draw runs at
// once with the other thread's.  Under ThreadSanitizer (tools/thread_check.sh)
// the same test shows any data race on what they share besides the cache.
#include <gtest/gtest.h>

#include <mutex>
#include <random>
#include <thread>

#include "core/mask_cache.h"
#include "tests/support/point_lists.h"
#include "tests/support/test_host.h"

namespace {

constexpr int32_t W = 48, H = 40, rounds = 300;

// Six clips for a cache of four.
std::vector<ZT_Contour_Set> clips() {
  std::vector<ZT_Contour_Set> out;
  for (int i = 0; i < 6; ++i) {
    const float a = float(2 + 3 * i), b = float(W - 3 - 2 * i);
    ZT_Point q[4] = {{a, 1, 0}, {b, float(3 + i), 0}, {b - 4, float(H - 2), 0}, {a + 1, float(H - 5 - i), 0}};
    out.emplace_back(4, q, false);
  }
  return out;
}

// The host's lock on the shared mask cache.
std::mutex cache_in_use;

// A seeded sequence of strips and polylines, half of them masked, half merged.
void draw(Test_Host& host, uint32_t seed, const std::vector<ZT_Contour_Set>& clip) {
  std::mt19937 rng(seed);
  for (int32_t round = 0; round < rounds; ++round) {
    ZT_Rendition_Data* d = host.rendition.modify();
    const bool masked = rng() % 2;
    d->complex_clip = masked ? clip[rng() % clip.size()] : ZT_Contour_Set();
    d->drawing_mode = rng() % 2 ? ZT_Drawing_Mode_Merge : 0;
    d->current_index = uint8_t(rng());
    d->current_color = ZT_RGB32::from_word(uint32_t(rng()) | 0xFF000000u);
    std::vector<ZT_DCI_Point> points;
    for (int k = 0; k < 5; ++k)
      points.push_back({int32_t(rng() % W), int32_t(rng() % H), int32_t(rng() % 65536)});
    const ZT_Slot slot = rng() % 2 ? ZT_Slot::draw_dci_polytriangle : ZT_Slot::draw_2di_polyline;
    std::unique_lock<std::mutex> hold(cache_in_use, std::defer_lock);
    if (masked) hold.lock();
    draw_points(host, slot, Point_List(points));
  }
}

TEST(ThreadSharing, TwoRenderersShareAMaskCacheAndAPaletteAndDrawAsAlone) {
  // The masks are made by the module, so the module stays loaded for as long
  // as the shared cache holds them: this host outlives the cache.
  Test_Host keeps_the_module_loaded('F', 8, 8);
  const std::vector<ZT_Contour_Set> clip = clips();
  ZT_Counted_Ptr<ZT_Palette> palette(ZT_Palette::with_color_cube({5, 6, 5}, 20));
  ZT_Counted_Ptr<Mask_Cache_Data> cache(new Mask_Cache_Data());
  auto make = [&](char config) {
    auto host = std::make_unique<Test_Host>();
    host->renderer->renderer_options()->set_palette(palette.get());
    host->set_option("Use Mask", ZT_Option_Value(true));
    host->set_option("Mask Cache", ZT_Option_Value(static_cast<ZT_Counted*>(cache.get())));
    host->establish_config(config, W, H);
    EXPECT_EQ(host->r().mask_cache.get(), cache.get());
    host->fill_color(3);
    host->fill_depth(0xFFFF);
    return host;
  };
  // Alone, one after the other.
  Buffers alone[2];
  for (int i = 0; i < 2; ++i) {
    auto host = make(i ? 'D' : 'C');
    draw(*host, uint32_t(11 + i), clip);
    alone[i] = host->snapshot();
  }
  // Together, on two threads.
  std::unique_ptr<Test_Host> hosts[2] = {make('C'), make('D')};
  std::thread first([&] { draw(*hosts[0], 11, clip); });
  std::thread second([&] { draw(*hosts[1], 12, clip); });
  first.join();
  second.join();
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(same_buffers(hosts[i]->snapshot(), alone[i], W)) << (i ? "D" : "C");
    EXPECT_TRUE(hosts[i]->fences_intact());
  }
  EXPECT_LE(cache->count, cache->capacity);
}

}  // namespace
