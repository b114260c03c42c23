// Triangle strips of points anywhere (the 2D and 2DI actions) against the
// strips of clipped points (DC, DCI).  Inside the hard clip they are the same
// draw.  Through a smaller clip they are the unclipped draw cropped to it,
// except at one kind of pixel: the second pixel of a two-pixel span of a
// triangle that needed clipping takes the span's linear step instead of the
// mean of its two edges.  Far points keep their geometry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <random>
#include <string>

#include "tests/support/heap_counter.h"
#include "tests/support/random_strips.h"
#include "tests/support/reference_triangles.h"
#include "triangles/strip_outcodes.h"
#include "tests/support/test_host.h"

namespace {

constexpr int32_t W = 64, H = 48;
const Reference_Kind kinds[] = {Reference_Kind::Flat, Reference_Kind::Colorized,
                                Reference_Kind::Gouraud};
const ZT_Int_Point origins[] = {{0, 0}, {-40, 3000}};

struct Scene {
  Point_List strip;       // device coordinates
  ZT_Int_Rectangle clip;  // a random rectangle inside the window, not yet set
};

// Seeded state, buffers, a random clip rectangle and a strip of 3 to 14 points
// in range (relative to the window origin).
Scene prepare(Test_Host& host, uint32_t seed, Reference_Kind kind, Point_Range range) {
  std::mt19937 rng(seed);
  randomise_state(host, rng);
  fill_random(host, rng);
  const ZT_Int_Point o = host.r().window_origin();
  const int32_t w = 1 + int32_t(rng() % 40), h = 1 + int32_t(rng() % 30);
  const int32_t l = o.x + int32_t(rng() % uint32_t(W - w + 1));
  const int32_t b = o.y + int32_t(rng() % uint32_t(H - h + 1));
  std::vector<ZT_DCI_Point> points = random_strip(rng, 3 + int32_t(rng() % 12), range);
  for (ZT_DCI_Point& p : points) {  // random_strip may step past the range
    p.x = o.x + std::clamp(p.x, range.x0, range.x1);
    p.y = o.y + std::clamp(p.y, range.y0, range.y1);
  }
  std::vector<ZT_RGB32> colours = random_colours(rng, int32_t(points.size()), kind);
  return {Point_List(points, colours, rng() % 3 == 0), {l, l + w - 1, b, b + h - 1}};
}

bool inside(const ZT_Int_Rectangle& r, int32_t x, int32_t y) {
  return x >= r.left && x <= r.right && y >= r.bottom && y <= r.top;
}

// Triangles of the strip with a point outside the clip, drawn by the worker.
int32_t straddling(const Scene& s) {
  int32_t n = 0;
  const std::vector<ZT_DCI_Point>& p = s.strip.integer;
  for (size_t i = 0; i + 2 < p.size(); ++i) {
    bool all = true;
    for (size_t k = i; k < i + 3; ++k) all = all && inside(s.clip, p[k].x, p[k].y);
    n += !all;
  }
  return n;
}

std::string describe(char config, Reference_Kind kind, ZT_Int_Point o, uint32_t seed) {
  return std::string(1, config) + " kind " + std::to_string(int(kind)) + " origin " +
         std::to_string(o.x) + "," + std::to_string(o.y) + " seed " + std::to_string(seed);
}

// Calls test(config, kind, origin, anywhere, clipped, seed) for every
// configuration, kind and window origin, with two renderers of the same
// configuration: one to draw points anywhere, one clipped points.
template <class Test>
void for_every_pair_of_draws(uint32_t seeds, Test&& test) {
  for (char config : every_configuration)
    for (Reference_Kind kind : kinds)
      for (ZT_Int_Point o : origins) {
        Test_Host anywhere(config, W, H, o), clipped(config, W, H, o);
        for (Test_Host* h : {&anywhere, &clipped}) {
          h->set_option("Use Mask", ZT_Option_Value(true));
          h->establish_again();
        }
        for (uint32_t seed = 1; seed <= seeds; ++seed) {
          test(config, kind, o, anywhere, clipped, seed);
          if (::testing::Test::HasFatalFailure()) return;
        }
      }
}

TEST(ClippedTriangles, InsideTheHardClipTheyDrawAsTheStripsOfClippedPoints) {
  for_every_pair_of_draws(40, [](char config, Reference_Kind kind, ZT_Int_Point o,
                                 Test_Host& anywhere, Test_Host& clipped, uint32_t seed) {
    const Scene s = prepare(anywhere, seed, kind, {0, W - 1, 0, H - 1});
    prepare(clipped, seed, kind, {0, W - 1, 0, H - 1});
    // Odd seeds through the float entries, which round as the DC ones.
    draw_points(anywhere, strip_slot(kind, true, seed % 2), s.strip);
    draw_points(clipped, strip_slot(kind, false, seed % 2), s.strip);
    const std::string what = describe(config, kind, o, seed);
    ASSERT_TRUE(anywhere.fences_intact()) << what;
    ASSERT_TRUE(same_buffers(anywhere, clipped)) << what;
  });
}

// Strips reaching a window's size beyond every side, each through its own
// clip rectangle, against the reference; strips inside the window also against
// the unclipped draw cropped to the rectangle.
TEST(ClippedTriangles, ThroughASmallClipTheyAreTheUnclippedDrawCroppedUpToTwoPixelSpans) {
  int64_t strips = 0, clipped_triangles = 0, compared = 0, differing = 0;
  for_every_pair_of_draws(200, [&](char config, Reference_Kind kind, ZT_Int_Point o,
                                   Test_Host& anywhere, Test_Host& unclipped, uint32_t seed) {
    const bool in_window = seed % 2 == 0;
    const Point_Range range =
        in_window ? Point_Range{0, W - 1, 0, H - 1} : Point_Range{-W, 2 * W, -H, 2 * H};
    const Scene s = prepare(anywhere, seed, kind, range);
    prepare(unclipped, seed, kind, range);
    anywhere.rendition.modify()->hard_clip = s.clip;
    const Reference_Image before = reference_snapshot(anywhere);
    Reference_Image expected = before;
    reference_2di_strip(anywhere, kind, s.strip, expected);
    draw_points(anywhere, strip_slot(kind, true), s.strip);
    const std::string what = describe(config, kind, o, seed);
    ++strips;
    clipped_triangles += straddling(s);
    ASSERT_TRUE(anywhere.fences_intact()) << what;
    const Buffers drawn = anywhere.snapshot();
    ASSERT_TRUE(same_buffers(drawn, expected, W)) << what;
    const std::vector<uint32_t>& colour = drawn.color;
    const std::vector<uint16_t>& depth = drawn.depth;
    if (!in_window) return;
    draw_points(unclipped, strip_slot(kind, false), s.strip);
    const auto full_colour = unclipped.color_snapshot();
    const auto full_depth = unclipped.depth_snapshot();
    for (int32_t y = 0; y < H; ++y)
      for (int32_t x = 0; x < W; ++x) {
        const size_t at = size_t(x + W * y);
        const bool in_clip = inside(s.clip, x + o.x, y + o.y);
        const auto& crop = in_clip ? full_colour : before.color;
        const auto& crop_depth = in_clip ? full_depth : before.depth;
        const bool same =
            colour[at] == crop[at] && (depth.empty() || depth[at] == crop_depth[at]);
        const bool may_differ = in_clip && !expected.linear_second_of_two.empty() &&
                                expected.linear_second_of_two[at];
        compared += in_clip;
        differing += !same;
        ASSERT_TRUE(same || may_differ) << what << " pixel " << x << "," << y;
      }
  });
  std::cout << strips << " strips, each through its own clip rectangle; " << clipped_triangles
            << " triangles clipped; " << compared << " pixels compared with the cropped unclipped "
            << "draw, " << differing << " of them second pixels of two-pixel spans that differ\n";
  EXPECT_GT(differing, 0);  // the exception is real, and the comparison sees it
}

// Analytic coverage of a triangle with a pixel's sample point (column + 1/2,
// row): pixels farther than tolerance from every edge line must agree.
int32_t coverage_mismatches(Test_Host& host, const ZT_DCI_Point (&t)[3], uint32_t background,
                            long double tolerance, int32_t& covered) {
  int32_t mismatches = 0;
  covered = 0;
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      long double side[3];
      for (int k = 0; k < 3; ++k) {
        const ZT_DCI_Point &a = t[k], &b = t[(k + 1) % 3];
        const long double dx = (long double)b.x - a.x, dy = (long double)b.y - a.y;
        side[k] = (dx * (y - (long double)a.y) - dy * (x + 0.5L - a.x)) / std::hypot(dx, dy);
      }
      const bool in = (side[0] > 0 && side[1] > 0 && side[2] > 0) ||
                      (side[0] < 0 && side[1] < 0 && side[2] < 0);
      const bool near = std::fabs(side[0]) < tolerance || std::fabs(side[1]) < tolerance ||
                        std::fabs(side[2]) < tolerance;
      const bool drawn = host.color(x, y) != background;
      covered += drawn;
      mismatches += !near && drawn != in;
    }
  return mismatches;
}

