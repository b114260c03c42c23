// Writing one span: the pixel loop every triangle rasteriser shares.
//
// Span_Writer composes a shade (the colour), a contrast shade (pattern holes
// with the background flag), a depth policy and a coverage policy.  Per pixel,
// in this order: coverage (mask bit, pattern bit), depth test and write, colour.
// A pixel that is skipped, or fails the depth test, keeps its colour and depth.
//
// A solid, unmasked span without depth and without interpolated channels only
// repeats one put; it runs its own loop, shaped by a Span_Shape, or the
// shade's fill.  A solid, depth-tested span of one stored word runs in blocks
// of eight (wide_span.h).  Other solid spans whose shade and depth rule have a
// form in lanes (span_lanes.h) run in blocks of eight pixels, in SSE2 or AVX2
// registers as the draw's Simd_Form says.
// Span shapes:
//   Span_Loop           a plain loop
//   Unrolled_Up_To<N>   spans of up to N pixels as one unrolled sequence per length
//   Blocks_Of<N>        N pixels per iteration, then the rest
#pragma once

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "triangles/coverage.h"
#include "pixel/frame.h"
#include "pixel/depth_policies.h"
#include "triangles/shades.h"
#include "triangles/simd_form.h"
#include "triangles/span_lanes.h"
#include "triangles/span_values.h"
#include "triangles/wide_span.h"

#if defined(__SSE2__)
#include "triangles/lanes_sse2.h"
#endif
#if defined(ZDI_AVX2_FORM)
#include "triangles/span_lanes_avx2.h"
#endif

namespace triangles {

// put(0) … put(N - 1), unrolled.
template <int N, class Put>
inline void put_unrolled(Put& put) {
  [&]<int... K>(std::integer_sequence<int, K...>) {
    (put(K), ...);
  }(std::make_integer_sequence<int, N>{});
}

struct Span_Loop {
  template <class Put>
  static void run(int32_t count, Put&& put) {
    for (int32_t k = 0; k < count; ++k) put(k);
  }
};

template <int Longest>
struct Unrolled_Up_To {
  template <class Put>
  static void run(int32_t count, Put&& put) {
    if (count > Longest) return Span_Loop::run(count, put);
    // One straight sequence per length: the compares become a jump table.
    [&]<int... N>(std::integer_sequence<int, N...>) {
      (void)((count == N + 1 && (put_unrolled<N + 1>(put), true)) || ...);
    }(std::make_integer_sequence<int, Longest>{});
  }
};

template <int Width>
struct Blocks_Of {
  template <class Put>
  static void run(int32_t count, Put&& put) {
    int32_t k = 0;
    for (; k + Width <= count; k += Width) {
      auto block = [&](int32_t i) { put(k + i); };
      put_unrolled<Width>(block);
    }
    for (; k < count; ++k) put(k);
  }
};

// The depth rules the lanes apply: none, or z <= stored with the depth stored.
template <class Depth>
constexpr bool lane_depth_rule() {
  return std::is_same_v<Depth, pixel::No_Depth> ||
         std::is_same_v<Depth, pixel::Depth_Less_Equal<pixel::Depth_Stored>>;
}

// Spans shorter than this stay in the pixel loop: for one or two pixels,
// making the lanes' start values costs more than the loop's branches.
constexpr int32_t lane_span_minimum = 3;

// Writes s.blocks blocks in the form's lanes.
template <class Kind, bool Depth>
inline void write_lanes(Simd_Form form, const Lane_Span& s) {
#if defined(ZDI_AVX2_FORM)
  if (form == Simd_Form::Avx2) return write_lane_blocks_avx2<Kind, Depth>(s);
#endif
#if defined(__SSE2__)
  write_lane_blocks<Sse2_Lanes, Kind, Depth>(s);
#endif
  (void)form;
  (void)s;
}

template <class Shade, class Contrast, class Depth, class Coverage, class Shape = Span_Loop>
struct Span_Writer {
  using Pixel = typename Shade::Pixel;
  using Values = Span_Values<Depth::enabled, Shade::channels>;
  static constexpr bool repeats_one_put = Coverage::solid && !Depth::enabled &&
                                          Shade::channels == 0;
  // A solid, depth-tested span of one stored word goes eight pixels at a time:
  // no branch per pixel on the depth test, and one block for most spans of a
  // small triangle, so no branch on where the span ends either.
  static constexpr bool wide = Coverage::solid && Depth::enabled && wide_span_applies<Shade>();
  static constexpr bool in_lanes = Coverage::solid && lane_depth_rule<Depth>() &&
                                   requires { typename Shade::Lane_Kind; };

