#include "lines/segment_geometry.h"

#include <algorithm>
#include <cstdlib>

#include "pixel/fixed_point.h"

namespace lines {

namespace {

constexpr int64_t one = 65536;

// Divisions rounding toward minus and plus infinity, for a positive divisor.
constexpr int64_t floor_div(int64_t a, int64_t b) {
  return a >= 0 ? a / b : -((b - 1 - a) / b);
}
constexpr int64_t ceil_div(int64_t a, int64_t b) {
  return -floor_div(-a, b);
}

} // namespace

int32_t shallow_row_index(const Segment& s, int32_t k) {
  const int64_t c = int64_t(s.x0) + x_direction(s.kind) * int64_t(k);
  const int64_t S = s.minor_step, B0 = s.minor_start;
  // Moving right, column c lies in row j when int(B_{j-1}) <= c < int(B_j): j
  // is the smallest index with B_j >= (c + 1)·65536.  Moving left, when
  // int(B_j) < c <= int(B_{j-1}): the smallest index with B_j < c·65536.
  const int64_t j = S > 0 ? ceil_div((c + 1) * one - B0, S) : floor_div(B0 - c * one, -S) + 1;
  return int32_t(std::clamp<int64_t>(j, 0, s.rows));
}

Pixel_Position pixel_at(const Segment& s, int32_t k) {
  const int32_t sx = x_direction(s.kind), sy = y_direction(s.kind);
  switch (shape_of(s.kind)) {
  case Segment_Shape::Steep:
    return {int32_t((int64_t(s.minor_start) + int64_t(k) * s.minor_step) >> 16), s.y0 + sy * k};
  case Segment_Shape::Shallow:
    return {s.x0 + sx * k, s.y0 + sy * shallow_row_index(s, k)};
  default:
    return {s.x0 + sx * k, s.y0 + sy * k};
  }
}

namespace {

// Narrows [first, last] to the k with v0 + dir·k inside [low, high].
void keep_linear(int64_t& first, int64_t& last, int64_t v0, int32_t dir, int64_t low,
                 int64_t high) {
  if (dir == 0) {
    if (v0 < low || v0 > high) last = first - 1;
    return;
  }
  const int64_t a = dir > 0 ? low - v0 : v0 - high;
  const int64_t b = dir > 0 ? high - v0 : v0 - low;
  first = std::max(first, a);
  last = std::min(last, b);
}

// Narrows to the k whose steep column int((A + k·S) / 65536) lies in [low, high].
void keep_steep_column(int64_t& first, int64_t& last, const Segment& s, int64_t low, int64_t high) {
  const int64_t A = s.minor_start, S = s.minor_step;
  if (S > 0) {
    first = std::max(first, ceil_div(low * one - A, S));
    last = std::min(last, floor_div((high + 1) * one - 1 - A, S));
  } else {
    first = std::max(first, ceil_div(A - (high + 1) * one + 1, -S));
    last = std::min(last, floor_div(A - low * one, -S));
  }
}

// Narrows to the k whose shallow row index lies in [j_low, j_high].  The first
// column of row j is int(B_{j-1}) (x0 for row 0); the last is one short of
// int(B_j) (the segment's last pixel for row n).
void keep_shallow_rows(int64_t& first, int64_t& last, const Segment& s, int64_t j_low,
                       int64_t j_high) {
  j_low = std::max<int64_t>(j_low, 0);
  j_high = std::min<int64_t>(j_high, s.rows);
  if (j_low > j_high) {
    last = first - 1;
    return;
  }
  const int32_t sx = x_direction(s.kind);
  auto boundary_column = [&](int64_t j) {
    return floor_div(int64_t(s.minor_start) + j * s.minor_step, one);
  };
  if (j_low > 0) first = std::max(first, (boundary_column(j_low - 1) - s.x0) * sx);
  if (j_high < s.rows) last = std::min(last, (boundary_column(j_high) - sx - s.x0) * sx);
}

} // namespace

Pixel_Range visible_pixels(const Segment& s, const ZT_Int_Rectangle& r) {
  int64_t first = 0, last = int64_t(s.length) - 1;
  const int32_t sx = x_direction(s.kind), sy = y_direction(s.kind);
  switch (shape_of(s.kind)) {
  case Segment_Shape::Steep:
    keep_linear(first, last, s.y0, sy, r.bottom, r.top);
    keep_steep_column(first, last, s, r.left, r.right);
    break;
  case Segment_Shape::Shallow: {
    keep_linear(first, last, s.x0, sx, r.left, r.right);
    const int64_t a = (int64_t(r.bottom) - s.y0) * sy, b = (int64_t(r.top) - s.y0) * sy;
    keep_shallow_rows(first, last, s, std::min(a, b), std::max(a, b));
    break;
  }
  default:
    keep_linear(first, last, s.x0, sx, r.left, r.right);
    keep_linear(first, last, s.y0, sy, r.bottom, r.top);
    break;
  }
  if (first > last) return {0, -1};
  return {int32_t(first), int32_t(last)};
}

} // namespace lines
