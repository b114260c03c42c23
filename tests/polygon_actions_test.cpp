// Polygon actions: which triangle slot each outline reaches, with which points,
// colour, single-colour flag and rendition; coverage of the pieces; heap use.
// The triangle slots hold recording probes here, so the polygon logic is seen
// apart from any rasteriser.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>
#include <vector>

#include "polygon_geometry.h"
#include "test_host.h"

// Every allocation of the process, the module's included, is counted.
std::atomic<long> heap_allocations{0};
[[gnu::noinline]] void* counted_allocate(std::size_t n) {
  ++heap_allocations;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
[[gnu::noinline]] void counted_release(void* p) noexcept {
  std::free(p);
}
void* operator new(std::size_t n) {
  return counted_allocate(n);
}
void* operator new[](std::size_t n) {
  return counted_allocate(n);
}
void operator delete(void* p) noexcept {
  counted_release(p);
}
void operator delete[](void* p) noexcept {
  counted_release(p);
}
void operator delete(void* p, std::size_t) noexcept {
  counted_release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  counted_release(p);
}

namespace {

struct Triangle_Call {
  ZT_Slot slot;
  int32_t count;
  std::array<ZT_Point, 64> points;
  const ZT_RGB32* color;
  bool single;
  const ZT_Rendition_Data* rendition;
  int32_t depth_offset;
};
// Reserved up front: recording allocates nothing.
std::vector<Triangle_Call> calls;

ZT_Point as_float(const ZT_Point& p) {
  return p;
}
ZT_Point as_float(const ZT_DCI_Point& p) {
  return {float(p.x), float(p.y), float(p.z)};
}

template <typename Point>
void record(ZT_Slot s, const ZT_Rendition& r, int32_t n, const Point* p, const ZT_RGB32* c,
            bool single) {
  Triangle_Call call{s, n, {}, c, single, r.data(), r->face->depth_offset};
  for (int32_t i = 0; i < n && i < 64; ++i) call.points[std::size_t(i)] = as_float(p[i]);
  calls.push_back(call);
}

template <ZT_Slot S, typename Fn = typename ZT_Slot_Traits<S>::Function>
struct Probe;
template <ZT_Slot S, typename Point>
struct Probe<S, void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t, const Point*)> {
  static void run(ZT_Renderer_Data*, const ZT_Rendition& r, int32_t n, const Point* p) {
    record(S, r, n, p, nullptr, false);
  }
};
template <ZT_Slot S, typename Point>
struct Probe<S, void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t, const Point*, const ZT_RGB32*,
                     bool)> {
  static void run(ZT_Renderer_Data*, const ZT_Rendition& r, int32_t n, const Point* p,
                  const ZT_RGB32* c, bool single) {
    record(S, r, n, p, c, single);
  }
};

using S = ZT_Slot;

class PolygonActions : public ::testing::TestWithParam<char> {
protected:
  void SetUp() override {
    host.establish_config(GetParam(), 200, 200);
    install<S::draw_2d_polytriangle>();
    install<S::draw_dc_polytriangle>();
    install<S::draw_2di_polytriangle>();
    install<S::draw_dci_polytriangle>();
    install<S::draw_2d_colorized_polytriangle>();
    install<S::draw_dc_colorized_polytriangle>();
    install<S::draw_2di_colorized_polytriangle>();
    install<S::draw_dci_colorized_polytriangle>();
    calls.clear();
    calls.reserve(4096);
    ZD_Fallback_Log::clear();
  }
  template <ZT_Slot Slot>
  void install() {
    host.actions().install<Slot>(host.renderer, &Probe<Slot>::run);
  }
  void draw(ZT_Slot polygon, const std::vector<ZT_Point>& o, const ZT_RGB32* color) {
    if (polygon == S::draw_2d_polygon)
      host.actions().call<S::draw_2d_polygon>(host.rendition, int32_t(o.size()), o.data(), color);
    else
      host.actions().call<S::draw_dc_polygon>(host.rendition, int32_t(o.size()), o.data(), color);
  }
  void draw(ZT_Slot polygon, const std::vector<ZT_DCI_Point>& o, const ZT_RGB32* color) {
    if (polygon == S::draw_2di_polygon)
      host.actions().call<S::draw_2di_polygon>(host.rendition, int32_t(o.size()), o.data(), color);
    else
      host.actions().call<S::draw_dci_polygon>(host.rendition, int32_t(o.size()), o.data(), color);
  }
  // The calls' strips as triangles.
  static std::vector<Test_Triangle> drawn_triangles() {
    std::vector<Test_Triangle> out;
    for (const Triangle_Call& c : calls)
      for (int32_t i = 0; i + 2 < c.count; ++i)
        out.push_back(
            {c.points[std::size_t(i)], c.points[std::size_t(i + 1)], c.points[std::size_t(i + 2)]});
    return out;
  }

