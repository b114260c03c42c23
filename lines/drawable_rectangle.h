// The part of the device plane a line, dot or marker may write to.
#pragma once

#include "frame.h"

namespace lines {

// The rectangle r (device coordinates, inclusive) cut to the buffer and to the
// coordinate-safe square of local coordinates.  Empty (left > right or bottom
// > top) when nothing remains, also when the frame has no buffer.
ZT_Int_Rectangle drawable_rectangle(const pixel::Frame& f, const ZT_Int_Rectangle& r);

// The whole plane, for draws the caller does not restrict.
constexpr ZT_Int_Rectangle whole_plane{INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX};

constexpr bool is_empty(const ZT_Int_Rectangle& r) {
  return r.left > r.right || r.bottom > r.top;
}

} // namespace lines
