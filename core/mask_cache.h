// The complex-clip mask cache: up to four masks ordered by recent use, keyed by
// the change stamp of the contour set each was rasterised from.
#pragma once

#include <cstdint>
#include <mutex>

#include "host/zarnik11.h"

// A copied cache shares its masks with the original: every mask is counted and
// each cache holding it keeps one reference, so a mask is deleted once, by the
// last cache to let it go.  Because the list links live in the masks, a cache
// whose masks are shared takes copies of them before it changes its list.
//
// One cache may serve renderers drawing on several threads: its list is changed
// under its lock, and a renderer holds a reference to the mask of its draw, so a
// mask in use is shared and never rasterised again in place; its bits stay as
// they were while they are read.
class Mask_Cache_Data : public ZT_Counted {
public:
  Mask_Cache_Data() = default;
  Mask_Cache_Data(const Mask_Cache_Data& o);
  ~Mask_Cache_Data() override;
  ZT_Counted* clone() const override { return new Mask_Cache_Data(*this); }

  // Deletes (releases) every mask; head and tail null, count 0.
  void empty();
  // Finds or makes the mask for a contour set and brings it to the head.
  ZT_Counted_Ptr<Frame_Buffer_Mask> lookup(const ZT_Contour_Set& contours,
                                           ZT_Int_Point window_size, ZT_Int_Point window_origin);

  Frame_Buffer_Mask* head = nullptr;
  Frame_Buffer_Mask* tail = nullptr;
  int32_t count = 0;
  int32_t capacity = 4;

  // How many masks were rasterised by lookups (tests watch it).
  int32_t rasterisations = 0;

private:
  void empty_locked();
  void make_masks_private();
  void unlink(Frame_Buffer_Mask* m);
  void push_front(Frame_Buffer_Mask* m);

  mutable std::mutex lock_;
};
