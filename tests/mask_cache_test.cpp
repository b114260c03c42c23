// Complex-clip masks: the fill rule of the host's mask, the cache's order by
// recent use, eviction, copies and sharing, and establish emptying it.
#include <gtest/gtest.h>

#include "core/mask_cache.h"
#include "tests/support/test_host.h"

namespace {

ZT_Contour_Set square(float x0, float y0, float x1, float y1) {
  return ZT_Contour_Set({{{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}}});
}

TEST(FrameBufferMask, PixelCentresInsideStayClearEvenOddAcrossContours) {
  Frame_Buffer_Mask mask;
  mask.establish_configuration(20, 10, 100, 200);
  // Outer square (device 102..110 x 201..208) with a hole (104..106 x 203..205).
  ZT_Contour_Set clip({{{102, 201, 0}, {110, 201, 0}, {110, 208, 0}, {102, 208, 0}},
                       {{104, 203, 0}, {106, 203, 0}, {106, 205, 0}, {104, 205, 0}}});
  mask.clear_and_rasterize_mask(clip);
  EXPECT_EQ(mask.contour_stamp, clip.change_stamp());
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 20; ++x) {
      bool in_outer = x >= 2 && x < 10 && y >= 1 && y < 8;
      bool in_hole = x >= 4 && x < 6 && y >= 3 && y < 5;
      EXPECT_EQ(mask.excludes(x, y), !(in_outer && !in_hole)) << x << "," << y;
    }
  // Rows are whole bytes, most significant bit first.
  EXPECT_EQ(mask.bit_image->rows_by_y[1][0], 0xC0);  // x = 0 and 1 excluded
}

struct Cache_Fixture : ::testing::Test {
  Test_Host host;
  void SetUp() override {
    host.set_option("Use Mask", ZT_Option_Value(true));
    host.establish_config('F', 32, 32);
  }
  Mask_Cache_Data& cache() { return *host.r().mask_cache; }
  bool use(const ZT_Contour_Set& clip) {
    host.rendition.modify()->complex_clip = clip;
    return host.r().mask_active_for_draw(host.rendition);
  }
};

TEST_F(Cache_Fixture, NoClipNeverTouchesTheCache) {
  EXPECT_FALSE(host.r().mask_active_for_draw(host.rendition));
  EXPECT_EQ(cache().count, 0);
  EXPECT_FALSE(use(ZT_Contour_Set()));  // an empty contour set
  EXPECT_EQ(cache().rasterisations, 0);
}

TEST_F(Cache_Fixture, FiveClipsWithCapacityFour) {
  ZT_Contour_Set clips[5];
  for (int i = 0; i < 5; ++i) clips[i] = square(float(i), 0, float(i + 10), 10);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(use(clips[i]));
  EXPECT_EQ(cache().count, 4);
  EXPECT_EQ(cache().rasterisations, 4);
  Frame_Buffer_Mask* first = cache().tail;  // the least recently used: clip 0
  EXPECT_EQ(first->contour_stamp, clips[0].change_stamp());
  // The fifth re-rasterises the mask of the first in place.
  EXPECT_TRUE(use(clips[4]));
  EXPECT_EQ(cache().count, 4);
  EXPECT_EQ(cache().head, first);
  EXPECT_EQ(first->contour_stamp, clips[4].change_stamp());
  EXPECT_EQ(cache().rasterisations, 5);
  // Using the second again finds it without rasterising, and moves it to the head.
  EXPECT_TRUE(use(clips[1]));
  EXPECT_EQ(cache().rasterisations, 5);
  EXPECT_EQ(cache().head->contour_stamp, clips[1].change_stamp());
  // The list stays consistent both ways.
  int n = 0;
  for (Frame_Buffer_Mask* m = cache().head; m; m = m->next, ++n) {
    if (m->next) {
      EXPECT_EQ(m->next->prev, m);
    }
  }
  EXPECT_EQ(n, 4);
  EXPECT_EQ(cache().head->prev, nullptr);
  EXPECT_EQ(cache().tail->next, nullptr);
  // The head's clip again: found at once, the order unchanged.
  Frame_Buffer_Mask *head = cache().head, *tail = cache().tail;
  EXPECT_TRUE(use(clips[1]));
  EXPECT_EQ(cache().head, head);
  EXPECT_EQ(cache().tail, tail);
  EXPECT_EQ(cache().rasterisations, 5);
}

