// Plain geometry for checking how triangles cover an outline, independent of
// the code under test: shoelace areas, the odd-even rule, and point sampling.
#pragma once

#include <vector>

#include "host/zarnik11.h"

struct Test_Triangle {
  ZT_Point a, b, c;
};

// Twice the signed area (counter-clockwise positive, y up).
double twice_signed_area(const std::vector<ZT_Point>& outline);
double area(const std::vector<ZT_Point>& outline);
double area(const Test_Triangle& t);
double total_area(const std::vector<Test_Triangle>& triangles);

bool inside_odd_even(const std::vector<ZT_Point>& outline, double x, double y);
bool strictly_inside(const Test_Triangle& t, double x, double y);

// Samples a grid (spacing step, offsets that avoid lattice lines) over the
// outline's bounds and counts the samples where the number of triangles that
// contain the sample is not 1 inside the outline (odd-even) and 0 outside.
int coverage_mismatches(const std::vector<ZT_Point>& outline,
                        const std::vector<Test_Triangle>& triangles, double step);

// Outlines used by several tests.
std::vector<ZT_Point> regular_polygon(int n, double radius, double cx = 0, double cy = 0,
                                      bool clockwise = false);
