// The general triangle clipper against an independent reference: the rectangle
// cut by the triangle's three half-planes in long double.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "triangles/convex_strip.h"
#include "triangles/triangle_clipper.h"

namespace {

using Real = long double;
struct P2 {
  Real x, y;
};
using Polygon = std::vector<P2>;

Real cross(P2 o, P2 a, P2 b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}
P2 at(const ZT_DCI_Point& p) {
  return {Real(p.x), Real(p.y)};
}

Real perimeter(const Polygon& p) {
  Real length = 0;
  for (std::size_t i = 0; i < p.size(); ++i)
    length += std::hypot(p[(i + 1) % p.size()].x - p[i].x, p[(i + 1) % p.size()].y - p[i].y);
  return length;
}
Real area(const Polygon& p) {
  Real twice = 0;
  for (std::size_t i = 0; i < p.size(); ++i) twice += cross({0, 0}, p[i], p[(i + 1) % p.size()]);
  return std::fabs(twice) / 2;
}

Polygon reference_intersection(const ZT_DCI_Point* t, const ZT_Int_Rectangle& r) {
  Polygon poly = {{Real(r.left), Real(r.bottom)},
                  {Real(r.right), Real(r.bottom)},
                  {Real(r.right), Real(r.top)},
                  {Real(r.left), Real(r.top)}};
  const Real twice_area = cross(at(t[0]), at(t[1]), at(t[2]));
  if (twice_area == 0) return {};
  const Real orientation = twice_area < 0 ? -1 : 1;
  for (int k = 0; k < 3 && !poly.empty(); ++k) {
    P2 a = at(t[k]), b = at(t[(k + 1) % 3]);
    Polygon next;
    for (std::size_t i = 0; i < poly.size(); ++i) {
      P2 s = poly[(i + poly.size() - 1) % poly.size()], e = poly[i];
      Real ds = orientation * cross(a, b, s), de = orientation * cross(a, b, e);
      if ((ds >= 0) != (de >= 0))
        next.push_back({s.x + ds / (ds - de) * (e.x - s.x), s.y + ds / (ds - de) * (e.y - s.y)});
      if (de >= 0) next.push_back(e);
    }
    poly = next;
  }
  return poly;
}

// The strip read back as its polygon q[0] .. q[m-1].
Polygon output_polygon(const Clipped_Strip& s) {
  Polygon poly(std::size_t(s.count));
  for (int32_t k = 0; k < s.count; ++k)
    poly[std::size_t(convex_strip_index(k, s.count))] = at(s.points[k]);
  return poly;
}

// Barycentric interpolation of the vertex values v at (x, y).
Real interpolate(const ZT_DCI_Point* t, Real v0, Real v1, Real v2, P2 p) {
  Real d = cross(at(t[0]), at(t[1]), at(t[2]));
  return v0 + (v1 - v0) * cross(at(t[0]), p, at(t[2])) / d +
         (v2 - v0) * cross(at(t[0]), at(t[1]), p) / d;
}

struct Case {
  ZT_DCI_Point p[3];
  ZT_Int_Rectangle rect;
  ZT_RGB32 colors[3] = {{200, 0, 0}, {0, 100, 0}, {50, 0, 250}};
  ZT_Parameter parameters[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
};

// What every clip must give.  exact: the crossings are integers, nothing rounds.
Clipped_Strip check_clip(const Case& c, bool exact) {
  Clipped_Strip s;
  clip_triangle({c.p, c.colors, c.parameters, nullptr}, c.rect, s);
  const Polygon reference = reference_intersection(c.p, c.rect);
  const Real expected = reference.size() >= 3 ? area(reference) : 0;
  if (s.count < 3) { // only a sliver thinner than the rounding may vanish
    EXPECT_LE(expected, exact ? 0 : perimeter(reference) * 0.71L) << "visible part lost";
    return s;
  }
  const Polygon poly = output_polygon(s);
  Real turn_sign = 0;
  for (std::size_t i = 0; i < poly.size(); ++i) {
    P2 a = poly[i], b = poly[(i + 1) % poly.size()], n = poly[(i + 2) % poly.size()];
    EXPECT_TRUE(a.x >= c.rect.left && a.x <= c.rect.right && a.y >= c.rect.bottom &&
                a.y <= c.rect.top);
    Real turn = cross(a, b, n);
    if (turn_sign == 0) turn_sign = turn;
    EXPECT_TRUE(!exact || turn * turn_sign >= 0) << "not convex";
  }
  // Each point moves by at most half a pixel in x and in y.
  Real tolerance = exact ? 0 : std::max(perimeter(poly), perimeter(reference)) * 0.71L + 1e-6L;
  EXPECT_NEAR(double(area(poly)), double(expected), double(tolerance));
  if (cross(at(c.p[0]), at(c.p[1]), at(c.p[2])) == 0) return s;
  for (int32_t k = 0; k < s.count; ++k) {
    const ZT_DCI_Point& q = s.points[k];
    bool own = false; // the triangle's own vertices keep their values
    for (const ZT_DCI_Point& v : c.p) own |= v == q;
    if (own) continue;
    Real z = interpolate(c.p, c.p[0].z, c.p[1].z, c.p[2].z, at(q)) + 0.5L; // trunc(z + 0.5)
    EXPECT_TRUE(q.z >= std::trunc(z - 1e-6L) && q.z <= std::trunc(z + 1e-6L)) << q.z << " " << z;
    Real red = interpolate(c.p, c.colors[0].r, c.colors[1].r, c.colors[2].r, at(q));
    EXPECT_NEAR(s.colors[k].r, double(std::clamp(red, Real(0), Real(255))), 0.5 + 1e-6);
    Real u = interpolate(c.p, 0, 1, 0, at(q));
    EXPECT_NEAR(s.parameters[k].u, double(u), 1e-4 * (1 + std::fabs(double(u))));
  }
  return s;
}

TEST(TriangleClipper, CornerCases) {
  const ZT_Int_Rectangle r{0, 10, 0, 10};
  Case inside{{{1, 2, 30}, {9, 3, 40}, {4, 8, 50}}, r};
  Clipped_Strip s = check_clip(inside, true);
  ASSERT_EQ(s.count, 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(s.points[i], inside.p[i]);
    EXPECT_EQ(s.colors[i], inside.colors[i]);
  }
  for (Case outside : {Case{{{20, 0, 0}, {30, 0, 0}, {25, 9, 0}}, r},   // beyond one side
                       Case{{{8, 30, 0}, {30, 8, 0}, {30, 30, 0}}, r}}) // past a corner
    EXPECT_LT(check_clip(outside, true).count, 3);
  Case around{{{-100, -100, 0}, {300, -100, 4000}, {-100, 300, 8000}}, {10, 20, 30, 40}};
  EXPECT_EQ(check_clip(around, true).count, 4); // the rectangle's four corners
  for (Case flat :
       {Case{{{-5, -5, 0}, {5, 5, 0}, {20, 20, 0}}, r}, Case{{{3, 3, 0}, {3, 3, 0}, {3, 3, 0}}, r},
        Case{{{INT32_MIN, 5, 0}, {INT32_MAX, 5, 0}, {0, 5, 0}}, r}}) {
    s = check_clip(flat, true);
    EXPECT_TRUE(s.count < 3 || area(output_polygon(s)) == 0);
  }
}

TEST(TriangleClipper, PolygonStartsAtTheFirstVisiblePointAlongTheOutline) {
  // x + y = 16 cuts the corner (10, 10) off: a pentagon, as the strip q0 q1 q4 q2 q3.
  struct {
    ZT_DCI_Point p[3];
    ZT_Int_Point strip[5];
  } cases[] = {
      // p0 inside: q0 = p0, then the exit through the right side.
      {{{2, 2, 0}, {14, 2, 0}, {2, 14, 0}}, {{2, 2}, {10, 2}, {2, 10}, {10, 6}, {6, 10}}},
      // p0 outside: q0 is where p0 -> p1 enters the rectangle.
      {{{14, 2, 0}, {2, 14, 0}, {2, 2, 0}}, {{10, 6}, {6, 10}, {10, 2}, {2, 10}, {2, 2}}},
  };
  for (auto& c : cases) {
    Clipped_Strip s;
    ASSERT_EQ(clip_triangle({c.p, nullptr, nullptr, nullptr}, {0, 10, 0, 10}, s), 5);
    for (int k = 0; k < 5; ++k)
      EXPECT_EQ((ZT_Int_Point{s.points[k].x, s.points[k].y}), c.strip[k]) << k;
  }
}

TEST(TriangleClipper, RandomLatticeTrianglesClipExactly) {
  // Edges of slope 0, 1, -1 or vertical cross integer sides at integer points.
  std::mt19937 rng(9);
  std::uniform_int_distribution<int32_t> coord(-30, 60), size(1, 60), bit(0, 1);
  for (int n = 0; n < 3000; ++n) {
    int32_t x = coord(rng), y = coord(rng), a = size(rng), l = coord(rng), b = coord(rng);
    ZT_DCI_Point p1{x + (bit(rng) ? a : -a), y, 500}, p2{x, y + (bit(rng) ? a : -a), 2000};
    if (bit(rng)) std::swap(p1, p2);
    SCOPED_TRACE(n);
    check_clip({{{x, y, 100 * size(rng)}, p1, p2}, {l, l + size(rng) / 2, b, b + size(rng) / 2}},
               true);
  }
}

TEST(TriangleClipper, RandomTrianglesUpToTheThirtyTwoBitLimits) {
  std::mt19937 rng(17);
  std::uniform_int_distribution<int32_t> near(-200, 300), any(INT32_MIN, INT32_MAX);
  const int32_t extremes[] = {INT32_MIN, INT32_MIN + 1, -INT32_MAX, 0, INT32_MAX - 1, INT32_MAX};
  std::uniform_int_distribution<int> which(0, 5), mode(0, 2);
  auto coordinate = [&] {
    int m = mode(rng);
    return m == 0 ? near(rng) : m == 1 ? any(rng) : extremes[which(rng)];
  };
  for (int n = 0; n < 3000; ++n) {
    SCOPED_TRACE(n);
    check_clip({{{coordinate(), coordinate(), 100},
                 {coordinate(), coordinate(), 900},
                 {coordinate(), coordinate(), 60000}},
                {-20, 100, 10, 90}},
               false);
  }
}

} // namespace
