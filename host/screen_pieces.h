// Cutting a triangle into convex pieces along the screen lines x = cell × i and
// y = cell × j, within a rectangle.  The cuts sweep upward, then rightward
// within each row; each crossing is computed once from the edge's lower end,
// so pieces share their corners exactly, inside the triangle and with every
// triangle that shares an edge and is cut along the same lines.
#pragma once

#include <cmath>
#include <cstdint>

#include "host/convex_cut.h"
#include "host/zt_basics.h"

namespace zd_host {

// Calls piece(polygon) for every piece with three points or more.  The
// rectangle's pixels are [left, right + 1) × [bottom, top + 1); a triangle
// with a coordinate that is not finite gives no piece.
template <typename Piece>
void for_each_screen_piece(const double (&x)[3], const double (&y)[3],
                           const ZT_Int_Rectangle& within, int64_t cell, Piece&& piece) {
  for (int32_t i = 0; i < 3; ++i)
    if (!std::isfinite(x[i]) || !std::isfinite(y[i])) return;
  if (within.left > within.right || within.bottom > within.top || cell < 1) return;
  Cut_Polygon rest = triangle_polygon(x, y);
  rest = keep_side(rest, 0, double(within.left), true);
  rest = keep_side(rest, 0, double(within.right) + 1, false);
  rest = keep_side(rest, 1, double(within.bottom), true);
  rest = keep_side(rest, 1, double(within.top) + 1, false);
  if (rest.n < 3) return;

  auto extent = [](const Cut_Polygon& p, int32_t axis, double& lo, double& hi) {
    lo = hi = p.v[0].coordinate(axis);
    for (int32_t i = 1; i < p.n; ++i) {
      lo = std::min(lo, p.v[i].coordinate(axis));
      hi = std::max(hi, p.v[i].coordinate(axis));
    }
  };
  // Sweeps the polygon along one axis, handing every slab to slab().
  auto sweep = [cell, &extent](Cut_Polygon polygon, int32_t axis, auto&& slab) {
    double lo, hi;
    extent(polygon, axis, lo, hi);
    Cut_Polygon low, high;
    for (int64_t line = (int64_t(std::floor(lo / double(cell))) + 1) * cell; double(line) < hi;
         line += cell) {
      split(polygon, axis, double(line), low, high);
      if (low.n >= 3) slab(low);
      polygon = high;
      if (polygon.n < 3) return;
    }
    slab(polygon);
  };
  sweep(rest, 1, [&](const Cut_Polygon& row) {
    sweep(row, 0, [&](const Cut_Polygon& p) {
      if (p.n >= 3) piece(p);
    });
  });
}

// The cell for a rectangle: base, doubled until the rectangle holds at most
// max_cells cells.
inline int64_t cell_for(const ZT_Int_Rectangle& r, int64_t base, int64_t max_cells) {
  const int64_t w = int64_t(r.right) - r.left + 2, h = int64_t(r.top) - r.bottom + 2;
  int64_t cell = base;
  while (w > 0 && h > 0 && (w / cell + 1) > max_cells / (h / cell + 1)) cell *= 2;
  return cell;
}

}  // namespace zd_host
