// The host's pre-clipping: segment crossings against an independent
// long-double computation, clipped triangles covering what they should,
// attributes at cut points, far and hostile input.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <random>

#include "host/zarnik11.h"

namespace {

constexpr int32_t G = 1 << 30;
const ZT_Int_Rectangle far_rectangle{-G, G, -G, G};

TEST(PreclipRound, HalfUpForPositivesHalfTowardZeroForNegativesSaturatingAtTheEnds) {
  EXPECT_EQ(ZD_Preclip_Round(2.5), 3);
  EXPECT_EQ(ZD_Preclip_Round(-2.5), -2);
  EXPECT_EQ(ZD_Preclip_Round(-0.5), 0);
  EXPECT_EQ(ZD_Preclip_Round(-0.5000001), -1);
  EXPECT_EQ(ZD_Preclip_Round(2.4999), 2);
  EXPECT_EQ(ZD_Preclip_Round(1e300), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(ZD_Preclip_Round(-1e300), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(ZD_Preclip_Round(NAN), 0);
}

// The reference: the segment's crossings with each side in long double, the
// candidates inside the rectangle, the first and last of them along the way.
struct Reference_Cut {
  bool hit = false;
  long double x0, y0, x1, y1;
};

Reference_Cut reference_cut(const ZT_Int_Rectangle& r, ZT_Point_D a, ZT_Point_D b) {
  const long double ax = a.x, ay = a.y, bx = b.x, by = b.y;
  const long double slack = 1e-16L * (1 + std::fabs(ax) + std::fabs(bx) + std::fabs(ay) + std::fabs(by));
  auto inside = [&](long double x, long double y) {
    return x >= r.left - slack && x <= r.right + slack && y >= r.bottom - slack &&
           y <= r.top + slack;
  };
  long double tmin = 2, tmax = -1;
  auto consider = [&](long double t) {
    if (t < 0 || t > 1) return;
    if (!inside(ax + t * (bx - ax), ay + t * (by - ay))) return;
    tmin = std::min(tmin, t);
    tmax = std::max(tmax, t);
  };
  consider(0);
  consider(1);
  if (bx != ax) {
    consider((r.left - ax) / (bx - ax));
    consider((r.right - ax) / (bx - ax));
  }
  if (by != ay) {
    consider((r.bottom - ay) / (by - ay));
    consider((r.top - ay) / (by - ay));
  }
  Reference_Cut c;
  if (tmin > tmax) return c;
  c.hit = true;
  auto clampl = [](long double v, long double lo, long double hi) { return std::min(std::max(v, lo), hi); };
  c.x0 = clampl(ax + tmin * (bx - ax), r.left, r.right);
  c.y0 = clampl(ay + tmin * (by - ay), r.bottom, r.top);
  c.x1 = clampl(ax + tmax * (bx - ax), r.left, r.right);
  c.y1 = clampl(ay + tmax * (by - ay), r.bottom, r.top);
  return c;
}

// The reference value rounded as the host rounds, unless it lies so close to
// a tie that double precision on coordinates of this size may decide either way.
bool rounds_to(long double v, int32_t got, double range) {
  const long double f = v - std::floor(v);
  if (std::fabs(f - 0.5L) < 1e-3L + 4e-16L * range)
    return got == int32_t(std::floor(v)) || got == int32_t(std::floor(v)) + 1;
  return got == ZD_Preclip_Round(double(v));
}

TEST(PreclipSegments, CrossingsAgreeWithALongDoubleComputation) {
  std::mt19937_64 rng(11);
  const double ranges[] = {2e9, 1e12, 1e15};
  int hits = 0;
  for (int i = 0; i < 20000; ++i) {
    const double range = ranges[i % 3];
    std::uniform_real_distribution<double> d(-range, range);
    const int32_t o = int32_t(rng() % 2000) - 1000;
    const ZT_Int_Rectangle r = i % 2 ? ZT_Int_Rectangle{o - G, o + G, -o - G, -o + G}
                                     : ZT_Int_Rectangle{o, o + 640, o, o + 480};
    ZT_Point_D s[2] = {{d(rng), d(rng), d(rng)}, {d(rng), d(rng), 0}};
    if (i % 7 == 0) s[1] = {double(o + 100), double(o + 100), 0};  // ends inside
    uint16_t codes[2];
    ZD_Clip(r, 2, s, codes);
    const Reference_Cut ref = reference_cut(r, s[0], s[1]);
    ZT_DCI_Point out[2];
    const bool hit = ZD_Preclip_Ends(codes, r, s, out, nullptr, nullptr);
    if (ref.hit && std::fabs(double(ref.x0 - ref.x1)) + std::fabs(double(ref.y0 - ref.y1)) < 1e-3) {
      continue;  // a touch at a corner: either answer is right
    }
    ASSERT_EQ(hit, ref.hit) << i;
    if (!hit) continue;
    ++hits;
    ASSERT_TRUE(rounds_to(ref.x0, out[0].x, range)) << i << ": " << double(ref.x0) << " vs " << out[0].x;
    ASSERT_TRUE(rounds_to(ref.y0, out[0].y, range)) << i;
    ASSERT_TRUE(rounds_to(ref.x1, out[1].x, range)) << i;
    ASSERT_TRUE(rounds_to(ref.y1, out[1].y, range)) << i;
    // Head and tail give the same points.
    ZT_DCI_Point head, tail;
    EXPECT_TRUE(ZD_Preclip_Head(codes[0], r, s, &head, nullptr, nullptr));
    EXPECT_TRUE(ZD_Preclip_Tail(codes[1], r, s, &tail, nullptr, nullptr));
    EXPECT_EQ(head, out[0]);
    EXPECT_EQ(tail, out[1]);
  }
  EXPECT_GT(hits, 5000);
}

TEST(PreclipSegments, ColoursAndDepthAtTheCutPointsFollowTheFraction) {
  const ZT_Int_Rectangle r{0, 100, 0, 100};
  const ZT_Point_D s[2] = {{-100, 50, 0}, {300, 50, 4000}};  // enters at 1/4, leaves at 1/2
  const ZT_RGB32 c[2] = {ZT_RGB32(0, 0, 0, 0), ZT_RGB32(200, 100, 40, 255)};
  ZT_DCI_Point out[2];
  ZT_RGB32 oc[2];
  ASSERT_TRUE(ZD_Preclip_Ends(nullptr, r, s, out, c, oc));
  EXPECT_EQ(out[0], (ZT_DCI_Point{0, 50, 1000}));
  EXPECT_EQ(out[1], (ZT_DCI_Point{100, 50, 2000}));
  EXPECT_EQ(oc[0], ZT_RGB32(50, 25, 10, 64));
  EXPECT_EQ(oc[1], ZT_RGB32(100, 50, 20, 128));
}

TEST(PreclipSegments, MissesAndNonFiniteInputAnswerFalseWithoutCrashing) {
  const ZT_Int_Rectangle r{0, 10, 0, 10};
  const double inf = std::numeric_limits<double>::infinity();
  const ZT_Point_D cases[][2] = {{{-5, -5, 0}, {20, -1, 0}},     // passes below
                                 {{NAN, 5, 0}, {5, 5, 0}},       // NaN start
                                 {{-inf, 5, 0}, {5, 5, 0}},      // infinite start
                                 {{5, 5, 0}, {5, inf, 0}},       // infinite end
                                 {{-1e308, 0, 0}, {1e308, 1, 0}}};  // difference overflows
  for (int i = 0; i < 4; ++i) {
    ZT_DCI_Point out[2] = {{7, 7, 7}, {7, 7, 7}};
    EXPECT_FALSE(ZD_Preclip_Ends(nullptr, r, cases[i], out, nullptr, nullptr)) << i;
    EXPECT_EQ(out[0], (ZT_DCI_Point{7, 7, 7})) << i;
    ZT_DCI_Point head;
    EXPECT_FALSE(ZD_Preclip_Head(1, r, cases[i], &head, nullptr, nullptr));
  }
  ZT_DCI_Point out[2];
  ASSERT_TRUE(ZD_Preclip_Ends(nullptr, r, cases[4], out, nullptr, nullptr));
  EXPECT_EQ(out[0].x, 0);
  EXPECT_EQ(out[1].x, 10);
}

// ---------------------------------------------------------------------------

struct Clipped {
  bool drawn = false;
  int32_t n = 0;
  ZT_DCI_Point p[ZD_Preclip_Max_Points + 1];
};

Clipped clip_triangle(const ZT_Int_Rectangle& r, const ZT_Point_D (&t)[3]) {
  Clipped c;
  c.p[ZD_Preclip_Max_Points] = {-7, -7, -7};  // a fence
  ZT_Rendition rendition;
  c.drawn = ZD_Preclip_2D_Triangle(nullptr, rendition, r, t, &c.n, c.p, nullptr, nullptr, nullptr,
                                   1, nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(c.p[ZD_Preclip_Max_Points], (ZT_DCI_Point{-7, -7, -7}));
  return c;
}

long double side(long double ax, long double ay, long double bx, long double by, long double px,
                 long double py) {
  return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

// Whether p lies in one of the strip's triangles, or at most `tolerance` outside.
bool in_strip(const Clipped& c, long double px, long double py, long double tolerance) {
  for (int32_t i = 0; i + 2 < c.n; ++i) {
    const ZT_DCI_Point &a = c.p[i], &b = c.p[i + 1], &d = c.p[i + 2];
    const long double area = side(a.x, a.y, b.x, b.y, d.x, d.y);
    if (area == 0) continue;
    const long double s = area > 0 ? 1 : -1;
    auto ok = [&](const ZT_DCI_Point& u, const ZT_DCI_Point& v) {
      const long double len = std::hypot((long double)v.x - u.x, (long double)v.y - u.y);
      return s * side(u.x, u.y, v.x, v.y, px, py) >= -tolerance * len;
    };
    if (ok(a, b) && ok(b, d) && ok(d, a)) return true;
  }
  return false;
}

TEST(PreclipTriangles, TheStripCoversTheTriangleInsideTheRectangleAndNothingOutside) {
  std::mt19937_64 rng(5);
  int drawn = 0;
  for (int i = 0; i < 3000; ++i) {
    const double range = i % 3 == 0 ? 1e12 : i % 3 == 1 ? 4e9 : 2e3;
    std::uniform_real_distribution<double> d(-range, range);
    const ZT_Int_Rectangle r = i % 2 ? far_rectangle : ZT_Int_Rectangle{-500, 700, -300, 400};
    const ZT_Point_D t[3] = {{d(rng), d(rng), 0}, {d(rng), d(rng), 0}, {d(rng), d(rng), 0}};
    const Clipped c = clip_triangle(r, t);
    if (!c.drawn) continue;
    ++drawn;
    ASSERT_GE(c.n, 3);
    ASSERT_LE(c.n, ZD_Preclip_Max_Points);
    for (int32_t k = 0; k < c.n; ++k) {
      ASSERT_GE(c.p[k].x, r.left);
      ASSERT_LE(c.p[k].x, r.right);
      ASSERT_GE(c.p[k].y, r.bottom);
      ASSERT_LE(c.p[k].y, r.top);
    }
    // Points well inside both the triangle and the rectangle are covered.
    const long double scale = (int64_t(r.right) - r.left) * 1e-6L + 2;
    std::uniform_real_distribution<double> in_x(r.left, r.right), in_y(r.bottom, r.top);
    for (int s = 0; s < 50; ++s) {
      const long double px = in_x(rng), py = in_y(rng);
      const long double o = side(t[0].x, t[0].y, t[1].x, t[1].y, t[2].x, t[2].y) > 0 ? 1 : -1;
      bool deep = true;
      for (int e = 0; e < 3; ++e) {
        const ZT_Point_D &u = t[e], &v = t[(e + 1) % 3];
        const long double len = std::hypot((long double)(v.x - u.x), (long double)(v.y - u.y));
        deep = deep && o * side(u.x, u.y, v.x, v.y, px, py) > scale * len;
      }
      if (deep) {
        ASSERT_TRUE(in_strip(c, px, py, 1)) << i << " (" << double(px) << ", " << double(py) << ") in " << t[0].x << "," << t[0].y << " " << t[1].x << "," << t[1].y << " " << t[2].x << "," << t[2].y << " n=" << c.n << " p0=" << c.p[0].x << "," << c.p[0].y << " p1=" << c.p[1].x << "," << c.p[1].y << " p2=" << c.p[2].x << "," << c.p[2].y;
      }
    }
  }
  EXPECT_GT(drawn, 300);
}

TEST(PreclipTriangles, FarVertexKeepsTheNearCornersAndCutsAtTheGuard) {
  const ZT_Point_D t[3] = {{0, 0, 100}, {1e12, 20, 100}, {0, 40, 100}};
  const Clipped c = clip_triangle(far_rectangle, t);
  ASSERT_TRUE(c.drawn);
  int near_corners = 0, on_guard = 0;
  for (int32_t k = 0; k < c.n; ++k) {
    near_corners += c.p[k] == ZT_DCI_Point{0, 0, 100} || c.p[k] == ZT_DCI_Point{0, 40, 100};
    on_guard += c.p[k].x == G;
  }
  EXPECT_EQ(near_corners, 2);
  EXPECT_EQ(on_guard, 2);
  // Beyond the rectangle on one side: nothing.
  const ZT_Point_D beyond[3] = {{2e12, 0, 0}, {3e12, 5, 0}, {2e12, 9, 0}};
  EXPECT_FALSE(clip_triangle(far_rectangle, beyond).drawn);
}

TEST(PreclipTriangles, AttributesAtCutPointsAreThoseOfTheirPlaceInTheTriangle) {
  // Attributes linear in the position: colour bytes, depth, normal and the two
  // texture coordinates are functions of (x, y) that the cut points must honour.
  const ZT_Point_D t[3] = {{0, 0, 0}, {100, 0, 1000}, {0, 100, 2000}};
  auto at = [](double x, double y) {
    return std::array<double, 4>{x * 2.0, y * 2.0, 10 * x + 20 * y, x / 100 - y / 50};
  };
  ZT_RGB32 colors[3];
  ZT_Parameter parameters[6];
  ZT_Vector normals[3];
  float w[3] = {1, 1, 1};
  for (int i = 0; i < 3; ++i) {
    const auto a = at(t[i].x, t[i].y);
    colors[i] = ZT_RGB32(uint8_t(a[0]), uint8_t(a[1]), 0, 255);
    parameters[2 * i] = {float(a[3]), float(i), 0};
    parameters[2 * i + 1] = {7, 7, 7};  // further parameters travel too
    normals[i] = {float(a[3]), 0, 1};
  }
  const ZT_Int_Rectangle r{10, 60, 10, 60};
  for (bool perspective : {false, true}) {
    if (perspective) w[1] = 4;
    ZT_Rendition rendition;
    rendition.modify()->perspective = perspective ? 1 : 0;
    int32_t n = 0;
    ZT_DCI_Point p[7];
    ZT_RGB32 oc[7];
    ZT_Parameter op[14];
    float ow[7];
    ZT_Vector on[7];
    ASSERT_TRUE(ZD_Preclip_2D_Triangle(nullptr, rendition, r, t, &n, p, colors, oc, parameters, 2,
                                       op, w, ow, normals, on));
    ASSERT_GE(n, 3);
    for (int32_t k = 0; k < n; ++k) {
      const auto a = at(p[k].x, p[k].y);
      EXPECT_NEAR(oc[k].r, a[0], 1.5) << k;
      EXPECT_NEAR(oc[k].g, a[1], 1.5) << k;
      EXPECT_EQ(oc[k].a, 255);
      EXPECT_NEAR(p[k].z, a[2], 16) << k;
      EXPECT_NEAR(on[k].x, a[3], 0.02) << k;
      EXPECT_EQ(op[2 * k + 1].u, 7.0f);
      // Barycentric weight of vertex 1 is x / 100 on the screen; in
      // perspective the parameters follow 1 / w.
      const double l1 = p[k].x / 100.0, l2 = p[k].y / 100.0, l0 = 1 - l1 - l2;
      const double inv = perspective ? l0 + l1 / 4 + l2 : 1;
      const double m1 = perspective ? l1 / 4 / inv : l1, m2 = perspective ? l2 / inv : l2;
      EXPECT_NEAR(op[2 * k].v, m1 + 2 * m2, 0.06) << k << " " << perspective;
      EXPECT_NEAR(ow[k], perspective ? 1 / inv : l0 + w[1] * l1 + l2, 0.1) << k;
    }
  }
}

TEST(PreclipTriangles, NonFiniteAndDegenerateTrianglesDrawNothing) {
  const double inf = std::numeric_limits<double>::infinity();
  const ZT_Point_D cases[][3] = {{{NAN, 0, 0}, {10, 0, 0}, {0, 10, 0}},
                                 {{0, 0, 0}, {inf, 0, 0}, {0, 10, 0}},
                                 {{0, 0, NAN}, {10, 0, 0}, {0, 10, 0}},
                                 {{0, 0, 0}, {10, 10, 0}, {20, 20, 0}},    // a line
                                 {{5, 5, 0}, {5, 5, 0}, {5, 5, 0}},        // a point
                                 {{0, 0, 0}, {1e-3, 0, 0}, {0, 1e-3, 0}}};  // rounds to a point
  for (const auto& t : cases) {
    const Clipped c = clip_triangle(far_rectangle, t);
    EXPECT_FALSE(c.drawn);
    EXPECT_EQ(c.n, 0);
  }
  const ZT_Point_D inside[3] = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}};
  EXPECT_FALSE(clip_triangle({5, 4, 0, 10}, inside).drawn);  // an empty rectangle
}

}  // namespace
