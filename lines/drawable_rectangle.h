// The part of the device plane a line, dot or marker may write to.
#pragma once

#include <algorithm>
#include <cstdint>

#include "pixel/frame.h"
#include "lines/safe_square_cut.h"

namespace lines {

// The rectangle r (device coordinates, inclusive) cut to the buffer and to the
// coordinate-safe square of local coordinates.  Empty (left > right or bottom
// > top) when nothing remains, also when the frame has no buffer.
inline ZT_Int_Rectangle drawable_rectangle(const pixel::Frame& f, const ZT_Int_Rectangle& r) {
  const int64_t width = std::min<int64_t>(f.width, int64_t(safe_square_max) + 1);
  const int64_t height = std::min<int64_t>(f.height, int64_t(safe_square_max) + 1);
  const int64_t left = std::max<int64_t>(r.left, f.origin_x);
  const int64_t right = std::min<int64_t>(r.right, int64_t(f.origin_x) + width - 1);
  const int64_t bottom = std::max<int64_t>(r.bottom, f.origin_y);
  const int64_t top = std::min<int64_t>(r.top, int64_t(f.origin_y) + height - 1);
  if (left > right || bottom > top || width <= 0 || height <= 0) return {0, -1, 0, -1};
  // Non-empty, so every side lies between two int32 values.
  return {int32_t(left), int32_t(right), int32_t(bottom), int32_t(top)};
}

// The whole plane, for draws the caller does not restrict.
constexpr ZT_Int_Rectangle whole_plane{INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX};

constexpr bool is_empty(const ZT_Int_Rectangle& r) {
  return r.left > r.right || r.bottom > r.top;
}

// Whether all count points lie in the non-empty rectangle r (edges included).
// Each coordinate is tested with one unsigned comparison: its distance from
// the low edge, wrapped, is at most the rectangle's extent only inside.
template <typename Point>
bool all_inside(const ZT_Int_Rectangle& r, int32_t count, const Point* points) {
  const uint32_t width = uint32_t(r.right) - uint32_t(r.left);
  const uint32_t height = uint32_t(r.top) - uint32_t(r.bottom);
  bool inside = true;
  for (int32_t i = 0; i < count; ++i)
    inside &= (uint32_t(points[i].x) - uint32_t(r.left) <= width) &
              (uint32_t(points[i].y) - uint32_t(r.bottom) <= height);
  return inside;
}

} // namespace lines