TEST_F(Cache_Fixture, NegativeOffsetsUseTheShiftedClip) {
  ZT_Contour_Set a = square(0, 0, 5, 5);
  ZT_Rendition_Data* d = host.rendition.modify();
  d->clip_offset_x = -2;
  EXPECT_TRUE(use(a));
  EXPECT_NE(cache().head->contour_stamp, a.change_stamp());
  EXPECT_TRUE(use(a));  // the same shift is the same contour set: found at the head
  EXPECT_EQ(cache().rasterisations, 1);
}

TEST_F(Cache_Fixture, EstablishEmptiesTheCacheAndWithoutUseMaskReleasesIt) {
  use(square(0, 0, 5, 5));
  Mask_Cache_Data* before = host.r().mask_cache.get();
  host.establish_again();
  EXPECT_EQ(host.r().mask_cache.get(), before);  // published, so taken again
  EXPECT_EQ(cache().count, 0);
  EXPECT_EQ(cache().head, nullptr);
  EXPECT_TRUE(use(square(0, 0, 5, 5)));
  EXPECT_EQ(cache().count, 1);
  // "Use Mask" off releases it.
  host.set_option("Use Mask", ZT_Option_Value(false));
  host.establish_again();
  EXPECT_FALSE(host.r().mask_cache);
  EXPECT_FALSE(use(square(0, 0, 5, 5)));
}

TEST(MaskCacheSharing, TwoRenderersShareOnePublishedCache) {
  Test_Host first;
  first.set_option("Use Mask", ZT_Option_Value(true));
  first.establish_config('F', 16, 16);
  ZT_Option_Value* published = first.renderer->requested_options.find("Mask Cache")->value();
  ASSERT_EQ(published->as_pointer(), first.r().mask_cache.get());
  Test_Host second;
  second.set_option("Use Mask", ZT_Option_Value(true));
  second.set_option("Mask Cache",
                    ZT_Option_Value(static_cast<ZT_Counted*>(first.r().mask_cache.get())));
  second.establish_config('B', 16, 16);
  EXPECT_EQ(second.r().mask_cache.get(), first.r().mask_cache.get());
}

TEST(MaskCacheCopies, EachMaskDeletedOnceWhicheverGoesFirst) {
  // Sanitizers watch for double deletes and leaks; counts show the sharing.
  for (bool clone_first : {true, false}) {
    ZT_Counted_Ptr<Mask_Cache_Data> original(new Mask_Cache_Data());
    ZT_Contour_Set a = square(0, 0, 4, 4), b = square(1, 1, 5, 5);
    original->lookup(a, {8, 8}, {0, 0});
    original->lookup(b, {8, 8}, {0, 0});
    ZT_Counted_Ptr<Mask_Cache_Data> copy(static_cast<Mask_Cache_Data*>(original->clone()));
    EXPECT_EQ(copy->count, 2);
    EXPECT_EQ(copy->head, original->head);
    EXPECT_EQ(original->head->reference_count(), 2);
    EXPECT_NE(copy->change_stamp(), original->change_stamp());
    // The copy changes its order: it takes masks of its own first.
    copy->lookup(a, {8, 8}, {0, 0});
    EXPECT_NE(copy->head, original->head);
    EXPECT_EQ(original->head->contour_stamp, b.change_stamp());
    EXPECT_EQ(original->tail->contour_stamp, a.change_stamp());
    if (clone_first) copy.reset();
    original.reset();
    copy.reset();
  }
}

}  // namespace
