// Polylines through the action table: the worked examples, depth and colour
// rules per configuration, the host fallbacks, and the central property that a
// clipped (2DI) polyline draws exactly its pieces, each as the unclipped (DCI)
// actions draw it, inside the hard clip and nothing else: a lone last point
// as a dot, first; every run of inside points as one polyline; every other
// segment as the unclipped segment without its end point.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/mask_cache.h"
#include "tests/support/point_lists.h"
#include "tests/support/random_strips.h"
#include "tests/support/test_host.h"

namespace {

enum Form { Plain, Colorized, Gouraud };
constexpr Form forms[] = {Plain, Colorized, Gouraud};

// The slot of a form, for points clipped (DCI) or anywhere (2DI).
ZT_Slot slot(Form form, bool anywhere) {
  const ZT_Slot slots[3][2] = {
      {ZT_Slot::draw_dci_polyline, ZT_Slot::draw_2di_polyline},
      {ZT_Slot::draw_dci_colorized_polyline, ZT_Slot::draw_2di_colorized_polyline},
      {ZT_Slot::draw_dci_gouraud_polyline, ZT_Slot::draw_2di_gouraud_polyline}};
  return slots[form][anywhere];
}
void draw(Test_Host& host, Form form, bool anywhere, const Point_List& p) {
  draw_points(host, slot(form, anywhere), p);
}

std::string describe(const Point_List& p, const ZT_Int_Rectangle& r) {
  std::string s = " clip [" + std::to_string(r.left) + "," + std::to_string(r.right) + "]x[" +
                  std::to_string(r.bottom) + "," + std::to_string(r.top) + "] points";
  for (const ZT_DCI_Point& q : p.integer)
    s += " (" + std::to_string(q.x) + "," + std::to_string(q.y) + "," + std::to_string(q.z) + ")";
  return s;
}

const ZT_Contour_Set star({{{10, 5, 0}, {90, 40, 0}, {5, 70, 0}, {60, -20, 0}, {70, 85, 0}}});

// ---- The central property --------------------------------------------------

constexpr int32_t W = 96, H = 80, M = 32;  // multiples of 8: the dither agrees

// The pieces of a 2DI polyline drawn through the DCI actions of a host whose
// window holds every point: a last point inside reached from outside as a dot,
// first; then, walking from the first point, every run of two or more inside
// points as one polyline (its colours from the run's start), and every other
// segment not beyond one side as a two-point polyline whose end pixel (lit
// only by that polyline's closing rule) is put back as it was.
void draw_pieces(Test_Host& wide, Form form, const Point_List& p, const ZT_Int_Rectangle& rect) {
  const int32_t n = p.count;
  std::vector<uint16_t> code(static_cast<std::size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    const ZT_DCI_Point& q = p.integer[std::size_t(i)];
    code[std::size_t(i)] = uint16_t((q.x < rect.left ? 1 : 0) | (q.y > rect.top ? 2 : 0) |
                                    (q.x > rect.right ? 4 : 0) | (q.y < rect.bottom ? 8 : 0));
  }
  auto colours_from = [&](int32_t i, int32_t count) {
    if (form == Plain) return std::vector<ZT_RGB32>{};
    if (form == Colorized && p.single) return p.colours;
    return std::vector<ZT_RGB32>(p.colours.begin() + i, p.colours.begin() + i + count);
  };
  auto piece = [&](int32_t i, int32_t count) {
    const std::vector<ZT_DCI_Point> points(p.integer.begin() + i, p.integer.begin() + i + count);
    draw(wide, form, false, Point_List(points, colours_from(i, count), p.single));
  };
  if (code[std::size_t(n - 1)] == 0 && code[std::size_t(n - 2)] != 0) {
    const ZT_RGB32* colour = form == Plain       ? nullptr
                             : form == Gouraud   ? &p.colours[std::size_t(n - 1)]
                             : p.single          ? &p.colours[0]
                                                 : &p.colours[std::size_t(n - 2)];
    wide.actions().call<ZT_Slot::draw_dci_dot>(wide.rendition, &p.integer.back(), colour);
  }
  for (int32_t i = 0; i + 1 < n; ++i) {
    if ((code[std::size_t(i)] | code[std::size_t(i + 1)]) == 0) {
      int32_t last = i + 1;
      while (last + 1 < n && code[std::size_t(last + 1)] == 0) ++last;
      piece(i, last - i + 1);
      i = last - 1;
    } else if ((code[std::size_t(i)] & code[std::size_t(i + 1)]) == 0) {
      const ZT_DCI_Point& end = p.integer[std::size_t(i + 1)];
      const uint32_t colour = wide.color(end.x + M, end.y + M);
      const int32_t depth = wide.depth_snapshot().empty() ? 0 : wide.depth(end.x + M, end.y + M);
      piece(i, 2);
      wide.set_color(end.x + M, end.y + M, colour);
      if (!wide.depth_snapshot().empty()) wide.set_depth(end.x + M, end.y + M, uint16_t(depth));
    }
  }
}

// Draws random polylines into two hosts: clipped to a random hard-clip
// rectangle into a window of W × H, and piece by piece (draw_pieces) into a
// window reaching M pixels beyond every side.  After every draw the clipped
// window must equal the wide one inside the rectangle and be untouched outside
// it, colours and depths.
int32_t clipped_equals_unclipped(char config, Form form, bool mask, bool merge, uint32_t seed,
                                 int32_t draws) {
  Test_Host wide(config, W + 2 * M, H + 2 * M, {-M, -M}), clipped(config, W, H);
  for (Test_Host* h : {&wide, &clipped}) {
    if (mask) h->use_mask(star);
    if (merge) h->rendition.modify()->drawing_mode = ZT_Drawing_Mode_Merge;
  }
  std::mt19937 background(~seed), rng(seed);
  fill_random(clipped, background);
  std::uniform_int_distribution<int32_t> across(-M, W + M - 1), up(-M, H + M - 1);
  int32_t segments = 0;
  for (int32_t i = 0; i < draws; ++i) {
    const int32_t n = i % 25 == 24 ? 65 + int32_t(rng() % 4) : 2 + int32_t(rng() % 5);
    std::vector<ZT_DCI_Point> points;
    for (int32_t k = 0; k < n; ++k)
      points.push_back({across(rng), up(rng), int32_t(rng() & 0xFFFF)});
    if (rng() % 8 == 0) points.back() = points.front();  // closed
    std::vector<ZT_RGB32> colours;
    for (int32_t k = 0; k < n; ++k)
      colours.push_back(ZT_RGB32::from_word(rng() % 2 ? rng() | 0xFF000000 : rng()));
    const Point_List p(points, colours, rng() % 4 == 0);
    segments += n - 1;
    // A rectangle inside the window; a third of them with a side through a
    // point, cutting a first or last pixel, and some holding runs of points.
    std::uniform_int_distribution<int32_t> x(0, W - 1), y(0, H - 1);
    int32_t x0 = x(rng), x1 = x(rng), y0 = y(rng), y1 = y(rng);
    if (rng() % 3 == 0) {
      const ZT_DCI_Point& at = points[rng() % points.size()];
      x0 = std::clamp(at.x + int32_t(rng() % 3) - 1, 0, W - 1);
      y1 = std::clamp(at.y + int32_t(rng() % 3) - 1, 0, H - 1);
    } else if (rng() % 2 == 0) {
      x0 = 0, x1 = W - 1;
    }
    const ZT_Int_Rectangle rect{std::min(x0, x1), std::max(x0, x1), std::min(y0, y1),
                                std::max(y0, y1)};
    const int32_t mode = int32_t(rng() % 6), write = int32_t(rng() % 2);
    for (Test_Host* h : {&wide, &clipped}) {
      h->r().depth_test_mode = mode;
      h->r().depth_write = uint8_t(write);
    }
    clipped.rendition.modify()->hard_clip = rect;
    const auto before = clipped.color_snapshot();
    const auto depth_before = clipped.depth_snapshot();
    // Both start from the same pixels where they overlap.
    for (int32_t py = 0; py < H; ++py)
      for (int32_t px = 0; px < W; ++px) {
        wide.set_color(px + M, py + M, before[std::size_t(py * W + px)]);
        if (!depth_before.empty()) wide.set_depth(px + M, py + M, depth_before[std::size_t(py * W + px)]);
      }
    draw_pieces(wide, form, p, rect);
    draw(clipped, form, true, p);
    EXPECT_TRUE(clipped.fences_intact() && wide.fences_intact());
    // The clipped window as it should be: the wide one inside the rectangle.
    auto color = before;
    auto depth = depth_before;
    for (int32_t py = rect.bottom; py <= rect.top; ++py)
      for (int32_t px = rect.left; px <= rect.right; ++px) {
        color[std::size_t(py * W + px)] = wide.color(px + M, py + M);
        if (!depth.empty()) depth[std::size_t(py * W + px)] = wide.depth(px + M, py + M);
      }
    if (clipped.color_snapshot() != color || clipped.depth_snapshot() != depth) {
      ADD_FAILURE() << config << " form " << int(form) << " mask " << mask << " merge " << merge
                    << " seed " << seed << " draw " << i << describe(p, rect);
      return segments;
    }
  }
  return segments;
}

class ClippedEqualsUnclipped : public ::testing::TestWithParam<char> {};

TEST_P(ClippedEqualsUnclipped, EveryFormAndVariant) {
  const char config = GetParam();
  int32_t segments = 0;
  uint32_t seed = uint32_t(config) * 100;
  for (Form form : forms)
    for (auto [mask, merge] : {std::pair{false, false}, {false, true}, {true, false}, {true, true}})
      segments += clipped_equals_unclipped(config, form, mask, merge, ++seed, 160);
  RecordProperty("segments", segments);
  EXPECT_GT(segments, 10000);
}

INSTANTIATE_TEST_SUITE_P(Lines, ClippedEqualsUnclipped,
                         ::testing::Values('A', 'B', 'C', 'D', 'E', 'F'));

// ---- Worked examples -------------------------------------------------------

// The pixels that differ from the fill, as "x,y" strings in row order.
std::vector<std::string> lit(const Test_Host& host, uint32_t fill) {
  std::vector<std::string> out;
  const auto c = host.color_snapshot();
  const int32_t w = host.r().window_size.x;
  for (std::size_t i = 0; i < c.size(); ++i)
    if (c[i] != fill)
      out.push_back(std::to_string(int32_t(i) % w) + "," + std::to_string(int32_t(i) / w));
  return out;
}

// Segments are half-open; the last point is lit once more, by the closing pixel.
TEST(PolylineExamples, HalfOpenSegmentsAndTheClosingPixel) {
  Test_Host host('B', 16, 8);
  draw(host, Plain, false, Point_List({{0, 0, 0}, {5, 0, 0}}));
  EXPECT_EQ(lit(host, 0), (std::vector<std::string>{"0,0", "1,0", "2,0", "3,0", "4,0", "5,0"}));
  host.fill_color(0);  // two equal points light one pixel
  draw(host, Plain, false, Point_List({{7, 4, 0}, {7, 4, 0}}));
  EXPECT_EQ(lit(host, 0), (std::vector<std::string>{"7,4"}));
  // Under blending a pixel lit twice shows it: half-white over black once is
  // 0x80, twice 0xBF; a closed polyline lights its start twice.
  Test_Host a('A', 16, 16);
  a.fill_color(0xFF000000);
  a.rendition.modify()->current_color = ZT_RGB32(255, 255, 255, 128);
  draw(a, Plain, false, Point_List({{2, 2, 0}, {9, 2, 0}, {9, 9, 0}, {2, 2, 0}}));
  EXPECT_EQ(a.color(2, 2), 0xFFBFBFBFu);
  for (auto [x, y] : {std::pair{9, 2}, {9, 9}, {5, 5}}) EXPECT_EQ(a.color(x, y), 0xFF808080u);
}

TEST(PolylineExamples, ColoursPerSegmentSingleAndGouraud) {
  Test_Host host('B', 16, 8);
  const ZT_RGB32 red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255);
  Point_List p({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}}, {red, green, blue});
  draw(host, Colorized, false, p);
  EXPECT_EQ(host.color(0, 0), red.word());
  EXPECT_EQ(host.color(4, 0), green.word());
  EXPECT_EQ(host.color(4, 4), green.word());  // the last segment's colour, not colour[2]
  p.single = true;
  draw(host, Colorized, false, p);
  EXPECT_EQ(host.color(4, 2), red.word());
  EXPECT_EQ(host.color(4, 4), red.word());
  // Gouraud from black to white over 255 pixels steps by one.
  Test_Host f('F', 300, 4);
  draw(f, Gouraud, false,
       Point_List({{0, 1, 0}, {255, 1, 0}}, {ZT_RGB32(0, 0, 0, 7), ZT_RGB32(255, 255, 255, 7)}));
  for (uint32_t x = 0; x <= 255; ++x)
    ASSERT_EQ(f.color(int32_t(x), 1), 0xFF000000u | x * 0x010101u) << x;
}

