// Seeded meshes that tile a region: grids cut into strips, fans and zigzag
// strips over convex polygons, and the symmetries of the square to turn them
// into every orientation.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "host/zarnik11.h"

using Strip = std::vector<ZT_DCI_Point>;
using Triangle = std::array<ZT_DCI_Point, 3>;

// A grid of cols × rows cells over [x0, x1] × [y0, y1]: inner vertices moved at
// random by up to a quarter cell, side vertices only along their side, corners
// fixed.  One strip per band of cells, each with a random diagonal direction.
std::vector<Strip> grid_strips(std::mt19937& rng, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                               int32_t cols, int32_t rows);

// A convex polygon of n vertices around (cx, cy) with radius about r, as a fan
// around an inner point and as one zigzag strip: two triangulations of the
// same outline.
struct Polygon_Triangulations {
  std::vector<Triangle> fan;
  Strip zigzag;
};
Polygon_Triangulations convex_polygon(std::mt19937& rng, int32_t cx, int32_t cy, int32_t r,
                                      int32_t n);

// The eight symmetries of a size × size square: symmetry s maps (x, y) to the
// square itself (bit 0 mirrors x, bit 1 mirrors y, bit 2 swaps x and y).
ZT_DCI_Point symmetric(ZT_DCI_Point p, int32_t size, int s);

// The triangles of a strip.
std::vector<Triangle> triangles_of(const Strip& strip);
