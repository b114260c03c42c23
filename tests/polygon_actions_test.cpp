// Polygon actions: which triangle slot each outline reaches, with which points,
// colour, single-colour flag and rendition; coverage of the pieces; heap use.
// (Host patterns: gates_test.)
// The triangle slots hold recording probes, so the polygon logic is seen apart
// from any rasteriser.
#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <vector>

#include "tests/support/heap_counter.h"
#include "tests/support/polygon_geometry.h"
#include "tests/support/test_host.h"

namespace {

using S = ZT_Slot;
using Outline = std::vector<ZT_Point>;

struct Triangle_Call {
  ZT_Slot slot;
  int32_t count;
  std::array<ZT_Point, 64> points;
  const ZT_RGB32* color;
  bool single;
  const ZT_Rendition_Data* rendition;
  int32_t depth_offset;
};
std::vector<Triangle_Call> calls; // reserved up front: recording allocates nothing

ZT_Point as_float(const ZT_Point& p) {
  return p;
}
ZT_Point as_float(const ZT_DCI_Point& p) {
  return {float(p.x), float(p.y), float(p.z)};
}

template <typename Point>
void record(ZT_Slot slot, const ZT_Rendition& r, int32_t n, const Point* p, const ZT_RGB32* c,
            bool single) {
  Triangle_Call call{slot, n, {}, c, single, r.data(), r->face->depth_offset};
  for (int32_t i = 0; i < n && i < 64; ++i) call.points[std::size_t(i)] = as_float(p[i]);
  calls.push_back(call);
}
template <ZT_Slot Slot, typename Point>
void record_plain(ZT_Renderer_Data*, const ZT_Rendition& r, int32_t n, const Point* p) {
  record(Slot, r, n, p, nullptr, false);
}
template <ZT_Slot Slot, typename Point>
void record_colorized(ZT_Renderer_Data*, const ZT_Rendition& r, int32_t n, const Point* p,
                      const ZT_RGB32* c, bool single) {
  record(Slot, r, n, p, c, single);
}

std::vector<Test_Triangle> drawn_triangles() {
  std::vector<Test_Triangle> out;
  for (const Triangle_Call& c : calls)
    for (std::size_t i = 0; i + 2 < std::size_t(c.count); ++i)
      out.push_back({c.points[i], c.points[i + 1], c.points[i + 2]});
  return out;
}

std::vector<ZT_DCI_Point> to_integer(const Outline& o) {
  std::vector<ZT_DCI_Point> out;
  for (const ZT_Point& p : o) out.push_back({int32_t(p.x), int32_t(p.y), int32_t(p.z)});
  return out;
}

const Outline quad = {{10, 10, 0}, {60, 10, 0}, {60, 50, 0}, {10, 50, 0}};
const Outline concave = {{20, 20, 5},  {120, 20, 5}, {120, 60, 5}, {60, 60, 5},
                         {60, 140, 5}, {20, 140, 5}, {40, 80, 5}};

class PolygonActions : public ::testing::TestWithParam<char> {
protected:
  void SetUp() override {
    host.establish_config(GetParam(), 200, 200);
    probe<S::draw_2d_polytriangle, S::draw_2d_colorized_polytriangle, ZT_Point>();
    probe<S::draw_dc_polytriangle, S::draw_dc_colorized_polytriangle, ZT_Point>();
    probe<S::draw_2di_polytriangle, S::draw_2di_colorized_polytriangle, ZT_DCI_Point>();
    probe<S::draw_dci_polytriangle, S::draw_dci_colorized_polytriangle, ZT_DCI_Point>();
    calls.clear();
    calls.reserve(4096);
    ZD_Fallback_Log::clear();
  }
  template <ZT_Slot Plain, ZT_Slot Colorized, typename Point>
  void probe() {
    host.actions().install<Plain>(host.renderer, &record_plain<Plain, Point>);
    host.actions().install<Colorized>(host.renderer, &record_colorized<Colorized, Point>);
  }
  template <ZT_Slot Polygon, typename Point>
  void draw(const std::vector<Point>& o, const ZT_RGB32* color) {
    calls.clear();
    host.actions().call<Polygon>(host.rendition, int32_t(o.size()), o.data(), color);
  }
  void draw(const Outline& o, const ZT_RGB32* color) { draw<S::draw_2d_polygon>(o, color); }

