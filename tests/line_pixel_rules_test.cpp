// Lines as a whole against a slow restatement: positions and depths from the
// per-pixel rule, then the depth test, the depth write and the colour write of
// each configuration applied pixel by pixel with plain branches.  Random depth
// buffers make about half the pixels of every segment fail, so the written and
// the skipped pixels interleave along each line; every depth mode and write
// flag is drawn.  Also the stepping of segments that cross the whole
// coordinate-safe square, where the 16.16 values are at their largest, and the
// branch-free dither corner of lines against the branching one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "pixel/color_rules.h"
#include "pixel/depth_rules.h"
#include "pixel/dither.h"
#include "lines/line_pixel_rules.h"
#include "tests/support/line_reference.h"
#include "lines/safe_square_cut.h"
#include "lines/segment_stepper.h"
#include "tests/support/test_host.h"

namespace {

using namespace lines;

// ---- Segments across the safe square -----------------------------------------

struct Recording_Rule {
  std::vector<Reference_Pixel>* out;
  template <typename Z, typename Source>
  void plot(int32_t y, int32_t x, Z z, const Source&) const {
    out->push_back({x, y, uint32_t(z), {}});
  }
  template <int Dx, typename Pen>
  void run(int32_t y, int32_t x, int32_t n, Pen& pen) const {
    for (; n > 0; --n, x += Dx, pen.step()) plot(y, x, pen.depth(), pen.colour);
  }
};

// Shallow segments of few rows take their largest run steps: from one end of
// the square to the other in one or two rows, the boundary past the last row
// lies beyond 32 bits.  Steep ones mirror them.
TEST(LongSegments, StepLikeThePerPixelRuleAcrossTheSafeSquare) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int32_t> rows(1, 12), edge(0, 40);
  int32_t pixels = 0;
  for (int32_t round = 0; round < 64; ++round) {
    const int32_t lo = safe_square_min + edge(rng), hi = safe_square_max - edge(rng);
    int32_t x0 = lo, x1 = hi, y0 = edge(rng), y1 = y0 + rows(rng);
    if (round & 1) std::swap(x0, x1);
    if (round & 2) std::swap(y0, y1);
    if (round & 4) std::swap(x0, y0), std::swap(x1, y1);
    const int32_t z0 = int32_t(rng() & 0xFFFF), z1 = int32_t(rng() & 0xFFFF);
    const Segment s = segment_between(x0, y0, x1, y1);
    std::vector<Reference_Pixel> want = reference_segment(x0, y0, z0, 0, x1, y1, z1, 0);
    for (Reference_Pixel& p : want) std::fill(std::begin(p.colour), std::end(p.colour), 0u);
    const int32_t first = round < 32 ? 0 : int32_t(rng() % uint32_t(s.length));
    std::vector<Reference_Pixel> got;
    step_segment(Recording_Rule{&got}, s, {first, s.length - 1},
                 Pen<true, Solid<uint32_t>>{depth_start(z0), depth_step(z0, z1, s.length), {0}});
    ASSERT_EQ(got, std::vector<Reference_Pixel>(want.begin() + first, want.end()))
        << x0 << "," << y0 << " -> " << x1 << "," << y1 << " from " << first;
    pixels += int32_t(got.size());
  }
  EXPECT_GT(pixels, 64 * 20000);
}

// ---- Dithering along a line --------------------------------------------------

// The branch-free corner equals the branching one for every threshold, over
// random colours of two cubes, ties and exact levels included.
TEST(DitherAlongALine, CornerWithoutBranchesEqualsTheBranchingOne) {
  std::mt19937 rng(5);
  for (const ZT_Color_Cube& cube :
       {ZT_Color_Cube({6, 6, 6}, 1.0f, 16), ZT_Color_Cube({8, 4, 3}, 1.0f, 40)}) {
    for (int32_t i = 0; i < 200; ++i) {
      ZT_RGB32 c{uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 255};
      if (i % 5 == 0) c.b = c.g = c.r;
      if (i % 7 == 0) c = {0, 0, 0, 255};
      const pixel::Dither_Record r = pixel::dither_record(cube, c);
      for (uint32_t t = 0; t <= 0xFFFF; ++t)
        ASSERT_EQ(r.index_without_branches(t), r.index(t)) << i << " " << t;
    }
  }
}

// ---- Whole draws against the restatement ----------------------------------------

constexpr int32_t W = 72, H = 56;

struct Model {
  char config;
  int32_t mode;
  bool write;
  std::vector<uint32_t> colour;
  std::vector<uint16_t> depth;

