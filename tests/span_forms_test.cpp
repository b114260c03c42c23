// The span loops in lanes write what the pixel loop writes: every form the
// processor runs against the scalar form, on random spans of every length 0 to
// 70 at every alignment and up to the row's end, for the span writer of every
// configuration (the interpolated shades, the dithered single colour, with and
// without depth).  Starts and steps reach both ends of their ranges: wrapped
// depths, channels at 0 and 255 and beyond, steps of both signs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "pixel/dither.h"
#include "triangles/span_writer.h"

namespace {

using namespace triangles;

constexpr int32_t W = 83, H = 8, Fence = 16;  // odd pitches: every byte alignment

// Colour and depth rows with fences past each row's end.
template <class Pixel>
struct Buffers {
  std::vector<Pixel> color = std::vector<Pixel>(size_t(H * (W + Fence)));
  std::vector<uint16_t> depth = std::vector<uint16_t>(size_t(H * (W + Fence)));
  std::vector<uint8_t*> color_rows, depth_rows;
  pixel::Frame frame;
  Buffers() {
    for (int32_t y = 0; y < H; ++y) {
      color_rows.push_back(reinterpret_cast<uint8_t*>(color.data() + y * (W + Fence)));
      depth_rows.push_back(reinterpret_cast<uint8_t*>(depth.data() + y * (W + Fence)));
    }
    frame.color_rows = color_rows.data();
    frame.depth_rows = depth_rows.data();
    frame.color_pixel_bytes = sizeof(Pixel);
    frame.width = W;
    frame.height = H;
  }
};

struct Random_Values {
  std::mt19937 rng{2024};
  uint32_t any() { return rng(); }
  int32_t pick(std::initializer_list<int32_t> v) {
    return *(v.begin() + std::uniform_int_distribution<size_t>(0, v.size() - 1)(rng));
  }
  // A channel start at or near the ends of a byte, or anywhere.
  uint32_t channel_start() {
    switch (rng() % 4) {
    case 0: return uint32_t(pixel::start_16(pick({0, 1, 254, 255})));
    case 1: return uint32_t(pixel::start_16(int32_t(rng() % 256)));
    case 2: return uint32_t(pick({0, -1, 0x00FFFFFF, 0x7FFFFFFF, INT32_MIN}));
    default: return any();
    }
  }
  int32_t step() {
    switch (rng() % 4) {
    case 0: return pick({0, 1, -1, 0x10000, -0x10000, 0x7FFFFFFF, INT32_MIN});
    case 1: return int32_t(any()) >> 10;  // a few bytes along a span, either way
    case 2: return int32_t(any()) >> 20;
    default: return int32_t(any());
    }
  }
  uint32_t depth_start() {
    return rng() % 2 ? uint32_t(pixel::start_15(int32_t(rng() % 65536))) : any();
  }
};

template <int Channels>
Span_Values<true, Channels> random_values(Random_Values& r) {
  Span_Values<true, Channels> v;
  v.depth = r.depth_start();
  v.depth_step = r.step();
  for (int c = 0; c < Channels; ++c) {
    v.channel[c] = r.channel_start();
    v.channel_step[c] = r.step();
  }
  return v;
}

// Runs every span through the writer of each form the processor runs and
// compares buffers (fences included) with the scalar form's after each span.
template <class Shade, class Depth>
void every_form_writes_what_the_scalar_form_writes(const Shade& shade, const char* name) {
  using Pixel = typename Shade::Pixel;
  using Writer = Span_Writer<Shade, Store<Pixel>, Depth, Solid_Coverage>;
  using Values = typename Writer::Values;
  Random_Values r;
  for (Simd_Form form : {Simd_Form::Sse2, Simd_Form::Avx2}) {
    if (!simd_form_runs(form)) continue;
    Buffers<Pixel> scalar, lanes;
    for (size_t i = 0; i < scalar.color.size(); ++i) {
      scalar.color[i] = lanes.color[i] = Pixel(r.any());
      scalar.depth[i] = lanes.depth[i] = uint16_t(r.any());
    }
    const Writer reference{scalar.frame, shade, Store<Pixel>(0), Depth{}, {}, Simd_Form::Scalar};
    const Writer tested{lanes.frame, shade, Store<Pixel>(0), Depth{}, {}, form};
    for (int32_t count = 0; count <= 70; ++count)
      for (int repeat = 0; repeat < 12; ++repeat) {
        // Anywhere in the row, often ending at or near its last column.
        const int32_t x = repeat % 3 == 0 ? std::max(0, W - count - int32_t(r.any() % 3))
                                          : int32_t(r.any() % uint32_t(W - std::min(count, W) + 1));
        const int32_t n = std::min(count, W - x);
        const int32_t y = int32_t(r.any() % H);
        const auto v16 = random_values<Shade::channels>(r);
        Values v;
        v.depth = v16.depth;
        v.depth_step = v16.depth_step;
        v.channel = v16.channel;
        v.channel_step = v16.channel_step;
        // Half of the spans over depths that mostly pass.
        if (repeat % 2)
          for (int32_t k = 0; k < n; ++k)
            scalar.depth[size_t(y * (W + Fence) + x + k)] =
                lanes.depth[size_t(y * (W + Fence) + x + k)] = uint16_t(0xFFFF - (r.any() & 0xFF));
        reference(y, x, n, v);
        tested(y, x, n, v);
        ASSERT_EQ(scalar.color, lanes.color)
            << name << " " << simd_form_name(form) << " count " << n << " at " << x << "," << y;
        ASSERT_EQ(scalar.depth, lanes.depth)
            << name << " " << simd_form_name(form) << " count " << n << " at " << x << "," << y;
      }
  }
}

using Stored_Depth = pixel::Depth_Less_Equal<pixel::Depth_Stored>;

TEST(SpanForms, InterpolatedShadesOfEveryConfiguration) {
  // A and E: the alpha rule; B and F: opaque channels; C and D: cube levels.
  every_form_writes_what_the_scalar_form_writes<Alpha_Rule_Channels, pixel::No_Depth>({}, "A");
  every_form_writes_what_the_scalar_form_writes<Alpha_Rule_Channels, Stored_Depth>({}, "E");
  every_form_writes_what_the_scalar_form_writes<Store_Channels, pixel::No_Depth>({}, "B");
  every_form_writes_what_the_scalar_form_writes<Store_Channels, Stored_Depth>({}, "F");
  for (const ZT_Color_Cube& cube : {ZT_Color_Cube({6, 7, 6}, 1.0f, 16),
                                    ZT_Color_Cube({2, 2, 2}, 1.0f, 250),
                                    ZT_Color_Cube({8, 8, 4}, 0.5f, 0)}) {
    every_form_writes_what_the_scalar_form_writes<Dither_Levels, pixel::No_Depth>({&cube}, "C");
    every_form_writes_what_the_scalar_form_writes<Dither_Levels, Stored_Depth>({&cube}, "D");
  }
}

TEST(SpanForms, DitheredSingleColoursOfThePaletteConfigurations) {
  std::mt19937 rng(5);
  const ZT_Color_Cube cube({6, 7, 6}, 1.0f, 16);
  for (int colour = 0; colour < 8; ++colour) {
    const Dithered_Rows rows(pixel::dither_record(cube, ZT_RGB32::from_word(rng())));
    const Dither_Word shade{&rows};
    every_form_writes_what_the_scalar_form_writes<Dither_Word, Stored_Depth>(shade, "D flat");
  }
}

// A colour's dithered rows, the shade's pixels and its fill are the per-pixel
// dither rule.
TEST(SpanForms, ARowOfDitheredIndicesIsThePerPixelRule) {
  std::mt19937 rng(9);
  const ZT_Color_Cube cube({6, 7, 6}, 1.0f, 16);
  std::vector<uint8_t> row(W + Fence), expected(W + Fence);
  for (int colour = 0; colour < 64; ++colour) {
    const pixel::Dithered_Index index{pixel::dither_record(cube, ZT_RGB32::from_word(rng()))};
    const Dithered_Rows rows(index.record);
    Dither_Word shade{&rows};
    const int32_t y = int32_t(rng() % 8);
    shade.begin_row(y);
    for (int32_t count = 0; count <= 70; ++count) {
      const int32_t x = int32_t(rng() % uint32_t(W - count + 1));
      for (size_t i = 0; i < row.size(); ++i) row[i] = expected[i] = uint8_t(rng());
      for (int32_t k = 0; k < count; ++k)
        expected[size_t(x + k)] = index.at(&row[size_t(x + k)], pixel::dither_row(y));
      shade.fill(&row[size_t(x)], count);
      ASSERT_EQ(row, expected) << "count " << count << " at " << x;
    }
  }
}

TEST(SpanForms, TheEnvironmentPicksAFormTheProcessorRuns) {
  EXPECT_EQ(simd_form_for("scalar"), Simd_Form::Scalar);
  for (const char* request : {"sse2", "avx2", "", "wide", static_cast<const char*>(nullptr)}) {
    const Simd_Form form = simd_form_for(request);
    EXPECT_TRUE(simd_form_runs(form)) << (request ? request : "unset");
    // Never wider than asked for.
    if (request && std::string(request) == "sse2") {
      EXPECT_LE(int(form), int(Simd_Form::Sse2));
    }
  }
  if (const char* asked = std::getenv("ZDI_SIMD")) {
    EXPECT_EQ(chosen_simd_form(), simd_form_for(asked));
  }
}

}  // namespace
