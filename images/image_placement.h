// Where an image lands in the buffers: the rows and columns it covers, where its
// first visible pixel lies in the source, and the depth accumulator there.
//
// An image is given by its upper-left corner (x0, y_top, z0) and its lower-right
// corner (x1, y_bottom, z1) in device coordinates; its source rows lie row_bytes
// apart, the top row first, each x1 - x0 + 1 pixels long.
//
// Rows are cut at the window's right edge: the row length is
//   n = min(x1, window right) - x0 + 1
// and nothing is drawn when n < 1.  The host places images inside the window on
// the other three sides; an image that does not keep to that is cropped there,
// drawing exactly what a window large enough to hold it would have drawn inside
// this one.  Rows or columns outside the window are never touched, however large
// or mismatched the corners are.
//
// Depth (17.15): the accumulator starts at (z0 << 15) + one half and steps by
// ((z1 - z0) << 15) / (x1 - x0) per pixel, once for every pixel of every row in
// turn (masked pixels and cropped ones included, but not those beyond the
// right-edge cut): it is set once per image and each row continues where the
// previous one stopped.  x1 = x0 takes no step.  The accumulator wraps in 32
// bits, so a position reached after k steps is start + k × step, and cropping
// can jump there directly.
#pragma once

#include <cstdint>

#include "pixel/frame.h"
#include "host/zarnik11.h"

namespace images {

// The arguments an image action receives, in one piece.
struct Image_Request {
  const ZT_DCI_Point* start;  // upper-left: x0, y_top, z0
  const ZT_DCI_Point* end;    // lower-right: x1, y_bottom, z1
  int32_t row_bytes;          // source distance from one row to the next below it
  const void* pixels;         // the top row's first pixel
};

struct Image_Placement {
  int32_t rows = 0;                 // visible rows; 0 draws nothing
  int32_t count = 0;                // visible pixels per row
  int32_t first_y = 0;              // local y of the top visible row; later rows go down
  int32_t first_x = 0;              // local x of the first visible column
  const uint8_t* source = nullptr;  // the first visible pixel of the top visible row
  int32_t source_row_bytes = 0;
  uint32_t depth = 0;       // accumulator at the first visible pixel
  uint32_t depth_step = 0;  // per pixel
  uint32_t row_gap = 0;     // advance over the pixels cropped at the left of each row

  bool empty() const { return rows < 1; }
};

// pixel_bytes: 4 for true-colour images, 1 for index images.  Null pointers in
// the request draw nothing.
Image_Placement place_image(const pixel::Frame& frame, const Image_Request& request,
                            int32_t pixel_bytes);

}  // namespace images