  Test_Host host;
  const ZT_RGB32 colour{10, 20, 30, 255};
};

std::vector<ZT_DCI_Point> to_integer(const std::vector<ZT_Point>& o) {
  std::vector<ZT_DCI_Point> out;
  for (const ZT_Point& p : o) out.push_back({int32_t(p.x), int32_t(p.y), int32_t(p.z)});
  return out;
}

const std::vector<ZT_Point> concave = {{20, 20, 5},  {120, 20, 5}, {120, 60, 5}, {60, 60, 5},
                                       {60, 140, 5}, {20, 140, 5}, {40, 80, 5}};

TEST_P(PolygonActions, ThreePointsAreOneCallOfTheThreePointTarget) {
  const std::vector<ZT_Point> tri = {{10, 10, 1}, {50, 12, 2}, {20, 40, 3}};
  struct {
    ZT_Slot polygon, plain, colorized;
    bool single;
  } rows[] = {
      {S::draw_2d_polygon, S::draw_2d_polytriangle, S::draw_2d_colorized_polytriangle, true},
      {S::draw_dc_polygon, S::draw_dc_polytriangle, S::draw_dc_colorized_polytriangle, true},
      {S::draw_2di_polygon, S::draw_2di_polytriangle, S::draw_2di_colorized_polytriangle, false},
      {S::draw_dci_polygon, S::draw_dci_polytriangle, S::draw_dci_colorized_polytriangle, false},
  };
  for (const auto& row : rows) {
    for (const ZT_RGB32* c : {&colour, static_cast<const ZT_RGB32*>(nullptr)}) {
      SCOPED_TRACE(ZT_slot_name(row.polygon));
      calls.clear();
      bool integer = row.polygon == S::draw_2di_polygon || row.polygon == S::draw_dci_polygon;
      if (integer)
        draw(row.polygon, to_integer(tri), c);
      else
        draw(row.polygon, tri, c);
      ASSERT_EQ(calls.size(), 1u);
      EXPECT_EQ(calls[0].slot, c ? row.colorized : row.plain);
      EXPECT_EQ(calls[0].count, 3);
      EXPECT_EQ(calls[0].color, c);
      if (c) {
        EXPECT_EQ(calls[0].single, row.single);
      }
      for (int i = 0; i < 3; ++i)
        EXPECT_EQ(calls[0].points[std::size_t(i)].y, tri[std::size_t(i)].y);
      EXPECT_EQ(calls[0].rendition, host.rendition.data());
    }
  }
}

TEST_P(PolygonActions, ConvexOutlinesUpToSixtyFourPointsAreOneStripWithoutHeap) {
  for (ZT_Slot polygon : {S::draw_2d_polygon, S::draw_dc_polygon}) {
    std::vector<ZT_Point> quad = {{10, 10, 0}, {60, 10, 0}, {60, 50, 0}, {10, 50, 0}};
    calls.clear();
    draw(polygon, quad, &colour);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].count, 4);
    int order4[] = {0, 1, 3, 2};
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(calls[0].points[std::size_t(k)].x, quad[std::size_t(order4[k])].x);
    std::vector<ZT_Point> five = regular_polygon(5, 40, 100, 100);
    calls.clear();
    draw(polygon, five, nullptr);
    ASSERT_EQ(calls.size(), 1u);
    int order5[] = {0, 1, 4, 2, 3};
    for (int k = 0; k < 5; ++k)
      EXPECT_EQ(calls[0].points[std::size_t(k)].x, five[std::size_t(order5[k])].x);
    EXPECT_EQ(calls[0].slot,
              polygon == S::draw_2d_polygon ? S::draw_2d_polytriangle : S::draw_dc_polytriangle);

    std::vector<ZT_Point> sixty_four = regular_polygon(64, 90, 100, 100, true);
    calls.clear();
    long before = heap_allocations;
    draw(polygon, sixty_four, &colour);
    EXPECT_EQ(heap_allocations - before, 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].count, 64);
    EXPECT_TRUE(calls[0].single);
    EXPECT_EQ(coverage_mismatches(sixty_four, drawn_triangles(), 1.5), 0);
  }
}

