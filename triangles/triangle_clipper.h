// The general triangle clipper: the part of one triangle inside a rectangle, as
// a strip of at most 8 integer points with their attributes.
#pragma once

#include <cstdint>

#include "host/zarnik11.h"

// One triangle: three points and, where given, three per-vertex colours, texture
// parameters and normals (each array holds the triangle's three entries).
struct Clip_Triangle {
  const ZT_DCI_Point* points = nullptr;
  const ZT_RGB32* colors = nullptr;
  const ZT_Parameter* parameters = nullptr;
  const ZT_Vector* normals = nullptr;
};

constexpr int32_t clipped_strip_capacity = 8;

// The visible part as a strip (count below 3: nothing is visible).  Arrays of
// attributes the input did not have are left untouched.
struct Clipped_Strip {
  int32_t count = 0;
  ZT_DCI_Point points[clipped_strip_capacity];
  ZT_RGB32 colors[clipped_strip_capacity];
  ZT_Parameter parameters[clipped_strip_capacity];
  ZT_Vector normals[clipped_strip_capacity];
};

// Clips the triangle to the inclusive rectangle.
//
// The visible part is a convex polygon q[0] .. q[m-1] that follows the outline
// p0 -> p1 -> p2 from the first visible point on it (p0 when p0 is inside),
// with the rectangle corners the triangle covers where the outline runs outside.
// It is returned as the strip q[0], q[1], q[m-1], q[2], q[m-2], ... (see
// convex_strip.h).  Edge crossings are computed in double precision from the
// triangle's own points; every output point lies inside the rectangle.
//
// Output x and y are rounded as trunc(v + 0.5) for v >= 0 and
// trunc(v - 0.49999999999) below; z as trunc(z + 0.5).  Each attribute (z,
// colour channels, parameters, normals) is a linear function of (x, y) over the
// triangle; the triangle's own vertices keep their values, and new points take
// the function's value at their rounded position, so the pieces interpolate the
// same plane as the whole triangle.  Colour channels are rounded to the nearest
// integer within 0..255; parameters and normals are not rounded (normals are
// not renormalised).
//
// Any 32-bit coordinates are accepted; degenerate triangles give degenerate
// (zero-area) output or fewer than 3 points.
int32_t clip_triangle(const Clip_Triangle& triangle, const ZT_Int_Rectangle& rectangle,
                      Clipped_Strip& out);
