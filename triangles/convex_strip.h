// The strip that covers a convex polygon q[0] .. q[m-1]: q[0], q[1], q[m-1],
// q[2], q[m-2], q[3], ..., points taken alternately from the front and from the
// back until all m are used.  Its triangles (q0 q1 q(m-1)), (q1 q(m-1) q2), ...
// are the polygon cut along non-crossing diagonals, so for a convex outline they
// cover it exactly once.
#pragma once

#include <cstdint>

// Which polygon point stands at position k of the strip.
constexpr int32_t convex_strip_index(int32_t k, int32_t m) {
  return k == 0 ? 0 : (k & 1) ? (k + 1) / 2 : m - k / 2;
}

static_assert(convex_strip_index(2, 4) == 3 && convex_strip_index(3, 4) == 2);
static_assert(convex_strip_index(2, 5) == 4 && convex_strip_index(3, 5) == 2 &&
              convex_strip_index(4, 5) == 3);
static_assert(convex_strip_index(7, 8) == 4);

// Writes the strip of the m polygon points into out (m entries).
template <typename Point>
void write_convex_strip(const Point* polygon, int32_t m, Point* out) {
  for (int32_t k = 0; k < m; ++k) out[k] = polygon[convex_strip_index(k, m)];
}
