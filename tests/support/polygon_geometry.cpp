#include "tests/support/polygon_geometry.h"

#include <algorithm>
#include <cmath>

double twice_signed_area(const std::vector<ZT_Point>& outline) {
  double twice = 0;
  for (std::size_t i = 0; i < outline.size(); ++i) {
    const ZT_Point& a = outline[i];
    const ZT_Point& b = outline[(i + 1) % outline.size()];
    twice += double(a.x) * b.y - double(b.x) * a.y;
  }
  return twice;
}

double area(const std::vector<ZT_Point>& outline) {
  return std::fabs(twice_signed_area(outline)) / 2;
}
double area(const Test_Triangle& t) {
  return area(std::vector<ZT_Point>{t.a, t.b, t.c});
}

double total_area(const std::vector<Test_Triangle>& triangles) {
  double sum = 0;
  for (const Test_Triangle& t : triangles) sum += area(t);
  return sum;
}

bool inside_odd_even(const std::vector<ZT_Point>& outline, double x, double y) {
  bool inside = false;
  for (std::size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
    const ZT_Point &a = outline[i], &b = outline[j];
    if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * (double(b.x) - a.x) / (double(b.y) - a.y))
      inside = !inside;
  }
  return inside;
}

bool strictly_inside(const Test_Triangle& t, double x, double y) {
  auto side = [&](const ZT_Point& p, const ZT_Point& q) {
    return (double(q.x) - p.x) * (y - p.y) - (double(q.y) - p.y) * (x - p.x);
  };
  double s0 = side(t.a, t.b), s1 = side(t.b, t.c), s2 = side(t.c, t.a);
  return (s0 > 0 && s1 > 0 && s2 > 0) || (s0 < 0 && s1 < 0 && s2 < 0);
}

int coverage_mismatches(const std::vector<ZT_Point>& outline,
                        const std::vector<Test_Triangle>& triangles, double step) {
  double left = outline[0].x, right = left, bottom = outline[0].y, top = bottom;
  for (const ZT_Point& p : outline) {
    left = std::min(left, double(p.x));
    right = std::max(right, double(p.x));
    bottom = std::min(bottom, double(p.y));
    top = std::max(top, double(p.y));
  }
  int mismatches = 0;
  for (double y = bottom + step * 0.3183; y < top; y += step)
    for (double x = left + step * 0.4142; x < right; x += step) {
      int covered = 0;
      for (const Test_Triangle& t : triangles) covered += strictly_inside(t, x, y);
      mismatches += covered != (inside_odd_even(outline, x, y) ? 1 : 0);
    }
  return mismatches;
}

std::vector<ZT_Point> regular_polygon(int n, double radius, double cx, double cy, bool clockwise) {
  std::vector<ZT_Point> out;
  for (int i = 0; i < n; ++i) {
    double a = 2 * M_PI * i / n * (clockwise ? -1 : 1);
    out.push_back({float(cx + radius * std::cos(a)), float(cy + radius * std::sin(a)), 100});
  }
  return out;
}
