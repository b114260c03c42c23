#include "drawable_rectangle.h"

#include <algorithm>

#include "safe_square_cut.h"

namespace lines {

ZT_Int_Rectangle drawable_rectangle(const pixel::Frame& f, const ZT_Int_Rectangle& r) {
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

} // namespace lines