TEST(ClippedTriangles, FarPointsAreCutToTheSafeSquareAndKeepTheirGeometry) {
  constexpr int32_t max = std::numeric_limits<int32_t>::max();
  constexpr int32_t min = std::numeric_limits<int32_t>::min();
  const ZT_DCI_Point triangles[][3] = {
      {{5, 5, 100}, {100000, 30, 60000}, {5, 40, 3000}},
      {{60, 2, 100}, {-100000, 20, 100}, {50, 45, 9000}},
      {{10, 10, 0}, {30, max, 40000}, {50, 12, 0}},
      {{min, -5, 0}, {max, 20, 0}, {0, max, 65535}},
      {{min, min, 0}, {max, min, 0}, {30, 30, 0}},
  };
  const ZT_RGB32 colours[3] = {{10, 20, 250, 255}, {250, 10, 40, 255}, {40, 240, 30, 255}};
  for (const auto& t : triangles) {
    Test_Host host('F', W, H);
    host.actions().call<ZT_Slot::draw_2di_gouraud_polytriangle>(host.rendition, 3, t, colours);
    ASSERT_TRUE(host.fences_intact());
    int32_t covered = 0;
    EXPECT_EQ(coverage_mismatches(host, t, 0, 1.5L, covered), 0) << t[1].x << "," << t[1].y;
    EXPECT_GT(covered, 40);
    // Depth and colours of the visible part follow the planes through the
    // vertices, within the error of sampling at whole columns and rows.
    const long double x1 = (long double)t[1].x - t[0].x, y1 = (long double)t[1].y - t[0].y;
    const long double x2 = (long double)t[2].x - t[0].x, y2 = (long double)t[2].y - t[0].y;
    const long double det = y2 * x1 - y1 * x2;
    auto plane = [&](long double a0, long double a1, long double a2, int32_t x, int32_t y,
                     long double& slack) {
      const long double gx = ((a1 - a0) * y2 - (a2 - a0) * y1) / det;
      const long double gy = -((a1 - a0) * x2 - (a2 - a0) * x1) / det;
      slack = 2.5L * (std::fabs(gx) + std::fabs(gy)) + 3;
      return a0 + gx * (x + 0.5L - t[0].x) + gy * ((long double)y - t[0].y);
    };
    for (int32_t y = 0; y < H; ++y)
      for (int32_t x = 0; x < W; ++x) {
        if (host.color(x, y) == 0) continue;
        long double slack;
        const long double z = plane(t[0].z, t[1].z, t[2].z, x, y, slack);
        EXPECT_NEAR(host.depth(x, y), double(z), double(slack)) << x << "," << y;
        const long double red = plane(colours[0].r, colours[1].r, colours[2].r, x, y, slack);
        EXPECT_NEAR((host.color(x, y) >> 16) & 255, double(red), double(slack)) << x << "," << y;
      }
  }
}