  // One pixel: a segment pixel (depth by mode where the configuration follows
  // it) or the closing pixel (z <= stored, stored).
  void pixel(int32_t x, int32_t y, int64_t z, uint32_t c, bool closing) {
    const size_t i = size_t(y) * W + size_t(x);
    const bool by_mode = config != 'D' && !closing;
    const auto compare =
        by_mode ? pixel::depth_compare_for_mode(mode) : pixel::Depth_Compare::Less_Equal;
    if (!pixel::depth_passes(compare, z, depth[i])) return;
    if (!by_mode || write) depth[i] = uint16_t(z);
    colour[i] = config == 'E' && !closing ? pixel::alpha_rule(colour[i], c) : c;
  }
};

// Draws random polylines (mostly two points, some up to six) with one colour
// per segment, and after every draw compares both buffers with the model.
void check_against_model(char config, bool colorized, uint32_t seed) {
  Test_Host host;
  host.establish_config(config, W, H);
  std::mt19937 rng(seed);
  Model m{config, 2, true, std::vector<uint32_t>(W * H), std::vector<uint16_t>(W * H)};
  const bool mapped = config == 'D';
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      m.colour[size_t(y) * W + size_t(x)] = mapped ? rng() & 255 : rng();
      m.depth[size_t(y) * W + size_t(x)] = uint16_t(rng());
    }
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      const size_t i = size_t(y) * W + size_t(x);
      if (mapped)
        host.r().color_buffer->rows_by_y[y][x] = uint8_t(m.colour[i]);
      else
        std::memcpy(host.r().color_buffer->rows_by_y[y] + 4 * x, &m.colour[i], 4);
      std::memcpy(host.r().depth_buffer->rows_by_y[y] + 2 * x, &m.depth[i], 2);
    }
  std::uniform_int_distribution<int32_t> px(0, W - 1), py(0, H - 1);
  for (int32_t draw = 0; draw < 300; ++draw) {
    // Every third draw leaves the default depth settings.
    m.mode = draw % 3 == 0 ? int32_t(rng() % 6) : 2;
    m.write = draw % 3 != 0 || rng() % 2 == 0;
    host.r().depth_test_mode = m.mode;
    host.r().depth_write = uint8_t(m.write);
    const int32_t count = draw % 5 == 0 ? 3 + int32_t(rng() % 4) : 2;
    std::vector<ZT_DCI_Point> p;
    std::vector<ZT_RGB32> c;
    for (int32_t i = 0; i < count; ++i) {
      p.push_back({px(rng), py(rng), int32_t(rng() & 0xFFFF)});
      c.push_back(ZT_RGB32::from_word(rng() | (config == 'E' ? 0 : 0xFF000000u)));
    }
    const uint8_t index = uint8_t(rng());
    if (colorized) {
      host.actions().call<ZT_Slot::draw_dci_colorized_polyline>(host.rendition, count, p.data(),
                                                                c.data(), false);
    } else {
      host.rendition.modify()->current_color = c[0];
      host.rendition.modify()->current_index = index;
      host.actions().call<ZT_Slot::draw_dci_polyline>(host.rendition, count, p.data());
    }
    auto colour_of = [&](int32_t i) { return mapped ? index : c[colorized ? i : 0].word(); };
    int32_t last_length = 0;
    for (int32_t i = 0; i + 1 < count; ++i) {
      const ZT_DCI_Point &a = p[size_t(i)], &b = p[size_t(i) + 1];
      for (const Reference_Pixel& q : reference_segment(a.x, a.y, a.z, 0, b.x, b.y, b.z, 0))
        m.pixel(q.x, q.y, q.depth, colour_of(i), false);
      last_length = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
    }
    // D's closing pixel takes the depth one step past the last segment's end.
    const ZT_DCI_Point &a = p[size_t(count) - 2], &end = p[size_t(count) - 1];
    const int64_t closing_z = mapped ? depth_after_steps(a.z, end.z, last_length) : int64_t(end.z);
    m.pixel(end.x, end.y, closing_z, colour_of(count - 2), true);

    ASSERT_EQ(host.depth_snapshot(), m.depth) << config << " draw " << draw;
    ASSERT_EQ(host.color_snapshot(), m.colour) << config << " draw " << draw;
  }
  EXPECT_TRUE(host.fences_intact());
}

TEST(LinesAgainstTheModel, PlainAndColorizedInEveryDepthSetting) {
  check_against_model('F', false, 21);
  check_against_model('F', true, 22);
  check_against_model('E', true, 23);
  check_against_model('D', false, 24);
}

} // namespace