TEST_P(PolygonActions, OtherOutlinesAreTriangulatedInTheirSingleColour) {
  for (ZT_Slot polygon : {S::draw_2d_polygon, S::draw_dc_polygon}) {
    ZT_Slot colorized = polygon == S::draw_2d_polygon ? S::draw_2d_colorized_polytriangle
                                                      : S::draw_dc_colorized_polytriangle;
    for (const std::vector<ZT_Point>& outline : {regular_polygon(65, 90, 100, 100), concave}) {
      calls.clear();
      draw(polygon, outline, &colour);
      EXPECT_EQ(calls.size(), outline.size() - 2);
      for (const Triangle_Call& c : calls) {
        EXPECT_EQ(c.slot, colorized);
        EXPECT_EQ(c.count, 3);
        EXPECT_EQ(c.color, &colour);
        EXPECT_TRUE(c.single);
      }
      EXPECT_NEAR(total_area(drawn_triangles()), area(outline), 1e-2);
      EXPECT_EQ(coverage_mismatches(outline, drawn_triangles(), 1.5), 0);
    }
  }
}

TEST_P(PolygonActions, IntegerOutlinesGoThroughTheFloatSlotsUnchanged) {
  struct {
    ZT_Slot polygon, plain, colorized;
  } rows[] = {{S::draw_2di_polygon, S::draw_2d_polytriangle, S::draw_2d_colorized_polytriangle},
              {S::draw_dci_polygon, S::draw_dc_polytriangle, S::draw_dc_colorized_polytriangle}};
  std::vector<ZT_Point> five = {
      {20, 20, 7}, {150, 30, 9}, {170, 120, 11}, {90, 180, 13}, {10, 100, 15}};
  std::vector<ZT_DCI_Point> integer = to_integer(five);
  for (const auto& row : rows)
    for (const ZT_RGB32* c : {&colour, static_cast<const ZT_RGB32*>(nullptr)}) {
      calls.clear();
      draw(row.polygon, integer, c);
      ASSERT_EQ(calls.size(), 3u); // always triangulated, even when convex
      for (const Triangle_Call& call : calls) {
        EXPECT_EQ(call.slot, c ? row.colorized : row.plain);
        if (c) {
          EXPECT_TRUE(call.single);
        }
        for (int i = 0; i < 3; ++i) {
          const ZT_Point& p = call.points[std::size_t(i)];
          bool found = false;
          for (const ZT_DCI_Point& q : integer)
            found |= p.x == float(q.x) && p.y == float(q.y) && p.z == float(q.z);
          EXPECT_TRUE(found) << p.x << "," << p.y;
        }
      }
      EXPECT_DOUBLE_EQ(total_area(drawn_triangles()), area(five));
    }
}

TEST_P(PolygonActions, EdgeDepthOffsetCopiesTheRenditionOnlyWhenItDiffers) {
  std::vector<ZT_Point> quad = {{10, 10, 0}, {60, 10, 0}, {60, 50, 0}, {10, 50, 0}};
  const ZT_Rendition_Data* own = host.rendition.data();
  for (int32_t face_offset : {0, 7}) {
    host.rendition.modify_face()->depth_offset = face_offset;
    own = host.rendition.data();
    for (int32_t edge_offset : {0, 7, -3}) {
      host.r().edge_depth_offset = edge_offset;
      for (const auto& outline :
           {quad, concave, std::vector<ZT_Point>(quad.begin(), quad.end() - 1)}) {
        calls.clear();
        draw(S::draw_2d_polygon, outline, &colour);
        bool replaced = edge_offset != 0 && edge_offset != face_offset;
        ASSERT_FALSE(calls.empty());
        for (const Triangle_Call& c : calls) {
          EXPECT_EQ(c.rendition == own, !replaced);
          EXPECT_EQ(c.depth_offset, replaced ? edge_offset : face_offset);
        }
        EXPECT_EQ(host.rendition.data(), own);
        EXPECT_EQ(host.rendition->face->depth_offset, face_offset);
        // Integer polygons never adjust the offset.
        calls.clear();
        draw(S::draw_2di_polygon, to_integer(outline), &colour);
        for (const Triangle_Call& c : calls) EXPECT_EQ(c.rendition, own);
      }
    }
  }
  host.r().edge_depth_offset = 0;
}