// ---- Depth and colour rules per configuration -------------------------------

TEST(PolylineRules, SegmentsFollowTheDepthModeTheClosingPixelDoesNot) {
  Test_Host host('F', 16, 8);
  host.fill_depth(1000);
  host.r().depth_test_mode = 1;  // z < stored
  host.r().depth_write = 0;
  draw(host, Plain, false, Point_List({{0, 1, 1000}, {5, 1, 1000}}));
  EXPECT_EQ(host.color(2, 1), 0u);           // equal depth fails z < stored
  EXPECT_EQ(host.color(5, 1), 0xFFFFFFFFu);  // the closing pixel passes z <= stored
  host.fill_depth(2000);
  host.r().depth_test_mode = 2;
  draw(host, Plain, false, Point_List({{0, 3, 1000}, {5, 3, 1000}}));
  EXPECT_EQ(host.color(2, 3), 0xFFFFFFFFu);
  EXPECT_EQ(host.depth(2, 3), 2000);  // "ZBuffer Write" off: the segment keeps the depth
  EXPECT_EQ(host.depth(5, 3), 1000);  // the closing pixel stores it anyway
  // The closing pixel compares the point's own 32-bit z: -1 passes against
  // 500 in E and F, where the segment's 16-bit depths (65535) fail.
  for (char config : {'E', 'F'}) {
    Test_Host c(config, 16, 8);
    c.fill_depth(500);
    draw(c, Plain, false, Point_List({{0, 6, -1}, {5, 6, -1}}));
    EXPECT_EQ(c.color(2, 6), 0u) << config;
    EXPECT_EQ(c.color(5, 6), 0xFFFFFFFFu) << config;
  }
  // Gouraud lines test z <= stored whatever the mode.
  host.r().depth_test_mode = 1;
  host.fill_depth(1000);
  draw(host, Gouraud, false,
       Point_List({{0, 5, 1000}, {5, 5, 1000}}, {ZT_RGB32(1, 2, 3), ZT_RGB32(1, 2, 3)}));
  EXPECT_EQ(host.color(2, 5), 0xFF010203u);
}