  const pixel::Frame& frame;
  Shade shade;
  Contrast contrast;
  Depth depth;
  Coverage coverage;
  Simd_Form form = Simd_Form::Scalar;

  // The spans in lanes are inlined into the row walk by force (a call per span
  // costs more than a short span); the others as the compiler sees fit.
  [[gnu::always_inline]] void operator()(int32_t y, int32_t x, int32_t count, Values v) const
    requires(in_lanes)
  {
    write(y, x, count, v);
  }
  void operator()(int32_t y, int32_t x, int32_t count, Values v) const
    requires(!in_lanes)
  {
    write(y, x, count, v);
  }

private:
  [[gnu::always_inline]] void write(int32_t y, int32_t x, int32_t count, Values v) const {
    Pixel* const p = frame.color_at<Pixel>(x, y);
    // Local copies: the pixel stores cannot alias them, so they stay in
    // registers across the loop.
    Shade row_shade = shade;
    row_shade.begin_row(y);
    if constexpr (repeats_one_put) {
      if constexpr (requires { row_shade.fill(p, count); }) row_shade.fill(p, count);
      else Shape::run(count, [&](int32_t k) { row_shade.put(p + k); });
    } else if constexpr (wide) {
      // Blocks of eight while the row has room for whole blocks; the rest (at
      // the window's right edge only) pixel by pixel.
      uint16_t* const d = frame.depth_at(x, y);
      const Depth row_depth = depth;
      const int32_t room = (frame.width - x) >> 3;
      const int32_t blocks = std::min((count + 7) >> 3, room);
      write_wide_blocks(p, d, count, blocks, v, row_shade, row_depth);
      v.advance(blocks * 8);
      for (int32_t k = blocks * 8; k < count; ++k, v.step())
        if (row_depth.pass(d + k, v.depth16())) row_shade.put(p + k);
    } else if constexpr (in_lanes) {
      // Blocks while the row has room for whole blocks; the rest (at the
      // window's right edge only) pixel by pixel.
      uint16_t* const d = Depth::enabled ? frame.depth_at(x, y) : nullptr;
      int32_t k = 0;
      if (form != Simd_Form::Scalar && count >= lane_span_minimum) {
        constexpr int32_t shift = 3;  // eight pixels a block in either form
        const int32_t room = (frame.width - x) >> shift;
        Lane_Span s;
        s.pixels = reinterpret_cast<uint8_t*>(p);
        s.depths = d;
        s.count = count;
        s.blocks = std::min((count + (1 << shift) - 1) >> shift, room);
        s.depth = v.depth;
        s.depth_step = v.depth_step;
        for (int c = 0; c < Shade::channels; ++c) {
          s.channel[c] = v.channel[c];
          s.channel_step[c] = v.channel_step[c];
        }
        row_shade.describe(s);
        if (s.blocks > 0) {
          write_lanes<typename Shade::Lane_Kind, Depth::enabled>(form, s);
          k = s.blocks << shift;
          if (k >= count) return;
          v.advance(k);
        }
      }
      const Depth row_depth = depth;
      for (; k < count; ++k, v.step()) {
        if constexpr (Depth::enabled)
          if (!row_depth.pass(d + k, v.depth16())) continue;
        row_shade.put(p + k, v.channel);
      }
    } else {
      const Contrast row_contrast = contrast;
      const Depth row_depth = depth;
      uint16_t* const d = Depth::enabled ? frame.depth_at(x, y) : nullptr;
      auto cursor = coverage.at(x, y);
      for (int32_t k = 0; k < count; ++k, v.step()) {
        const Cover c = cursor.next();
        if (c == Cover::Skip) continue;
        if constexpr (Depth::enabled)
          if (!row_depth.pass(d + k, v.depth16())) continue;
        if (c == Cover::Draw) row_shade.put(p + k, v.channel);
        else row_contrast.put(p + k);
      }
    }
  }
};

}  // namespace triangles