TEST_P(PolygonActions, PatternsFromSeventyFiveGoToTheHost) {
  host.rendition.modify_face()->pattern_index = ZT_Pattern_First_Host_Only;
  std::vector<ZT_Point> quad = {{10, 10, 0}, {60, 10, 0}, {60, 50, 0}, {10, 50, 0}};
  std::vector<ZT_DCI_Point> integer = to_integer(quad);
  draw(S::draw_2d_polygon, quad, &colour);
  draw(S::draw_dc_polygon, quad, nullptr);
  draw(S::draw_2di_polygon, integer, &colour);
  draw(S::draw_dci_polygon, integer, nullptr);
  EXPECT_TRUE(calls.empty());
  const char* names[] = {"ZD_Standard_Draw_2D_Polygon", "ZD_Standard_Draw_DC_Polygon",
                         "ZD_Standard_Draw_2DI_Polygon", "ZD_Standard_Draw_DCI_Polygon"};
  const void* points[] = {quad.data(), quad.data(), integer.data(), integer.data()};
  const ZT_RGB32* colours[] = {&colour, nullptr, &colour, nullptr};
  ASSERT_EQ(ZD_Fallback_Log::calls().size(), 4u);
  for (int i = 0; i < 4; ++i) {
    const ZD_Fallback_Call& call = ZD_Fallback_Log::calls()[std::size_t(i)];
    EXPECT_EQ(call.function, names[i]);
    EXPECT_EQ(call.rendition, host.rendition.data());
    EXPECT_EQ(call.arguments, (std::vector<uint64_t>{4, uint64_t(uintptr_t(points[i])),
                                                     uint64_t(uintptr_t(colours[i]))}));
  }
}

TEST_P(PolygonActions, HostileOutlinesDrawNothingOrOnlyTheirArea) {
  const float nan_value = std::numeric_limits<float>::quiet_NaN();
  std::vector<ZT_Point> quad = {{10, 10, 0}, {60, 10, 0}, {60, 50, 0}, {10, 50, 0}};
  for (int32_t n : {0, 1, 2, -5}) {
    draw(S::draw_2d_polygon, std::vector<ZT_Point>(quad.begin(), quad.begin() + std::max(n, 0)),
         &colour);
    host.actions().call<S::draw_dci_polygon>(host.rendition, n, to_integer(quad).data(), &colour);
  }
  EXPECT_TRUE(calls.empty());
  draw(S::draw_2d_polygon,
       std::vector<ZT_Point>{{10, 10, 0}, {nan_value, 10, 0}, {60, 50, 0}, {10, 50, 0}}, &colour);
  EXPECT_TRUE(calls.empty());
  // Extreme integers become floats near the 32-bit limits; the pieces reach the
  // 2D slots, which clip.
  std::vector<ZT_DCI_Point> huge = {{INT32_MIN, INT32_MIN, 0},
                                    {INT32_MAX, INT32_MIN, 0},
                                    {INT32_MAX, INT32_MAX, 0},
                                    {0, 5, 0},
                                    {INT32_MIN, INT32_MAX, 0}};
  draw(S::draw_2di_polygon, huge, &colour);
  for (const Triangle_Call& c : calls) EXPECT_EQ(c.slot, S::draw_2d_colorized_polytriangle);
  // Zero-area outlines give no triangles with area.
  calls.clear();
  draw(S::draw_dc_polygon,
       std::vector<ZT_Point>{{10, 10, 0}, {20, 20, 0}, {30, 30, 0}, {20, 20, 0}, {10, 10, 0}},
       nullptr);
  EXPECT_DOUBLE_EQ(total_area(drawn_triangles()), 0.0);
}

INSTANTIATE_TEST_SUITE_P(EveryConfiguration, PolygonActions,
                         ::testing::Values('A', 'B', 'C', 'D', 'E', 'F'));

} // namespace
