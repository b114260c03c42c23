// The scan converter on its own, with a span writer that counts how often each
// pixel is written: meshes tile their region exactly once, in every
// orientation.  (Values along spans and edges: triangle_strips_test.)
#include <gtest/gtest.h>

#include <random>

#include "triangles/span_values.h"
#include "tests/support/test_meshes.h"
#include "triangles/triangle_scan.h"

namespace {

using namespace triangles;

constexpr int32_t size = 96;

struct Counting_Writer {
  std::vector<int>& count;
  void operator()(int32_t y, int32_t x, int32_t n, const Span_Values<true, 0>&) {
    for (int32_t k = 0; k < n; ++k) ++count[size_t(y) * size + size_t(x + k)];
  }
};

// How often each pixel is written by the triangles turned by symmetry s.
std::vector<int> count_triangles(const std::vector<Triangle>& triangles, int s = 0) {
  std::vector<int> count(size_t(size) * size, 0);
  Counting_Writer writer{count};
  Whole_Spans<Counting_Writer> spans{writer, {}};
  for (const Triangle& t : triangles) {
    Vertex<0> v[3];
    for (int k = 0; k < 3; ++k) {
      const ZT_DCI_Point p = symmetric(t[k], size - 1, s);
      v[k] = {p.x, p.y, p.z, {}};
    }
    scan_triangle<true, 0>(v[0], v[1], v[2], Row_Window{0, size}, spans);
  }
  return count;
}

TEST(TriangleCoverage, GridsTileTheirRectangleOnceInEveryOrientation) {
  for (uint32_t seed = 1; seed <= 120; ++seed) {
    std::mt19937 rng(seed);
    const int32_t x0 = int32_t(rng() % 10), y0 = int32_t(rng() % 10);
    const int32_t cols = 1 + int32_t(rng() % 8), rows = 1 + int32_t(rng() % 8);
    const int32_t x1 = x0 + cols * (4 + int32_t(rng() % 6)), y1 = y0 + rows * (4 + int32_t(rng() % 6));
    std::vector<Triangle> triangles;
    for (const Strip& strip : grid_strips(rng, x0, y0, x1, y1, cols, rows))
      for (const Triangle& t : triangles_of(strip)) triangles.push_back(t);
    for (int s = 0; s < 8; ++s) {
      const ZT_DCI_Point a = symmetric({x0, y0, 0}, size - 1, s), b = symmetric({x1, y1, 0}, size - 1, s);
      const int32_t left = std::min(a.x, b.x), right = std::max(a.x, b.x);
      const int32_t bottom = std::min(a.y, b.y), top = std::max(a.y, b.y);
      const std::vector<int> count = count_triangles(triangles, s);
      // Inside [left, right) × [bottom, top) once; the last column and row, and
      // everything outside, never.
      for (int32_t y = 0; y < size; ++y)
        for (int32_t x = 0; x < size; ++x) {
          const int expected = x >= left && x < right && y >= bottom && y < top ? 1 : 0;
          ASSERT_EQ(count[size_t(y) * size + size_t(x)], expected)
              << "seed " << seed << " symmetry " << s << " pixel " << x << "," << y;
        }
    }
  }
}

TEST(TriangleCoverage, FanAndZigzagOfOnePolygonCoverTheSamePixelsOnce) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    std::mt19937 rng(seed);
    const int32_t n = 3 + int32_t(rng() % 8);
    const auto polygon = convex_polygon(rng, 48, 48, 16 + int32_t(rng() % 28), n);
    for (int s = 0; s < 8; ++s) {
      const std::vector<int> by_fan = count_triangles(polygon.fan, s);
      const std::vector<int> by_zigzag = count_triangles(triangles_of(polygon.zigzag), s);
      int covered = 0;
      for (size_t i = 0; i < by_fan.size(); ++i) {
        ASSERT_LE(by_fan[i], 1) << "seed " << seed << " symmetry " << s << " pixel " << i;
        ASSERT_EQ(by_fan[i], by_zigzag[i]) << "seed " << seed << " symmetry " << s << " pixel " << i;
        covered += by_fan[i];
      }
      ASSERT_GT(covered, 0);
    }
  }
}

TEST(TriangleCoverage, HalvesRowsAndDegenerateTriangles) {
  auto pixels = [](Triangle t) {
    int total = 0;
    for (int c : count_triangles({t})) total += c;
    return total;
  };
  EXPECT_EQ(pixels({{{2, 5, 0}, {40, 5, 0}, {20, 5, 0}}}), 0);  // one row: nothing
  EXPECT_EQ(pixels({{{2, 5, 0}, {2, 9, 0}, {2, 20, 0}}}), 0);   // one column: nothing
  // Two vertices on the top row: only the lower half, rows 10..19, columns
  // round(xl) .. round(xr) - 1 narrowing to the apex.
  std::vector<int> c = count_triangles({{{{10, 10, 0}, {30, 10, 0}, {20, 20, 0}}}});
  EXPECT_EQ(c[size_t(10) * size + 10], 1);
  EXPECT_EQ(c[size_t(10) * size + 29], 1);
  EXPECT_EQ(c[size_t(10) * size + 30], 0);  // right end of the span
  EXPECT_EQ(c[size_t(20) * size + 20], 0);  // bottom row
  EXPECT_EQ(c[size_t(9) * size + 15], 0);
}

TEST(EdgeWalker, AdvancingEqualsSteppingAndTheLastRowStaysShortOfTheEnd) {
  std::mt19937 rng(5);
  for (int i = 0; i < 5000; ++i) {
    Vertex<1> a{int32_t(rng() % 4000), 0, int32_t(rng() % 65536), {int32_t(rng() % 256)}};
    const int32_t rows = 1 + int32_t(rng() % 300);
    Vertex<1> b{int32_t(rng() % 4000), rows, int32_t(rng() % 65536), {int32_t(rng() % 256)}};
    Edge_Walker<true, 1> stepped = Edge_Walker<true, 1>::between(a, b, rows), jumped = stepped;
    const int32_t k = int32_t(rng() % uint32_t(rows));
    for (int32_t j = 0; j < k; ++j) stepped.step();
    jumped.advance(k);
    ASSERT_EQ(stepped.x, jumped.x);
    ASSERT_EQ(stepped.depth, jumped.depth);
    ASSERT_EQ(stepped.channel[0], jumped.channel[0]);
    // Truncated steps keep every row's column between the two end points.
    ASSERT_GE(stepped.column(), std::min(a.x, b.x));
    ASSERT_LE(stepped.column(), std::max(a.x, b.x));
  }
}

}  // namespace