// A strip of two inside triangles, three straddling the right side, one
// inside, two straddling and one beyond the right side (window 64 × 48).
const ZT_DCI_Point walk_strip[] = {{5, 5, 10},    {20, 5, 10},   {5, 20, 10}, {20, 20, 10},
                                   {80, 10, 10},  {30, 30, 10},  {40, 40, 10}, {50, 10, 10},
                                   {100, 5, 10},  {110, 30, 10}, {120, 10, 10}};
constexpr int32_t walk_count = 11;

TEST(ClippedTriangles, TheWalkSendsRunsWholeSkipsTrianglesBeyondOneSideAndClipsTheRest) {
  std::string events;
  triangles::Strip_Outcodes codes({0, W - 1, 0, H - 1}, walk_count, walk_strip);
  codes.walk(
      [&](int32_t i, int32_t n) {
        events += "run " + std::to_string(i) + "+" + std::to_string(n) + " ";
      },
      [&](int32_t i) { events += "clip " + std::to_string(i) + " "; });
  EXPECT_EQ(events, "run 0+4 clip 2 clip 3 clip 4 run 5+3 clip 6 clip 7 ");
  const std::vector<ZT_DCI_Point> long_strip(65);
  EXPECT_FALSE(triangles::Strip_Outcodes({0, 9, 0, 9}, 64, long_strip.data()).codes_on_heap());
  EXPECT_TRUE(triangles::Strip_Outcodes({0, 9, 0, 9}, 65, long_strip.data()).codes_on_heap());

  // Configuration F hands the runs to its action table's entry, with the
  // colours at each run's start; the clipped triangles take colour i.
  struct Call {
    int32_t count;
    ptrdiff_t first, colour;
    bool operator==(const Call&) const = default;
  };
  static std::vector<Call> calls;
  static const ZT_RGB32* colours;
  ZT_RGB32 distinct[walk_count];
  for (int32_t i = 0; i < walk_count; ++i)
    distinct[i] = {uint8_t(20 * i), uint8_t(255 - 9 * i), 77, 255};
  colours = distinct;
  Test_Host host('F', W, H);
  Reference_Image expected = reference_snapshot(host);
  host.actions().install<ZT_Slot::draw_dci_colorized_polytriangle>(
      host.renderer, [](ZT_Renderer_Data*, const ZT_Rendition&, int32_t n, const ZT_DCI_Point* p,
                        const ZT_RGB32* c, bool) {
        calls.push_back({n, p - walk_strip, c - colours});
      });
  host.actions().call<ZT_Slot::draw_2di_colorized_polytriangle>(host.rendition, walk_count,
                                                                walk_strip, colours, false);
  EXPECT_EQ(calls, (std::vector<Call>{{4, 0, 0}, {3, 5, 5}}));
  calls.clear();
  host.actions().call<ZT_Slot::draw_2di_colorized_polytriangle>(host.rendition, 4, walk_strip,
                                                                colours, false);
  EXPECT_EQ(calls, (std::vector<Call>{{4, 0, 0}}));  // wholly inside: the call unchanged
  // The clipped triangles, drawn while the runs went to the probe, against
  // the reference of the whole strip less its inside triangles.
  for (int32_t i : {2, 3, 4, 6, 7})
    reference_2di_strip(host, Reference_Kind::Colorized,
                        Point_List({walk_strip[i], walk_strip[i + 1], walk_strip[i + 2]},
                                   {distinct[i]}, true),
                        expected);
  EXPECT_TRUE(same_buffers(host.snapshot(), expected, W));

  // The whole strip, runs drawn, in every configuration and kind: colours stay
  // with their triangles (and points) across runs, skips and clipped ones.
  const Point_List whole_strip({walk_strip, walk_strip + walk_count},
                               {distinct, distinct + walk_count});
  for (char config : every_configuration)
    for (Reference_Kind kind : kinds) {
      Test_Host h(config, W, H);
      Reference_Image whole = reference_snapshot(h);
      reference_2di_strip(h, kind, whole_strip, whole);
      draw_points(h, strip_slot(kind, true), whole_strip);
      EXPECT_TRUE(same_buffers(h.snapshot(), whole, W)) << config << " kind " << int(kind);
    }
}

