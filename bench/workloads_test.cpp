#include "bench/workloads.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

namespace zdi::bench {
namespace {

TEST(Xorshift, FirstOutputsFromTheSeed) {
  Xorshift32 rng;
  EXPECT_EQ(rng.next(), 3336926330u);
  EXPECT_EQ(rng.next(), 1697253807u);
  EXPECT_EQ(rng.next(), 2816511904u);
}

void expect_vertex(const Bench_Vertex& v, float x, float y, float z, int r, int g, int b) {
  EXPECT_EQ(v.x, x);
  EXPECT_EQ(v.y, y);
  EXPECT_EQ(v.z, z);
  EXPECT_EQ(red(v.color), r);
  EXPECT_EQ(green(v.color), g);
  EXPECT_EQ(blue(v.color), b);
  EXPECT_EQ(v.color >> 24, 0xFFu);
}

TEST(Triangles, FirstTrianglesOfTheSets) {
  const auto small = gen_tris(kSmallSet);
  expect_vertex(small[0].v[0], 271.125f, 444.875f, 43475, 56, 63, 102);
  expect_vertex(small[0].v[1], 275.625f, 443.25f, 4706, 120, 30, 167);
  expect_vertex(small[0].v[2], 272.6875f, 440.375f, 24984, 76, 16, 109);

  const auto large = gen_tris(kLargeSet);
  EXPECT_EQ(large[0].v[0].x, 728.0625f);
  EXPECT_EQ(large[0].v[0].y, 492.4375f);
  EXPECT_EQ(large[0].v[1].x, 216.0625f);
  EXPECT_EQ(large[0].v[1].y, 664.8125f);
  EXPECT_EQ(large[0].v[2].x, 510.6875f);
  EXPECT_EQ(large[0].v[2].y, 108.4375f);
  EXPECT_NEAR(triangle_area(large[0]), 117039.0, 0.05); // exactly 117,039.0078125
}

struct Set_Case {
  const char* name;
  Triangle_Set_Shape shape;
  double area_sum, min_area, max_area;
};

// Each set lies inside the window, its areas stay within |Sx Sy -+ Sx Sy / 4| / 2, and the sum
// matches the analytic figure the tables are quoted with.
TEST(Triangles, SetsStayInsideAndMatchTheirAreaSums) {
  const Set_Case cases[] = {
      {"small", kSmallSet, 2'024'699, 7.6, 12.7},
      {"medium", kMediumSet, 10'000'361, 150, 250},
      {"large", kLargeSet, 48'859'330, 73'700, 122'900},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto tris = gen_tris(c.shape);
    ASSERT_EQ(tris.size(), c.shape.count);
    EXPECT_NEAR(total_area(tris), c.area_sum, 0.5);
    double lo = 1e30, hi = 0;
    int outside = 0;
    for (const auto& t : tris) {
      lo = std::min(lo, triangle_area(t));
      hi = std::max(hi, triangle_area(t));
      for (const auto& v : t.v)
        outside += v.x < 0 || v.x > kWidth || v.y < 0 || v.y > kHeight || v.z < 0 || v.z > 65535;
    }
    EXPECT_EQ(outside, 0);
    EXPECT_GE(lo, c.min_area * 0.99);
    EXPECT_LE(hi, c.max_area * 1.01);
  }
}

TEST(Strip, FirstVertexAreaAndBounds) {
  const auto strip = gen_strip();
  ASSERT_EQ(strip.size(), 200'002u);
  EXPECT_EQ(strip[0].x, 12.4375f);
  EXPECT_EQ(strip[0].y, 8.125f);
  EXPECT_EQ(strip[0].z, 36768.0f);
  EXPECT_NEAR(strip_area(strip), 1'993'334, 0.5);
  // Consecutive vertices never jump across the window: the ribbon only meanders.
  float worst = 0;
  for (size_t k = 1; k < strip.size(); ++k)
    worst = std::max(
        {worst, std::abs(strip[k].x - strip[k - 1].x), std::abs(strip[k].y - strip[k - 1].y)});
  EXPECT_LE(worst, 10.0f); // 8 px where a descending row starts, plus 2 px of jitter
}

TEST(Lines, LengthsAndDegenerateRate) {
  const auto lines = gen_lines();
  ASSERT_EQ(lines.size(), 200'000u);
  uint64_t sum = 0;
  int zero = 0, outside = 0;
  for (const auto& l : lines) {
    sum += nominal_pixels(l);
    zero += l.x0 == l.x1 && l.y0 == l.y1;
    outside += std::min({l.x0, l.x1, l.y0, l.y1}) < 0 || std::max(l.x0, l.x1) >= kWidth ||
               std::max(l.y0, l.y1) >= kHeight;
  }
  EXPECT_EQ(sum, 4'070'210u);
  EXPECT_EQ(outside, 0);
  // dx = dy = 0 has probability 1/61^2 = 1/3721: about 54 of 200,000, sd about 7.3.
  EXPECT_GT(zero, 32);
  EXPECT_LT(zero, 76);

  // The GL form puts both ends on pixel centres with the line's colour.
  const auto v = line_vertices(lines);
  ASSERT_EQ(v.size(), 2 * lines.size());
  EXPECT_EQ(v[3].x, static_cast<float>(lines[1].x1) + 0.5f);
  EXPECT_EQ(v[3].z, static_cast<float>(lines[1].z1));
  EXPECT_EQ(v[2].color, v[3].color);
}

TEST(PointsAndImages, StayInsideTheWindow) {
  const auto points = gen_points();
  ASSERT_EQ(points.size(), 500'000u);
  std::set<std::pair<int, int>> distinct;
  for (const auto& p : points) {
    ASSERT_TRUE(p.x >= 0 && p.x < kWidth && p.y >= 0 && p.y < kHeight);
    distinct.insert({p.x, p.y});
  }
  // 500,000 throws into 786,432 pixels leave about 786,432 (1 - e^-0.636) = 371k distinct.
  EXPECT_NEAR(static_cast<double>(distinct.size()), 371'000, 3'000);

  for (int side : {64, 256}) {
    for (const auto& p : gen_image_positions(side, 2000))
      ASSERT_TRUE(p.x >= 0 && p.x + side <= kWidth && p.y >= 0 && p.y + side <= kHeight);
  }
}

TEST(Texture, OpaqueWordsInGeneratorOrder) {
  const auto tex = gen_texture();
  ASSERT_EQ(tex.size(), 65536u);
  EXPECT_EQ(tex[0], 3336926330u | 0xFF000000u);
  EXPECT_EQ(tex[2], 2816511904u | 0xFF000000u);
  const Bench_Vertex v[1] = {{300.5f, 700.25f, 0, 0}};
  const auto tc = texcoords_for(v);
  // Nearest sampling at s * 256 lands on texel column x mod 256.
  EXPECT_EQ(static_cast<int>(std::floor(tc[0].s * 256)) % 256, 300 % 256);
  EXPECT_EQ(static_cast<int>(std::floor(tc[0].t * 256)) % 256, 700 % 256);
}

TEST(Generators, EachRestartsTheSequence) {
  const auto a = gen_tris(10, 72, 72);
  (void)gen_lines(1000);
  const auto b = gen_tris(kSmallSet);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(a[i].v[2].color, b[i].v[2].color);
}

TEST(Catalogue, NamesAreUniqueAndDataIsAvailable) {
  std::set<std::string> names;
  Workload_Data data;
  for (const auto& d : workload_defs()) {
    EXPECT_TRUE(names.insert(std::string(d.name)).second) << d.name;
    EXPECT_EQ(find_workload(d.name), &d);
    if (d.draw == Bench_Draw::draw_pixels) {
      EXPECT_EQ(data.image_positions(d.data).size(), d.count) << d.name;
    }
    if (d.data == Bench_Data::small || d.data == Bench_Data::large) {
      EXPECT_LE(d.count, data.tris(d.data).size()) << d.name;
    }
  }
  EXPECT_EQ(names.size(), 17u);
  EXPECT_EQ(find_workload("nope"), nullptr);
  EXPECT_EQ(split_names(",C_clear,,P_points,"), (std::vector<std::string>{"C_clear", "P_points"}));
  EXPECT_TRUE(split_names("").empty());
}

} // namespace
} // namespace zdi::bench
