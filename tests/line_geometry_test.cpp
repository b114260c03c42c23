// The geometry of one-pixel segments: the seventeen classes, the stepping of
// every class against a slow per-pixel restatement, the exact range of pixels
// inside a rectangle, and the cut to the coordinate-safe square.
#include <gtest/gtest.h>

#include <random>

#include "lines/line_pixel_rules.h"
#include "tests/support/line_reference.h"
#include "lines/safe_square_cut.h"
#include "lines/segment_stepper.h"

namespace {

using namespace lines;

// A rule that records what the stepping hands it, depth and colour included.
struct Recording_Rule {
  std::vector<Reference_Pixel>* out;
  template <typename Z, typename Source>
  void plot(int32_t y, int32_t x, Z z, const Source& s) const {
    const uint32_t w = s.word();
    out->push_back({x, y, uint32_t(z), {w & 255, (w >> 8) & 255, (w >> 16) & 255, w >> 24}});
  }
  template <int Dx, typename Pen>
  void run(int32_t y, int32_t x, int32_t n, Pen& pen) const {
    for (; n > 0; --n, x += Dx, pen.step()) plot(y, x, pen.depth(), pen.colour);
  }
};

std::vector<Reference_Pixel> stepped(const Segment& s, int32_t z0, int32_t z1, uint32_t c0,
                                     uint32_t c1, Pixel_Range range) {
  std::vector<Reference_Pixel> out;
  Pen<true, Shaded<4>> pen{depth_start(z0), depth_step(z0, z1, s.length),
                           Shaded<4>(c0, c1, s.length)};
  step_segment(Recording_Rule{&out}, s, range, pen);
  return out;
}

// Segments of every class, lengths from 0 to about 300, anywhere in a
// 1000-pixel square around the origin.
struct Random_Segment {
  int32_t x0, y0, x1, y1;
};
Random_Segment random_segment(std::mt19937& rng, int32_t wanted_class) {
  std::uniform_int_distribution<int32_t> at(-500, 500), len(1, 300);
  const int32_t x0 = at(rng), y0 = at(rng);
  int32_t a = len(rng), b = len(rng);
  if (a < b) std::swap(a, b);
  // Classes 1 to 4 run left, right, down and up; from 5 on the shape (shallow,
  // diagonal, steep) counts by one, right by three and up by six.
  const int32_t axis[5][2] = {{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}};
  if (wanted_class < 5) return {x0, y0, x0 + a * axis[wanted_class][0], y0 + a * axis[wanted_class][1]};
  const int32_t shape = (wanted_class - 5) % 3, longer = a == b ? a + 1 : a;
  const int32_t dx = shape == 0 ? longer : shape == 1 ? a : b;
  const int32_t dy = shape == 0 ? b : shape == 1 ? a : longer;
  const bool up = wanted_class >= 11, right = (wanted_class - 5) % 6 >= 3;
  return {x0, y0, x0 + (right ? dx : -dx), y0 + (up ? dy : -dy)};
}

TEST(SegmentGeometry, ClassesCoverEveryDirectionAndShape) {
  std::mt19937 rng(1);
  for (int32_t c = 0; c < Segment_Class_Count; ++c) {
    Random_Segment r = random_segment(rng, c);
    Segment s = segment_between(r.x0, r.y0, r.x1, r.y1);
    EXPECT_EQ(int32_t(s.kind), c);
    EXPECT_EQ(x_direction(s.kind), (r.x1 > r.x0) - (r.x1 < r.x0)) << c;
    EXPECT_EQ(y_direction(s.kind), (r.y1 > r.y0) - (r.y1 < r.y0)) << c;
  }
}

TEST(SegmentGeometry, WorkedExamples) {
  // Column 5 of (0,0)->(10,3) lies with its centre exactly on the row boundary
  // and goes to row 2.
  Segment s = segment_between(0, 0, 10, 3);
  const int32_t rows[10] = {0, 0, 1, 1, 1, 2, 2, 2, 2, 3};
  for (int32_t k = 0; k < 10; ++k) EXPECT_EQ(pixel_at(s, k).y, rows[k]) << k;
  EXPECT_EQ(segment_between(0, 0, 5, 0).length, 5);
  EXPECT_EQ(segment_between(3, 3, 3, 3).length, 0);
  // A steep segment down and to the left ends exactly at its end point.
  Segment d = segment_between(0, 0, -2, -7);
  EXPECT_EQ(pixel_at(d, 6).x, reference_segment(0, 0, 0, 0, -2, -7, 0, 0)[6].x);
  EXPECT_EQ((int64_t(d.minor_start) + 7 * int64_t(d.minor_step)) >> 16, -2);
}

// The stepping of every class, whole and from a random first pixel, against the
// per-pixel restatement: positions, depths and all four colour bytes.
TEST(SegmentGeometry, SteppingMatchesThePerPixelRule) {
  std::mt19937 rng(2);
  int32_t segments = 0;
  for (int32_t round = 0; round < 400; ++round) {
    for (int32_t c = 0; c < Segment_Class_Count; ++c, ++segments) {
      Random_Segment r = random_segment(rng, c);
      const int32_t z0 = int32_t(rng() & 0xFFFF), z1 = int32_t(rng() & 0xFFFF);
      const uint32_t c0 = rng(), c1 = rng();
      Segment s = segment_between(r.x0, r.y0, r.x1, r.y1);
      auto want = reference_segment(r.x0, r.y0, z0, c0, r.x1, r.y1, z1, c1);
      ASSERT_EQ(stepped(s, z0, z1, c0, c1, {0, s.length - 1}), want)
          << r.x0 << "," << r.y0 << " -> " << r.x1 << "," << r.y1;
      if (s.length < 2) continue;
      const int32_t first = int32_t(rng() % uint32_t(s.length)), last = s.length - 1;
      auto part = stepped(s, z0, z1, c0, c1, {first, last});
      ASSERT_EQ(part, std::vector<Reference_Pixel>(want.begin() + first, want.end()))
          << "from " << first << ": " << r.x0 << "," << r.y0 << " -> " << r.x1 << "," << r.y1;
    }
  }
  EXPECT_EQ(segments, 400 * 17);
}

bool inside(const Pixel_Position& p, const ZT_Int_Rectangle& r) {
  return p.x >= r.left && p.x <= r.right && p.y >= r.bottom && p.y <= r.top;
}

// The range of pixels inside a rectangle is exact: its ends are inside and
// their outer neighbours are not, for short segments against every pixel and
// for segments across the whole safe square at the ends, in every class, with
// rectangles that cut first and last pixels.
TEST(SegmentGeometry, VisibleRangeIsExact) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<int32_t> anywhere(safe_square_min, safe_square_max);
  int32_t checked = 0;
  for (int32_t round = 0; round < 6000; ++round) {
    const bool long_segment = round % 3 == 0;
    Random_Segment r = random_segment(rng, round % Segment_Class_Count);
    if (long_segment) r = {anywhere(rng), anywhere(rng), anywhere(rng), anywhere(rng)};
    Segment s = segment_between(r.x0, r.y0, r.x1, r.y1);
    if (s.length == 0) continue;
    // A rectangle around a pixel of the segment, so that it is rarely missed.
    Pixel_Position at = pixel_at(s, int32_t(rng() % uint32_t(s.length)));
    std::uniform_int_distribution<int32_t> reach(0, long_segment ? 3000 : 60);
    ZT_Int_Rectangle rect{at.x - reach(rng), at.x + reach(rng), at.y - reach(rng),
                          at.y + reach(rng)};
    if (round % 5 == 0) rect = {r.x0, r.x0 + reach(rng), r.y0 - reach(rng), r.y0};
    Pixel_Range v = visible_pixels(s, rect);
    ASSERT_FALSE(v.empty());
    ++checked;
    ASSERT_TRUE(inside(pixel_at(s, v.first), rect));
    ASSERT_TRUE(inside(pixel_at(s, v.last), rect));
    if (v.first > 0) {
      ASSERT_FALSE(inside(pixel_at(s, v.first - 1), rect));
    }
    if (v.last + 1 < s.length) {
      ASSERT_FALSE(inside(pixel_at(s, v.last + 1), rect));
    }
    if (!long_segment) {
      auto all = reference_segment(r.x0, r.y0, 0, 0, r.x1, r.y1, 0, 0);
      for (int32_t k = 0; k < s.length; ++k)
        ASSERT_EQ(inside({all[k].x, all[k].y}, rect), k >= v.first && k <= v.last) << k;
    }
  }
  EXPECT_GT(checked, 5500);
  // A steep segment down and to the left starts e/65536 left of its centre;
  // the row where it leaves a left edge must account for that: here the last
  // row on column -21 is 165, one more than an inverse without e would give.
  Segment d = segment_between(-21, 191, -22, 137);
  Pixel_Range at_left_edge = visible_pixels(d, {-21, 100, -1000, 1000});
  EXPECT_EQ(pixel_at(d, at_left_edge.last).y, 165);
  EXPECT_EQ(reference_segment(-21, 191, 0, 0, -22, 137, 0, 0)[27].x, -22); // row 164
  // A rectangle the segment passes by.
  EXPECT_TRUE(visible_pixels(segment_between(0, 0, 10, 10), {5, 9, -5, 2}).empty());
}

