// The general triangle clipper against an independent geometric reference: the
// rectangle cut by the triangle's three half-planes in long double.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "convex_strip.h"
#include "triangle_clipper.h"

namespace {

using Real = long double;
struct P2 {
  Real x, y;
};

Real cross(P2 o, P2 a, P2 b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

Real perimeter(const std::vector<P2>& poly) {
  Real length = 0;
  for (std::size_t i = 0; i < poly.size(); ++i) {
    P2 a = poly[i], b = poly[(i + 1) % poly.size()];
    length += std::hypot(b.x - a.x, b.y - a.y);
  }
  return length;
}

Real area(const std::vector<P2>& poly) {
  Real twice = 0;
  for (std::size_t i = 0; i < poly.size(); ++i)
    twice += cross({0, 0}, poly[i], poly[(i + 1) % poly.size()]);
  return std::fabs(twice) / 2;
}

// The rectangle cut by the triangle's half-planes (the clipper cuts the other way).
std::vector<P2> reference_intersection(const ZT_DCI_Point* t, const ZT_Int_Rectangle& r) {
  std::vector<P2> poly = {{Real(r.left), Real(r.bottom)},
                          {Real(r.right), Real(r.bottom)},
                          {Real(r.right), Real(r.top)},
                          {Real(r.left), Real(r.top)}};
  P2 v[3] = {
      {Real(t[0].x), Real(t[0].y)}, {Real(t[1].x), Real(t[1].y)}, {Real(t[2].x), Real(t[2].y)}};
  Real orientation = cross(v[0], v[1], v[2]) < 0 ? -1 : 1;
  for (int k = 0; k < 3 && !poly.empty(); ++k) {
    P2 a = v[k], b = v[(k + 1) % 3];
    std::vector<P2> next;
    for (std::size_t i = 0; i < poly.size(); ++i) {
      P2 s = poly[(i + poly.size() - 1) % poly.size()], e = poly[i];
      Real ds = orientation * cross(a, b, s), de = orientation * cross(a, b, e);
      if ((ds >= 0) != (de >= 0)) {
        Real f = ds / (ds - de);
        next.push_back({s.x + f * (e.x - s.x), s.y + f * (e.y - s.y)});
      }
      if (de >= 0) next.push_back(e);
    }
    poly = next;
  }
  return poly;
}

// The clipped strip read back as its polygon q[0] .. q[m-1].
std::vector<int32_t> polygon_order(int32_t m) {
  std::vector<int32_t> strip_position(std::size_t(m), 0);
  for (int32_t k = 0; k < m; ++k) strip_position[std::size_t(convex_strip_index(k, m))] = k;
  return strip_position;
}

std::vector<P2> output_polygon(const Clipped_Strip& s) {
  std::vector<P2> poly;
  for (int32_t k : polygon_order(s.count))
    poly.push_back({Real(s.points[k].x), Real(s.points[k].y)});
  return poly;
}

// Barycentric interpolation of a vertex value at (x, y).
Real interpolate(const ZT_DCI_Point* t, const Real value[3], Real x, Real y) {
  P2 a{Real(t[0].x), Real(t[0].y)}, b{Real(t[1].x), Real(t[1].y)}, c{Real(t[2].x), Real(t[2].y)};
  Real d = cross(a, b, c);
  Real to_b = cross(a, {x, y}, c) / d, to_c = cross(a, b, {x, y}) / d;
  return value[0] + (value[1] - value[0]) * to_b + (value[2] - value[0]) * to_c;
}

struct Case {
  ZT_DCI_Point p[3];
  ZT_RGB32 colors[3];
  ZT_Parameter parameters[3];
  ZT_Int_Rectangle rect;
};

// Checks the properties every clip must have; exact says the crossings are
// integers, so nothing is rounded.
void check_clip(const Case& c, bool exact) {
  Clipped_Strip s;
  clip_triangle({c.p, c.colors, c.parameters, nullptr}, c.rect, s);
  std::vector<P2> reference = reference_intersection(c.p, c.rect);
  Real expected = reference.size() >= 3 ? area(reference) : 0;
  if (s.count < 3) {
    // Only a sliver thinner than the rounding may vanish.
    EXPECT_LE(expected, exact ? 0 : perimeter(reference) * 0.71L) << "visible part lost";
    return;
  }
  ASSERT_LE(s.count, clipped_strip_capacity);
  std::vector<P2> poly = output_polygon(s);
  Real turn_sign = 0;
  for (std::size_t i = 0; i < poly.size(); ++i) {
    P2 a = poly[i], b = poly[(i + 1) % poly.size()], n = poly[(i + 2) % poly.size()];
    EXPECT_TRUE(a.x >= c.rect.left && a.x <= c.rect.right && a.y >= c.rect.bottom &&
                a.y <= c.rect.top);
    Real turn = cross(a, b, n);
    if (exact && turn != 0) {
      if (turn_sign == 0) turn_sign = turn;
      EXPECT_GT(turn * turn_sign, 0) << "not convex";
    }
  }
  // Each point moves by at most half a pixel in x and in y.
  Real tolerance = exact ? 0 : std::max(perimeter(poly), perimeter(reference)) * 0.71L + 1e-6L;
  EXPECT_NEAR(double(area(poly)), double(expected), double(tolerance));
  // Attributes: the triangle's plane at the output position.
  for (int32_t k = 0; k < s.count; ++k) {
    Real x = s.points[k].x, y = s.points[k].y;
    Real z[3] = {Real(c.p[0].z), Real(c.p[1].z), Real(c.p[2].z)};
    Real red[3] = {Real(c.colors[0].r), Real(c.colors[1].r), Real(c.colors[2].r)};
    Real u[3] = {c.parameters[0].u, c.parameters[1].u, c.parameters[2].u};
    if (cross({Real(c.p[0].x), Real(c.p[0].y)}, {Real(c.p[1].x), Real(c.p[1].y)},
              {Real(c.p[2].x), Real(c.p[2].y)}) == 0)
      continue;
    const ZT_DCI_Point* own = nullptr; // the triangle's own vertices keep their values
    for (const ZT_DCI_Point& v : c.p)
      if (v.x == s.points[k].x && v.y == s.points[k].y) own = &v;
    if (own) {
      EXPECT_EQ(s.points[k].z, own->z);
      continue;
    }
    // New depths round as trunc(z + 0.5).
    Real depth = interpolate(c.p, z, x, y) + 0.5L;
    EXPECT_GE(s.points[k].z, std::trunc(depth - 1e-6L));
    EXPECT_LE(s.points[k].z, std::trunc(depth + 1e-6L));
    Real r = std::clamp(interpolate(c.p, red, x, y), Real(0), Real(255));
    EXPECT_NEAR(double(s.colors[k].r), double(r), 0.5 + 1e-6);
    EXPECT_NEAR(double(s.parameters[k].u), double(interpolate(c.p, u, x, y)),
                1e-4 * (1 + std::fabs(double(interpolate(c.p, u, x, y)))));
  }
}

Case make_case(ZT_DCI_Point a, ZT_DCI_Point b, ZT_DCI_Point c, ZT_Int_Rectangle r) {
  return {
      {a, b, c}, {{200, 0, 0}, {0, 100, 0}, {50, 0, 250}}, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, r};
}

TEST(TriangleClipper, TriangleWhollyInsideIsUnchanged) {
  Case c = make_case({1, 2, 30}, {9, 3, 40}, {4, 8, 50}, {0, 10, 0, 10});
  Clipped_Strip s;
  ASSERT_EQ(clip_triangle({c.p, c.colors, c.parameters, nullptr}, c.rect, s), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(s.points[i], c.p[i]);
    EXPECT_EQ(s.colors[i], c.colors[i]);
    EXPECT_EQ(s.parameters[i].u, c.parameters[i].u);
  }
}

TEST(TriangleClipper, TriangleWhollyOutsideLeavesFewerThanThreePoints) {
  ZT_Int_Rectangle r{0, 10, 0, 10};
  for (auto c : {make_case({20, 0, 0}, {30, 0, 0}, {25, 9, 0}, r),  // beyond one side
                 make_case({8, 30, 0}, {30, 8, 0}, {30, 30, 0}, r), // past a corner
                 make_case({-5, 20, 0}, {20, -5, 0}, {-5, -5, 0}, {15, 20, 15, 20})}) {
    Clipped_Strip s;
    EXPECT_LT(clip_triangle({c.p, nullptr, nullptr, nullptr}, c.rect, s), 3);
  }
}

TEST(TriangleClipper, RectangleInsideTheTriangleGivesItsFourCorners) {
  Case c = make_case({-100, -100, 0}, {300, -100, 4000}, {-100, 300, 8000}, {10, 20, 30, 40});
  Clipped_Strip s;
  ASSERT_EQ(clip_triangle({c.p, c.colors, c.parameters, nullptr}, c.rect, s), 4);
  check_clip(c, true);
  EXPECT_DOUBLE_EQ(double(area(output_polygon(s))), 100.0);
}

TEST(TriangleClipper, PolygonFollowsTheOutlineFromItsFirstVisiblePoint) {
  // The hypotenuse x + y = 16 cuts the corner (10, 10) off the rectangle: a
  // pentagon q0..q4, handed out as the strip q0 q1 q4 q2 q3.
  ZT_Int_Rectangle r{0, 10, 0, 10};
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
    ASSERT_EQ(clip_triangle({c.p, nullptr, nullptr, nullptr}, r, s), 5);
    for (int k = 0; k < 5; ++k)
      EXPECT_EQ((ZT_Int_Point{s.points[k].x, s.points[k].y}), c.strip[k]) << k;
  }
}

TEST(TriangleClipper, RandomLatticeTrianglesClipExactly) {
  // Edges of slope 0, 1, -1 or vertical cross integer sides at integer points.
  std::mt19937 rng(9);
  std::uniform_int_distribution<int32_t> coord(-30, 60), size(1, 60), pick(0, 7);
  for (int n = 0; n < 3000; ++n) {
    int32_t x = coord(rng), y = coord(rng), a = size(rng);
    int32_t sx = pick(rng) & 1 ? 1 : -1, sy = pick(rng) & 1 ? 1 : -1;
    ZT_DCI_Point p0{x, y, coord(rng) * 100}, p1{x + sx * a, y, 500}, p2{x, y + sy * a, 2000};
    if (pick(rng) & 1) std::swap(p1, p2);
    int32_t l = coord(rng), b = coord(rng);
    Case c = make_case(p0, p1, p2, {l, l + size(rng) / 2, b, b + size(rng) / 2});
    SCOPED_TRACE(n);
    check_clip(c, true);
  }
}

TEST(TriangleClipper, RandomTrianglesAndHugeCoordinates) {
  std::mt19937 rng(17);
  std::uniform_int_distribution<int32_t> near(-200, 300), any(INT32_MIN, INT32_MAX);
  const int32_t extremes[] = {INT32_MIN, INT32_MIN + 1, -INT32_MAX, 0, INT32_MAX - 1, INT32_MAX};
  std::uniform_int_distribution<int> which(0, 5), mode(0, 2);
  for (int n = 0; n < 3000; ++n) {
    auto coordinate = [&] {
      int m = mode(rng);
      return m == 0 ? near(rng) : m == 1 ? any(rng) : extremes[which(rng)];
    };
    Case c = make_case({coordinate(), coordinate(), 100}, {coordinate(), coordinate(), 900},
                       {coordinate(), coordinate(), 60000}, {-20, 100, 10, 90});
    SCOPED_TRACE(n);
    check_clip(c, false);
  }
}

TEST(TriangleClipper, DegenerateTrianglesDrawNoArea) {
  ZT_Int_Rectangle r{0, 10, 0, 10};
  for (auto c : {make_case({-5, -5, 0}, {5, 5, 0}, {20, 20, 0}, r),
                 make_case({3, 3, 0}, {3, 3, 0}, {3, 3, 0}, r),
                 make_case({INT32_MIN, 5, 0}, {INT32_MAX, 5, 0}, {0, 5, 0}, r)}) {
    Clipped_Strip s;
    clip_triangle({c.p, c.colors, c.parameters, nullptr}, c.rect, s);
    if (s.count >= 3) {
      EXPECT_EQ(double(area(output_polygon(s))), 0.0);
    }
  }
}

} // namespace
