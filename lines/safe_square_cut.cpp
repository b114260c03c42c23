#include "lines/safe_square_cut.h"

#include <algorithm>

namespace lines {

namespace {

// Nearest integer, halves upward: add 0.5, or subtract 0.49999999999 below
// zero, and truncate.  |v| stays below 2^34 here, well inside int64.
int64_t round_half_up(double v) {
  return int64_t(v >= 0 ? v + 0.5 : v - 0.49999999999);
}

enum class Edge { None, Left, Right, Bottom, Top };

Line_End point_at(const Line_End& p, const Line_End& q, double t, Edge edge, bool cut_colours) {
  Line_End c = p;
  const double dx = double(q.x - p.x), dy = double(q.y - p.y);
  auto clamp = [](int64_t v) { return std::clamp<int64_t>(v, safe_square_min, safe_square_max); };
  if (edge == Edge::Left || edge == Edge::Right) {
    c.x = edge == Edge::Left ? safe_square_min : safe_square_max;
    c.y = clamp(p.y + round_half_up(t * dy));
  } else {
    c.y = edge == Edge::Bottom ? safe_square_min : safe_square_max;
    c.x = clamp(p.x + round_half_up(t * dx));
  }
  c.z = int32_t(int64_t(p.z) + round_half_up(t * (double(q.z) - double(p.z))));
  if (cut_colours) {
    c.colour = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const int32_t a = int32_t((p.colour >> shift) & 255), b = int32_t((q.colour >> shift) & 255);
      c.colour |= uint32_t(a + round_half_up(t * (b - a))) << shift;
    }
  }
  return c;
}

} // namespace

bool cut_to_safe_square(Line_End& p, Line_End& q, bool cut_colours) {
  if (in_safe_square(p.x, p.y) && in_safe_square(q.x, q.y)) return true;
  const double dx = double(q.x - p.x), dy = double(q.y - p.y);
  double t0 = 0, t1 = 1;
  Edge entry = Edge::None, exit = Edge::None;
  // Each edge as: the segment is inside where denominator·t <= numerator.
  const struct {
    double denominator, numerator;
    Edge edge;
  } edges[4] = {{-dx, double(p.x - safe_square_min), Edge::Left},
                {dx, double(safe_square_max - p.x), Edge::Right},
                {-dy, double(p.y - safe_square_min), Edge::Bottom},
                {dy, double(safe_square_max - p.y), Edge::Top}};
  for (const auto& e : edges) {
    if (e.denominator == 0) {
      if (e.numerator < 0) return false;
      continue;
    }
    const double t = e.numerator / e.denominator;
    if (e.denominator < 0) {
      if (t > t0) t0 = t, entry = e.edge;
    } else if (t < t1) {
      t1 = t, exit = e.edge;
    }
  }
  if (t0 > t1) return false;
  const Line_End start = p;
  if (entry != Edge::None) p = point_at(start, q, t0, entry, cut_colours);
  if (exit != Edge::None) q = point_at(start, q, t1, exit, cut_colours);
  return true;
}

} // namespace lines