  // One row of the table of targets: 3 points reach the three-point pair, a
  // convex pentagon the pieces pair (float: one strip p0 p1 p4 p2 p3; integer:
  // triangulated, coordinates unchanged).
  template <ZT_Slot Polygon, typename Point>
  void check_targets(ZT_Slot three_plain, ZT_Slot three_colorized, bool three_single,
                     ZT_Slot pieces_plain, ZT_Slot pieces_colorized) {
    SCOPED_TRACE(ZT_slot_name(Polygon));
    const Outline triangle = {{10, 10, 1}, {50, 12, 2}, {20, 40, 3}};
    const Outline five = {{20, 20, 7}, {150, 30, 9}, {170, 120, 11}, {90, 180, 13}, {10, 100, 15}};
    constexpr bool integer = std::is_same_v<Point, ZT_DCI_Point>;
    for (const ZT_RGB32* c : {&colour, static_cast<const ZT_RGB32*>(nullptr)}) {
      if constexpr (integer)
        draw<Polygon>(to_integer(triangle), c);
      else
        draw<Polygon>(triangle, c);
      ASSERT_EQ(calls.size(), 1u);
      EXPECT_EQ(calls[0].slot, c ? three_colorized : three_plain);
      EXPECT_EQ(calls[0].color, c);
      EXPECT_EQ(calls[0].single, c && three_single);
      EXPECT_EQ(calls[0].rendition, host.rendition.data());
      for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(calls[0].points[i].x, triangle[i].x);

      if constexpr (integer)
        draw<Polygon>(to_integer(five), c);
      else
        draw<Polygon>(five, c);
      EXPECT_EQ(calls.size(), integer ? 3u : 1u);
      for (const Triangle_Call& call : calls) {
        EXPECT_EQ(call.slot, c ? pieces_colorized : pieces_plain);
        EXPECT_EQ(call.single, c != nullptr);
        for (std::size_t k = 0; k < std::size_t(call.count); ++k) {
          const std::size_t strip_order[] = {0, 1, 4, 2, 3};
          const ZT_Point& p = call.points[k];
          if (!integer) {
            EXPECT_EQ(p.x, five[strip_order[k]].x);
          }
          EXPECT_NE(std::find_if(
                        five.begin(), five.end(),
                        [&](const ZT_Point& q) { return q.x == p.x && q.y == p.y && q.z == p.z; }),
                    five.end());
        }
      }
      EXPECT_DOUBLE_EQ(total_area(drawn_triangles()), area(five));
    }
  }

  Test_Host host;
  const ZT_RGB32 colour{10, 20, 30, 255};
};

TEST_P(PolygonActions, EachActionReachesTheSlotsOfItsRow) {
  check_targets<S::draw_2d_polygon, ZT_Point>(
      S::draw_2d_polytriangle, S::draw_2d_colorized_polytriangle, true, S::draw_2d_polytriangle,
      S::draw_2d_colorized_polytriangle);
  check_targets<S::draw_dc_polygon, ZT_Point>(
      S::draw_dc_polytriangle, S::draw_dc_colorized_polytriangle, true, S::draw_dc_polytriangle,
      S::draw_dc_colorized_polytriangle);
  check_targets<S::draw_2di_polygon, ZT_DCI_Point>(
      S::draw_2di_polytriangle, S::draw_2di_colorized_polytriangle, false, S::draw_2d_polytriangle,
      S::draw_2d_colorized_polytriangle);
  check_targets<S::draw_dci_polygon, ZT_DCI_Point>(
      S::draw_dci_polytriangle, S::draw_dci_colorized_polytriangle, false, S::draw_dc_polytriangle,
      S::draw_dc_colorized_polytriangle);
  draw(quad, &colour); // the quadrilateral strip p0 p1 p3 p2
  ASSERT_EQ(calls.size(), 1u);
  for (std::size_t k : {0u, 1u, 2u, 3u}) EXPECT_EQ(calls[0].points[k].x, quad[k ^ (k >> 1)].x);
}

TEST_P(PolygonActions, ConvexUpToSixtyFourPointsIsOneStripWithoutHeapElseTriangulated) {
  const Outline sixty_four = regular_polygon(64, 90, 100, 100, true);
  long before = heap_allocations;
  draw(sixty_four, &colour);
  EXPECT_EQ(heap_allocations - before, 0);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].count, 64);
  EXPECT_EQ(coverage_mismatches(sixty_four, drawn_triangles(), 1.5), 0);

  for (const Outline& outline : {regular_polygon(65, 90, 100, 100), concave}) {
    draw(outline, &colour);
    EXPECT_EQ(calls.size(), outline.size() - 2);
    for (const Triangle_Call& c : calls) {
      EXPECT_EQ(c.slot, S::draw_2d_colorized_polytriangle);
      EXPECT_EQ(c.count, 3);
      EXPECT_EQ(c.color, &colour);
      EXPECT_TRUE(c.single);
    }
    EXPECT_NEAR(total_area(drawn_triangles()), area(outline), 1e-2);
    EXPECT_EQ(coverage_mismatches(outline, drawn_triangles(), 1.5), 0);
  }
}