TEST(PolylineRules, DIgnoresModeAndWriteFlag) {
  Test_Host host('D', 16, 8);
  host.fill_depth(1000);
  host.r().depth_test_mode = 5;
  host.r().depth_write = 0;
  host.rendition.modify()->current_index = 9;
  draw(host, Plain, false, Point_List({{0, 1, 1000}, {5, 1, 500}}));
  EXPECT_EQ(host.color(0, 1), 9u);
  EXPECT_EQ(host.depth(0, 1), 1000);
  EXPECT_EQ(host.depth(4, 1), 600);  // the accumulator, stored although writing is off
  EXPECT_EQ(host.depth(5, 1), 500);  // closing: one step past the last pixel
}

TEST(PolylineRules, EBlendsItsMaskedVariantDoesNot) {
  Test_Host host('E', 16, 8);
  host.fill_color(0xFF000000);
  host.rendition.modify()->current_color = ZT_RGB32(255, 255, 255, 128);
  draw(host, Plain, false, Point_List({{0, 1, 0}, {5, 1, 0}}));
  EXPECT_EQ(host.color(2, 1), 0xFF808080u);
  EXPECT_EQ(host.color(5, 1), 0x80FFFFFFu);  // the closing pixel is stored plainly
  // A mask that excludes nothing: the shared E/F masked variant stores plainly.
  host.use_mask(ZT_Contour_Set({{{-1, -1, 0}, {20, -1, 0}, {20, 20, 0}, {-1, 20, 0}}}));
  draw(host, Plain, false, Point_List({{0, 3, 0}, {5, 3, 0}}));
  EXPECT_EQ(host.color(2, 3), 0x80FFFFFFu);
}

