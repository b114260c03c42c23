// Ranking an outline: can a convex strip cover it?
#pragma once

#include <cstdint>

#include "host/zt_basics.h"

// Rank values.
enum : int32_t {
  // Simple and convex (collinear points allowed), either winding: the strip
  // p0, p1, p(n-1), p2, p(n-2), ... covers it exactly once.
  ZD_Rank_Convex = 0,
  // Concave, or turning one way but winding more than once (a star drawn in one
  // stroke).  Self-intersecting outlines land here or under Degenerate.
  ZD_Rank_Not_Convex = 1,
  // Nothing a strip should draw: fewer than 3 points, a coordinate that is not
  // finite, a point repeated by its successor, an outline that folds back on
  // itself, or zero area.
  ZD_Rank_Degenerate = 2,
};

struct ZT_Polygon_Rank {
  int32_t value = ZD_Rank_Degenerate;
  // +1 counter-clockwise with y growing upward, -1 clockwise, 0 when degenerate.
  int32_t orientation = 0;
};

// Ranks the closed outline p0 .. p(count-1) in the x, y plane (z is ignored).
// Turn tests run in double precision.
ZT_Polygon_Rank ZD_Rank_Polygon(int32_t count, const ZT_Point* points);