// B's Gouraud strips of points anywhere do not look at the transparency bit:
// a straddling triangle is B's own (stored opaque), an inside one reaches B's
// integer Gouraud action, which hands it to A (blended).
TEST(ClippedTriangles, BsGouraudStripsBlendOnlyTheirInsideRuns) {
  Test_Host b('B', W, H);
  b.fill_color(0xFF000000);
  b.rendition.modify()->advanced_options = ZT_Advanced_Transparency;
  b.rendition.modify()->hard_clip = {0, 30, 0, H - 1};
  // Triangle 0 inside the clip, triangle 1 reaching beyond its right side;
  // colours far enough apart to be interpolated, alpha 128 throughout.
  const Point_List p({{2, 2, 0}, {20, 2, 0}, {2, 20, 0}, {40, 20, 0}},
                     {{200, 0, 0, 128}, {0, 200, 0, 128}, {0, 0, 200, 128}, {90, 90, 90, 128}});
  draw_points(b, ZT_Slot::draw_2di_gouraud_polytriangle, p);
  Test_Host a('A', W, H), opaque('B', W, H);
  for (Test_Host* h : {&a, &opaque}) {
    h->fill_color(0xFF000000);
    h->rendition.modify()->hard_clip = {0, 30, 0, H - 1};
  }
  draw_points(a, ZT_Slot::draw_2di_gouraud_polytriangle, p);
  draw_points(opaque, ZT_Slot::draw_2di_gouraud_polytriangle, p);
  EXPECT_EQ(b.color(5, 5), a.color(5, 5));          // the inside run, as A's
  EXPECT_NE(b.color(5, 5), opaque.color(5, 5));
  EXPECT_EQ(b.color(22, 15), opaque.color(22, 15));  // the straddling triangle, B's own
  EXPECT_EQ(b.color(22, 15) >> 24, 0xFFu);
  EXPECT_EQ(b.color(35, 19), 0xFF000000u);  // beyond the clip
}

TEST(ClippedTriangles, SixtyFourFloatPointsTakeNoHeapAndSixtyFiveDrawTheSame) {
  for (int32_t n : {64, 65}) {
    Test_Host host('F', W, H);
    std::mt19937 rng{uint32_t(n)};
    fill_random(host, rng);
    const Point_List strip(random_strip(rng, n, {-20, W + 20, -20, H + 20}),
                           random_colours(rng, n, Reference_Kind::Colorized));
    Reference_Image expected = reference_snapshot(host);
    reference_2di_strip(host, Reference_Kind::Colorized, strip, expected);
    const ZT_Slot slot = strip_slot(Reference_Kind::Colorized, true, true);
    draw_points(host, slot, strip);  // warms up the first call
    rng.seed(uint32_t(n));
    fill_random(host, rng);
    const long before = heap_allocations;
    draw_points(host, slot, strip);
    EXPECT_EQ(heap_allocations - before, n > 64 ? 2 : 0) << n;  // points and codes
    EXPECT_TRUE(same_buffers(host.snapshot(), expected, W)) << n;
  }
}

}  // namespace
