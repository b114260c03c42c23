// Cutting convex polygons by axis-parallel lines in double precision, each
// point carrying its barycentric weights in the triangle the polygon came from.
// Used by the triangle pre-clip and by the host's subdivision of textured
// triangles.
//
// Crossings are computed from the edge's lower end (by x, then y), so two
// triangles sharing an edge cut it at bit-identical points, and the crossed
// coordinate is set to the line's exactly.
#pragma once

#include <algorithm>
#include <cstdint>

namespace zd_host {

// a + t (b - a), computed on halves so that no difference of two finite
// coordinates overflows; scaling by two is exact, so the result is the one the
// plain formula gives wherever that one does not overflow.
inline double along(double a, double b, double t) {
  return 2 * (a * 0.5 + t * (b * 0.5 - a * 0.5));
}
// The t where a + t (b - a) reaches boundary (a != b).
inline double crossing(double a, double b, double boundary) {
  return (boundary * 0.5 - a * 0.5) / (b * 0.5 - a * 0.5);
}

struct Cut_Point {
  double x, y;
  double weight[3];
  double coordinate(int32_t axis) const { return axis == 0 ? x : y; }
};

// Room for a triangle cut by any number of lines into convex pieces: each line
// adds at most one point to a piece.
constexpr int32_t cut_capacity = 16;

struct Cut_Polygon {
  Cut_Point v[cut_capacity];
  int32_t n = 0;
  void add(const Cut_Point& c) {
    if (n > 0 && v[n - 1].x == c.x && v[n - 1].y == c.y) return;
    if (n < cut_capacity) v[n++] = c;
  }
  // Drops a last point equal to the first.
  void close() {
    if (n > 1 && v[0].x == v[n - 1].x && v[0].y == v[n - 1].y) --n;
  }
};

// The point where edge a-b crosses the line coordinate(axis) = boundary.
inline Cut_Point edge_crossing(const Cut_Point& a, const Cut_Point& b, int32_t axis,
                               double boundary) {
  const bool a_first = a.x < b.x || (a.x == b.x && a.y <= b.y);
  const Cut_Point& p = a_first ? a : b;
  const Cut_Point& q = a_first ? b : a;
  const double t =
      std::clamp(crossing(p.coordinate(axis), q.coordinate(axis), boundary), 0.0, 1.0);
  Cut_Point c;
  for (int32_t k = 0; k < 3; ++k) c.weight[k] = p.weight[k] + t * (q.weight[k] - p.weight[k]);
  const double po = p.coordinate(1 - axis), qo = q.coordinate(1 - axis);
  const double other = std::clamp(along(po, qo, t), std::min(po, qo), std::max(po, qo));
  c.x = axis == 0 ? boundary : other;
  c.y = axis == 0 ? other : boundary;
  return c;
}

// Splits the polygon at coordinate(axis) = boundary into the part below (low)
// and the part above (high); points on the line belong to both.  Each crossing
// is computed once and given to both parts.
inline void split(const Cut_Polygon& in, int32_t axis, double boundary, Cut_Polygon& low,
                  Cut_Polygon& high) {
  low.n = high.n = 0;
  for (int32_t i = 0; i < in.n; ++i) {
    const Cut_Point& a = in.v[i];
    const Cut_Point& b = in.v[(i + 1) % in.n];
    const double sa = a.coordinate(axis), sb = b.coordinate(axis);
    if (sa <= boundary) low.add(a);
    if (sa >= boundary) high.add(a);
    if ((sa < boundary && sb > boundary) || (sa > boundary && sb < boundary)) {
      const Cut_Point c = edge_crossing(a, b, axis, boundary);
      low.add(c);
      high.add(c);
    }
  }
  low.close();
  high.close();
}

// The polygon's part with coordinate(axis) >= boundary (keep_high) or <= it.
inline Cut_Polygon keep_side(const Cut_Polygon& in, int32_t axis, double boundary,
                             bool keep_high) {
  Cut_Polygon low, high;
  split(in, axis, boundary, low, high);
  return keep_high ? high : low;
}

// The triangle as a polygon, each corner weighing 1 for itself.
inline Cut_Polygon triangle_polygon(const double (&x)[3], const double (&y)[3]) {
  Cut_Polygon p;
  for (int32_t i = 0; i < 3; ++i) {
    Cut_Point c{x[i], y[i], {0, 0, 0}};
    c.weight[i] = 1;
    p.add(c);
  }
  p.close();
  return p;
}

// Strip order of a convex outline of n points: p0, p1, pn-1, p2, pn-2, ...
inline int32_t strip_index(int32_t k, int32_t n) {
  if (k == 0) return 0;
  return k % 2 == 1 ? (k + 1) / 2 : n - k / 2;
}

}  // namespace zd_host
