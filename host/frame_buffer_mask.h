// A window-sized 1-bit mask rasterised from a complex clip.
#pragma once

#include <cstdint>

#include "host/zt_contour_set.h"
#include "host/zt_object.h"
#include "host/zt_shared_image.h"

// One bit per pixel, rows by local y, most significant bit first: pixel x of a
// row is bit (7 - (x & 7)) of byte (x >> 3).  A set bit excludes the pixel.
// Masks are counted so that caches that copy each other can share them.
class Frame_Buffer_Mask : public ZT_Counted {
public:
  Frame_Buffer_Mask() = default;
  Frame_Buffer_Mask(const Frame_Buffer_Mask& o);  // shares the bits until rasterised again
  ZT_Counted* clone() const override { return new Frame_Buffer_Mask(*this); }

  // Sizes the bit image for a window (rows of whole bytes, padded to 8 bytes)
  // and remembers the window origin that turns device into local coordinates.
  void establish_configuration(int32_t width, int32_t height, int32_t origin_x,
                               int32_t origin_y);
  // Clears the bits and rasterises the contours: a pixel whose centre
  // (x + 0.5, y + 0.5) in device coordinates lies inside the region by the
  // even-odd rule over all contours stays clear; every other pixel gets a set
  // bit.  Records the contour set's change stamp.
  void clear_and_rasterize_mask(const ZT_Contour_Set& contours);

  bool excludes(int32_t local_x, int32_t local_y) const;

  ZT_Shared_Image bit_image;
  uint32_t contour_stamp = 0;
  Frame_Buffer_Mask* next = nullptr;  // less recently used
  Frame_Buffer_Mask* prev = nullptr;  // more recently used
  int32_t origin_x = 0, origin_y = 0;
  int32_t width = 0, height = 0;
};