// A and B share one masked variant of their solid lines: it blends by A's
// alpha rule (alpha 255 stored), where B's direct lines store the word.
TEST(PolylineRules, BsMaskedSolidLinesBlendAsAs) {
  for (char config : {'A', 'B'}) {
    Test_Host host(config, 16, 8);
    host.fill_color(0xFF000000);
    host.rendition.modify()->current_color = ZT_RGB32(255, 255, 255, 128);
    host.use_mask(ZT_Contour_Set({{{-1, -1, 0}, {20, -1, 0}, {20, 20, 0}, {-1, 20, 0}}}));
    draw(host, Plain, false, Point_List({{0, 3, 0}, {5, 3, 0}}));
    draw(host, Colorized, true, Point_List({{0, 5, 0}, {20, 5, 0}}, {ZT_RGB32(255, 255, 255, 128)}));
    EXPECT_EQ(host.color(2, 3), 0xFF808080u) << config;
    EXPECT_EQ(host.color(5, 3), 0xFF808080u) << config;  // the closing pixel too
    EXPECT_EQ(host.color(9, 5), 0xFF808080u) << config;  // the whole 2DI polyline
  }
}

// A clipped polyline's pieces: a run of inside points is one polyline with a
// closing pixel of its own, which a crossing segment starting there lights
// again; a last point reached from outside is the configuration's dot, drawn
// first, with the dot's rules.
TEST(PolylineRules, ClippedRunsCloseAndTheLoneLastPointIsADot) {
  const ZT_Int_Rectangle left_part{0, 15, 0, 7};
  Test_Host a('A', 32, 8);
  a.fill_color(0xFF000000);
  a.rendition.modify()->current_color = ZT_RGB32(255, 255, 255, 128);
  a.rendition.modify()->hard_clip = left_part;
  draw(a, Plain, true, Point_List({{2, 2, 0}, {9, 2, 0}, {20, 2, 0}}));
  EXPECT_EQ(a.color(5, 2), 0xFF808080u);
  EXPECT_EQ(a.color(9, 2), 0xFFBFBFBFu);  // the run's closing pixel, then the crossing segment
  EXPECT_EQ(a.color(12, 2), 0xFF808080u);
  EXPECT_EQ(a.color(16, 2), 0xFF000000u);  // beyond the clip

  // F, "ZBuffer Test" 1: at equal depth the run's segment fails, its closing
  // pixel passes (z <= stored), the crossing segment from it fails again.
  Test_Host f('F', 32, 8);
  f.fill_depth(1000);
  f.r().depth_test_mode = 1;
  f.rendition.modify()->hard_clip = left_part;
  draw(f, Plain, true, Point_List({{0, 1, 1000}, {5, 1, 1000}, {30, 1, 1000}}));
  EXPECT_EQ(f.color(2, 1), 0u);
  EXPECT_EQ(f.color(5, 1), 0xFFFFFFFFu);
  EXPECT_EQ(f.color(8, 1), 0u);

  // E: the lone last point follows the depth mode, the write flag and the
  // alpha rule of E's dot, not the closing rule (z <= stored, stored plainly).
  Test_Host e('E', 32, 8);
  e.fill_color(0xFF000000);
  e.fill_depth(1000);
  e.r().depth_test_mode = 1;
  e.r().depth_write = 0;
  e.rendition.modify()->current_color = ZT_RGB32(255, 255, 255, 128);
  e.rendition.modify()->hard_clip = left_part;
  draw(e, Plain, true, Point_List({{25, 4, 1000}, {5, 4, 1000}}));
  EXPECT_EQ(e.color(5, 4), 0xFF000000u);  // equal depth fails mode 1
  draw(e, Plain, true, Point_List({{25, 5, 1000}, {5, 5, 900}}));
  EXPECT_EQ(e.color(5, 5), 0xFF808080u);  // blended
  EXPECT_EQ(e.depth(5, 5), 1000);          // "ZBuffer Write" off
  // Its colour: the last segment's (colorized), the last point's (Gouraud).
  Test_Host b('B', 32, 8);
  b.rendition.modify()->hard_clip = left_part;
  const ZT_RGB32 red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255);
  draw(b, Colorized, true, Point_List({{2, 5, 0}, {25, 5, 0}, {7, 6, 0}}, {red, green, blue}));
  EXPECT_EQ(b.color(7, 6), green.word());
  draw(b, Gouraud, true, Point_List({{2, 3, 0}, {25, 3, 0}, {7, 2, 0}}, {red, green, blue}));
  EXPECT_EQ(b.color(7, 2), blue.word());
}

