// The host's polygon services: ranking outlines for the convex strip, and
// triangulating contour sets (odd-even rule) with one callback per triangle.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "tests/support/polygon_geometry.h"
#include "host/zarnik11.h"

namespace {

using Outline = std::vector<ZT_Point>;
const float nan_value = std::numeric_limits<float>::quiet_NaN();

ZT_Polygon_Rank rank(const Outline& o) {
  return ZD_Rank_Polygon(int32_t(o.size()), o.data());
}

TEST(RankPolygon, ConvexOutlinesOfEitherWindingAndWithCollinearPoints) {
  Outline square = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}};
  EXPECT_EQ(rank(square).value, ZD_Rank_Convex);
  EXPECT_EQ(rank(square).orientation, 1);
  Outline clockwise(square.rbegin(), square.rend());
  EXPECT_EQ(rank(clockwise).value, ZD_Rank_Convex);
  EXPECT_EQ(rank(clockwise).orientation, -1);
  Outline midpoints = {{0, 0, 0}, {5, 0, 0}, {10, 0, 0}, {10, 5, 0}, {10, 10, 0}, {0, 10, 0}};
  EXPECT_EQ(rank(midpoints).value, ZD_Rank_Convex);
  EXPECT_EQ(rank(regular_polygon(64, 30)).value, ZD_Rank_Convex);
  EXPECT_EQ(rank(regular_polygon(7, 30, 0, 0, true)).value, ZD_Rank_Convex);
}

TEST(RankPolygon, ConcaveAndMultiplyWoundOutlinesAreNotConvex) {
  Outline l_shape = {{0, 0, 0}, {10, 0, 0}, {10, 4, 0}, {4, 4, 0}, {4, 10, 0}, {0, 10, 0}};
  EXPECT_EQ(rank(l_shape).value, ZD_Rank_Not_Convex);
  Outline bow_tie = {{0, 0, 0}, {10, 10, 0}, {10, 0, 0}, {0, 10, 0}};
  EXPECT_EQ(rank(bow_tie).value, ZD_Rank_Not_Convex);
  // A star drawn in one stroke turns one way only but winds twice.
  Outline pentagon = regular_polygon(5, 20), star;
  for (int i = 0; i < 5; ++i) star.push_back(pentagon[std::size_t(i * 2 % 5)]);
  EXPECT_EQ(rank(star).value, ZD_Rank_Not_Convex);
}

TEST(RankPolygon, DegenerateOutlines) {
  Outline triangle = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}};
  EXPECT_EQ(ZD_Rank_Polygon(2, triangle.data()).value, ZD_Rank_Degenerate);
  EXPECT_EQ(ZD_Rank_Polygon(0, nullptr).value, ZD_Rank_Degenerate);
  EXPECT_EQ(ZD_Rank_Polygon(-4, triangle.data()).value, ZD_Rank_Degenerate);
  std::vector<Outline> cases = {
      {{0, 0, 0}, {10, 0, 0}, {10, 0, 0}, {0, 10, 0}},                            // repeated point
      {{0, 0, 0}, {10, 0, 0}, {nan_value, 5, 0}, {0, 10, 0}},                     // NaN
      {{0, 0, 0}, {10, 0, 0}, {INFINITY, 5, 0}, {0, 10, 0}},                      // infinite
      {{0, 0, 0}, {5, 5, 0}, {10, 10, 0}, {15, 15, 0}},                           // no area
      {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {10, 20, 0}, {10, 10, 0}, {0, 10, 0}}, // spike
  };
  for (const Outline& o : cases) EXPECT_EQ(rank(o).value, ZD_Rank_Degenerate);
}

struct Collected {
  std::vector<Test_Triangle> triangles;
};

void collect(const ZT_Point* a, const ZT_Point* b, const ZT_Point* c, void* context) {
  static_cast<Collected*>(context)->triangles.push_back({*a, *b, *c});
}