TEST(SafeSquareCut, CutsToTheEdgesAndRoundsHalvesUp) {
  Line_End p{-1000000, 0, 0, 0xFF000000}, q{1000000, 0, 2000, 0xFF0000FF};
  ASSERT_TRUE(cut_to_safe_square(p, q, true));
  EXPECT_EQ(p.x, safe_square_min);
  EXPECT_EQ(q.x, safe_square_max);
  EXPECT_EQ(p.y, 0);
  // t = 996000 / 2000000 = 0.498: z = round(996) and blue = round(126.99).
  EXPECT_EQ(p.z, 996);
  EXPECT_EQ(p.colour, 0xFF00007Fu);
  // The other coordinate of a cut end is rounded to nearest, not down: at
  // x = -4000, t = 96000 / 100050 and y = -2965 + round(2873.76) = -91.
  Line_End far{-100000, -2965, 0, 0}, near{50, 30, 0, 0};
  ASSERT_TRUE(cut_to_safe_square(far, near, false));
  EXPECT_EQ(far.x, safe_square_min);
  EXPECT_EQ(far.y, -91);
  // Entirely beyond one side, and across a corner outside.
  Line_End a{30000, 0, 0, 0}, b{40000, 10, 0, 0};
  EXPECT_FALSE(cut_to_safe_square(a, b, false));
  Line_End c{-5000, 29000, 0, 0}, d{29000, 40000, 0, 0};
  EXPECT_FALSE(cut_to_safe_square(c, d, false));
  // Ends inside stay untouched, even at the 32-bit limits of the other end.
  Line_End e{10, 20, 5, 7}, f{INT32_MAX, INT32_MIN, 9, 7};
  ASSERT_TRUE(cut_to_safe_square(e, f, false));
  EXPECT_EQ(e.x, 10);
  EXPECT_EQ(e.y, 20);
  EXPECT_TRUE(in_safe_square(f.x, f.y));
}

} // namespace
