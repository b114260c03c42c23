#include "images/image_placement.h"

#include <algorithm>
#include <cstddef>

#include "pixel/fixed_point.h"

namespace images {

namespace {

// ((z1 - z0) << 15) / (x1 - x0), no step when x1 = x0.  Corners more than
// 2^31 - 1 apart (possible only far outside every window) divide in 64 bits.
uint32_t depth_step(int32_t z0, int32_t z1, int64_t steps) {
  const int32_t dz = int32_t(uint32_t(z1) - uint32_t(z0));  // wraps, as the accumulator does
  if (steps <= 0) return 0;
  if (steps <= INT32_MAX) return uint32_t(pixel::step_15(dz, int32_t(steps)));
  return uint32_t(int32_t(int64_t(int32_t(uint32_t(dz) << 15)) / steps));
}

}  // namespace

Image_Placement place_image(const pixel::Frame& f, const Image_Request& q, int32_t pixel_bytes) {
  Image_Placement p;
  if (!q.start || !q.end || !q.pixels) return p;
  // 64 bits throughout: no corner, origin or difference of them can overflow.
  const int64_t x0 = q.start->x, x1 = q.end->x;
  const int64_t row_length = std::min(x1, int64_t(f.origin_x) + f.width - 1) - x0 + 1;
  const int64_t local_x0 = x0 - f.origin_x;
  const int64_t cropped_left = std::max<int64_t>(0, -local_x0);
  const int64_t count = row_length - cropped_left;

  const int64_t local_top = int64_t(q.start->y) - f.origin_y;
  const int64_t local_bottom = int64_t(q.end->y) - f.origin_y;
  const int64_t cropped_top = std::max<int64_t>(0, local_top - (int64_t(f.height) - 1));
  const int64_t first_y = local_top - cropped_top;
  const int64_t rows = first_y - std::max<int64_t>(local_bottom, 0) + 1;
  // count >= 1 implies row_length >= 1.  A visible row lies in 0..height-1 and a
  // visible column in 0..width-1, so both counts fit the buffer.
  if (count < 1 || rows < 1) return p;

  p.rows = int32_t(rows);
  p.count = int32_t(count);
  p.first_y = int32_t(first_y);
  p.first_x = int32_t(local_x0 + cropped_left);
  p.source_row_bytes = q.row_bytes;
  p.source = static_cast<const uint8_t*>(q.pixels) +
             std::ptrdiff_t(cropped_top * q.row_bytes + cropped_left * pixel_bytes);

  p.depth_step = depth_step(q.start->z, q.end->z, x1 - x0);
  // Steps taken before the first visible pixel: every pixel of the cropped rows,
  // then the cropped pixels of the first visible row.  Modulo 2^32, as the
  // accumulator itself.
  const uint32_t steps_before =
      uint32_t(uint64_t(cropped_top) * uint64_t(row_length)) + uint32_t(cropped_left);
  p.depth = uint32_t(pixel::start_15(q.start->z)) + steps_before * p.depth_step;
  p.row_gap = uint32_t(cropped_left) * p.depth_step;
  return p;
}

}  // namespace images