TEST_P(PolygonActions, EdgeDepthOffsetCopiesTheRenditionOnlyWhenItDiffers) {
  const Outline triangle(quad.begin(), quad.end() - 1);
  for (int32_t face_offset : {0, 7}) {
    host.rendition.modify_face()->depth_offset = face_offset;
    const ZT_Rendition_Data* own = host.rendition.data();
    for (int32_t edge_offset : {0, 7, -3}) {
      host.r().edge_depth_offset = edge_offset;
      const bool replaced = edge_offset != 0 && edge_offset != face_offset;
      for (const Outline& outline : {triangle, quad, concave}) {
        draw(outline, &colour);
        ASSERT_FALSE(calls.empty());
        for (const Triangle_Call& c : calls) {
          EXPECT_EQ(c.rendition == own, !replaced);
          EXPECT_EQ(c.depth_offset, replaced ? edge_offset : face_offset);
        }
        EXPECT_EQ(host.rendition.data(), own);
        EXPECT_EQ(host.rendition->face->depth_offset, face_offset);
        draw<S::draw_2di_polygon>(to_integer(outline), &colour); // never adjusted
        for (const Triangle_Call& c : calls) EXPECT_EQ(c.rendition, own);
      }
    }
  }
  host.r().edge_depth_offset = 0;
}

TEST_P(PolygonActions, HostileOutlinesDrawNothingOrOnlyTheirArea) {
  const std::vector<ZT_DCI_Point> integer = to_integer(quad);
  for (int32_t n : {0, 1, 2, -5}) {
    host.actions().call<S::draw_2d_polygon>(host.rendition, n, quad.data(), &colour);
    host.actions().call<S::draw_dci_polygon>(host.rendition, n, integer.data(), &colour);
  }
  EXPECT_TRUE(calls.empty());
  const float nan_value = std::numeric_limits<float>::quiet_NaN();
  draw(Outline{{10, 10, 0}, {nan_value, 10, 0}, {60, 50, 0}, {10, 50, 0}}, &colour);
  EXPECT_TRUE(calls.empty());
  // Integers near the 32-bit limits: the pieces reach the 2D slots, which clip.
  draw<S::draw_2di_polygon>(std::vector<ZT_DCI_Point>{{INT32_MIN, INT32_MIN, 0},
                                                      {INT32_MAX, INT32_MIN, 0},
                                                      {INT32_MAX, INT32_MAX, 0},
                                                      {0, 5, 0},
                                                      {INT32_MIN, INT32_MAX, 0}},
                            &colour);
  for (const Triangle_Call& c : calls) EXPECT_EQ(c.slot, S::draw_2d_colorized_polytriangle);
  draw<S::draw_dc_polygon>(Outline{{10, 10, 0}, {20, 20, 0}, {30, 30, 0}, {20, 20, 0}}, nullptr);
  EXPECT_DOUBLE_EQ(total_area(drawn_triangles()), 0.0);
}

INSTANTIATE_TEST_SUITE_P(EveryConfiguration, PolygonActions,
                         ::testing::Values('A', 'B', 'C', 'D', 'E', 'F'));

// With the triangle rasterisers installed: a polygon's pixels are written
// exactly once whatever the split.  Configuration A blends a half-transparent
// white over black, so a pixel written once reads 128 and one written twice 191.
TEST(PolygonCoverage, EveryPixelOfAPolygonIsWrittenOnce) {
  Test_Host host('A', 200, 200);
  if (host.actions().holds_standard(S::draw_dc_colorized_polytriangle))
    GTEST_SKIP() << "the triangle rasterisers are not installed yet";
  const Outline pentagon = regular_polygon(5, 60, 100, 100);
  Outline pentagram;
  for (std::size_t i = 0; i < 5; ++i) pentagram.push_back(pentagon[i * 2 % 5]);
  const Outline& star = pentagram;
  const ZT_RGB32 white{255, 255, 255, 128};
  for (const Outline* outline : {&pentagon, &star, &concave}) {
    host.fill_color(0xFF000000);
    host.actions().call<S::draw_dc_polygon>(host.rendition, int32_t(outline->size()),
                                            outline->data(), &white);
    EXPECT_TRUE(host.fences_intact());
    int written = 0;
    for (int32_t y = 0; y < 200; ++y)
      for (int32_t x = 0; x < 200; ++x) {
        const uint32_t red = (host.color(x, y) >> 16) & 0xFF;
        ASSERT_TRUE(red == 0 || red == 128) << x << "," << y << " written more than once";
        written += red == 128;
        const double cx = x + 0.5, cy = y; // where the fill rule samples
        bool deep_inside = true;
        for (auto [dx, dy] : {std::pair{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}})
          deep_inside &= inside_odd_even(*outline, cx + dx, cy + dy);
        EXPECT_TRUE(!deep_inside || red == 128) << x << "," << y << " missed";
      }
    // The star's odd-even region is the pentagram without its centre.
    if (outline != &star) {
      EXPECT_NEAR(written, area(*outline), 0.71 * 6 * 60);
    }
  }
}

} // namespace