// Triangulates one outline; false when the host rejected it.
bool triangulate(const Outline& o, Collected& out) {
  ZT_Contour_Set set(int32_t(o.size()), o.data(), false);
  ZT_Contour_Set_Data* data = set.make_unshared();
  data->force_projection({0, 0, 1});
  return data->triangulate(&collect, &out);
}

TEST(Triangulate, CoversTheOddEvenRegionExactlyOnce) {
  Outline pentagon = regular_polygon(5, 20), star;
  for (int i = 0; i < 5; ++i) star.push_back(pentagon[std::size_t(i * 2 % 5)]);
  std::vector<std::pair<const char*, Outline>> cases = {
      {"convex 65", regular_polygon(65, 40)},
      {"concave", {{0, 0, 0}, {10, 0, 0}, {10, 4, 0}, {4, 4, 0}, {4, 10, 0}, {0, 10, 0}}},
      {"collinear", {{0, 0, 0}, {5, 0, 0}, {10, 0, 0}, {10, 10, 0}, {5, 10, 0}, {0, 10, 0}}},
      {"repeated", {{0, 0, 0}, {10, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 0, 0}, {0, 10, 0}}},
      {"self-touching",
       {{0, 0, 0},
        {10, 0, 0},
        {10, 10, 0},
        {20, 10, 0},
        {20, 20, 0},
        {10, 20, 0},
        {10, 10, 0},
        {0, 10, 0}}},
      {"bow tie", {{0, 0, 0}, {10, 10, 0}, {10, 0, 0}, {0, 10, 0}}},
      {"star", star},
      {"spike", {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {10, 20, 0}, {10, 10, 0}, {0, 10, 0}}},
  };
  for (const auto& [name, outline] : cases) {
    SCOPED_TRACE(name);
    Collected c;
    ASSERT_TRUE(triangulate(outline, c));
    EXPECT_EQ(coverage_mismatches(outline, c.triangles, 0.25), 0);
    for (const Test_Triangle& t : c.triangles) EXPECT_GT(area(t), 0);
  }
  Collected simple;
  ASSERT_TRUE(triangulate(regular_polygon(65, 40), simple));
  EXPECT_EQ(simple.triangles.size(), 63u);
  EXPECT_NEAR(total_area(simple.triangles), area(regular_polygon(65, 40)), 1e-3);
}

TEST(Triangulate, CrossingPointsTakeTheDepthAroundThem) {
  Outline bow_tie = {{0, 0, 300}, {10, 10, 300}, {10, 0, 300}, {0, 10, 300}};
  Collected c;
  ASSERT_TRUE(triangulate(bow_tie, c));
  EXPECT_EQ(c.triangles.size(), 2u);
  for (const Test_Triangle& t : c.triangles)
    for (const ZT_Point& p : {t.a, t.b, t.c}) EXPECT_FLOAT_EQ(p.z, 300);
}

TEST(Triangulate, RejectsWhatItCannotTriangulateAndSurvivesHostileInput) {
  Collected c;
  EXPECT_FALSE(triangulate({{0, 0, 0}, {10, 0, 0}, {nan_value, 5, 0}, {0, 10, 0}}, c));
  EXPECT_FALSE(triangulate({{0, 0, 0}, {INFINITY, 0, 0}, {0, 10, 0}}, c));
  EXPECT_TRUE(c.triangles.empty());
  // Huge, zero-area and tiny outlines: no crash, only triangles with area.
  for (const Outline& o :
       std::vector<Outline>{{{-3e38f, -3e38f, 0}, {3e38f, -3e38f, 0}, {0, 3e38f, 0}, {1, 1, 0}},
                            {{0, 0, 0}, {5, 5, 0}, {10, 10, 0}},
                            {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
                            {{1, 1, 0}, {1.000001f, 1, 0}, {1, 1.000001f, 0}}}) {
    Collected h;
    triangulate(o, h);
    for (const Test_Triangle& t : h.triangles) EXPECT_GT(area(t), 0);
  }
}

} // namespace