// Where the masked and the direct variants share their rules, a masked draw is
// the direct draw on clear mask bits and the old buffer on set ones (C's
// colorized lines ignore the mask altogether).
TEST(PolylineMask, MaskedDrawIsTheDirectDrawOnClearBits) {
  const ZT_Contour_Set clip({{{3, 2, 0}, {60, 30, 0}, {2, 45, 0}, {40, -9, 0}, {44, 50, 0}}});
  std::mt19937 rng(21);
  for (char config : std::string("ABCDF"))
    for (Form form : forms) {
      if (config == 'A' && form == Gouraud) continue;  // blends only unmasked
      // C's colorized lines never consult the mask: drawn unclipped only (a
      // clipped one's lone last point is C's dot, which does).
      const bool ignores_mask = config == 'C' && form == Colorized;
      Test_Host masked(config), direct(config);
      std::mt19937 same(7), again(7);
      fill_random(masked, same);
      fill_random(direct, again);
      masked.use_mask(clip);
      const Buffers before = masked.snapshot();
      for (int32_t i = 0; i < 30; ++i) {
        std::vector<ZT_DCI_Point> points;
        std::vector<ZT_RGB32> colours;
        for (int32_t k = 0; k < 4; ++k) {
          points.push_back(
              {int32_t(rng() % 90) - 13, int32_t(rng() % 70) - 11, int32_t(rng() % 65536)});
          colours.push_back(ZT_RGB32::from_word(rng() | 0xFF000000));
        }
        // The last point again: a clipped polyline's lone last point would be
        // a dot, whose mask rule is the dot's (D and F do not consult it).
        points.push_back(points.back());
        colours.push_back(colours.back());
        const bool anywhere = i % 2 == 0 && !ignores_mask;
        draw(masked, form, anywhere, Point_List(points, colours));
        draw(direct, form, anywhere, Point_List(points, colours));
      }
      // C's colorized lines never consult the mask, so none was made.
      ASSERT_EQ(masked.r().mask_cache->head == nullptr, ignores_mask);
      ASSERT_TRUE(masked_like_direct(masked, before, direct)) << config << " form " << form;
    }
}

}  // namespace
