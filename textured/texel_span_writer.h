// Writing one textured span: the pixel loops every textured rasteriser shares.
//
// Per pixel, in this order: the depth test (z <= stored, the fixed rule of
// textured strips); on the patterned path the pattern bit; the no-repeat
// test; the texel fetch; the variant's texel colour policy (texel_colours.h);
// the depth store, when the policy wrote.  A pattern hole with the background
// flag takes the contrast colour under the contrast policy and stores its
// depth, whatever the texel would have been; a hole without it, and a pixel
// that fails a test, keeps its colour and depth.
//
// Three loops, so that the solid one does no pattern work:
//   solid       spans of one and two pixels written straight; longer ones
//               eight depth tests at a time (SSE2), the texel work only for
//               the pixels that pass, then pixel by pixel at the row's end
//   patterned   pixel by pixel with the pattern cursor
// The clipped-triangle rasteriser uses the solid loop with linear spans.
#pragma once

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "pixel/depth_policies.h"
#include "pixel/frame.h"
#include "textured/texel_fetch.h"
#include "textured/texel_span.h"
#include "triangles/clipped_scan.h"
#include "triangles/coverage.h"
#include "triangles/wide_span.h"

namespace textured {

using Fixed_Depth = pixel::Depth_Less_Equal<pixel::Depth_Stored>;

// Where a span lies between its walkers: n pixels from the left walker's
// column (the whole span, which its values step over), of which count are
// written from the skip-th on.  Mean: the second of two pixels takes the mean.
template <class Edge>
struct Span_Between {
  const Edge& left;
  const Edge& right;
  int32_t n, skip;
  bool mean;
};

// Repeats: both axes of the texture repeat, so no pixel can fall outside it
// and the no-repeat test is left out of the pixel loops.
template <class Rule, class Contrast, class Coverage, bool Repeats>
struct Texel_Span_Writer {
  using Pixel = typename Rule::Pixel;
  using Span = Texel_Span<Rule::colours, Rule::lit>;
  using Row = typename Rule::Row;
  using Edge = typename Span::Edge;

  const pixel::Frame& frame;
  Texel_Lookup texels;
  Rule rule;
  Contrast contrast;
  Coverage coverage;

  // The texel work of a pixel whose depth z passed, with texel coordinates
  // ui, vi and the span's values s there (for the policies that read colours).
  static void textured(Pixel* p, uint16_t* d, uint32_t z, uint32_t ui, uint32_t vi, const Span& s,
                       const Texel_Lookup& t, const Rule& rule, Row row) {
    if constexpr (!Repeats)
      if (t.outside(ui, vi)) return;
    if (rule.put(p, t.at(ui, vi), s, row) && Fixed_Depth::stores()) *d = uint16_t(z);
  }
  static void solid(Pixel* p, uint16_t* d, const Span& s, const Texel_Lookup& t, const Rule& rule,
                    Row row) {
    const uint32_t z = s.depth16();
    if (Fixed_Depth::passes(z, *d)) textured(p, d, z, s.ui(), s.vi(), s, t, rule, row);
  }

  // Writes count pixels of row y from local column x.
  [[gnu::always_inline]] void operator()(int32_t y, int32_t x, int32_t count,
                                         const Span_Between<Edge>& between) const {
    Pixel* const p = frame.color_at<Pixel>(x, y);
    uint16_t* const d = frame.depth_at(x, y);
    // The next rows of a triangle start near this span, a row lower in memory
    // each: their depth and colour lines are asked for now, so that they are
    // at hand when their turn comes (rows of small triangles across a large
    // window miss the caches otherwise).  A prefetch never faults; the
    // addresses are mere numbers (they may lie past the buffer's last row).
    const uintptr_t depth_at = reinterpret_cast<uintptr_t>(d);
    const uintptr_t colour_at = reinterpret_cast<uintptr_t>(p);
    const uintptr_t depth_row = uintptr_t(frame.depth_row_bytes);
    const uintptr_t colour_row = uintptr_t(frame.color_row_bytes);
    __builtin_prefetch(reinterpret_cast<const void*>(depth_at - depth_row));
    __builtin_prefetch(reinterpret_cast<const void*>(colour_at - colour_row), 1);
    __builtin_prefetch(reinterpret_cast<const void*>(depth_at - 2 * depth_row));
    __builtin_prefetch(reinterpret_cast<const void*>(colour_at - 2 * colour_row), 1);
    // Local copies: the pixel stores cannot alias them.
    const Texel_Lookup t = texels;
    const Rule r = rule;
    const Row row = r.row(y);
    const Edge& left = between.left;
    const Edge& right = between.right;
    if (count <= 2 || !Coverage::solid) {
      Span s = between.mean ? Span::with_mean(left, right) : Span::linear(left, right, between.n);
      s.advance(between.skip);
      if constexpr (Coverage::solid) {
        solid(p, d, s, t, r, row);
        if (count == 2) {
          s.step();
          solid(p + 1, d + 1, s, t, r, row);
        }
      } else {
        patterned(p, d, x, y, count, s, t, r, row);
      }
      return;
    }
    // Texel coordinates and colours only once a pixel passes.
    const pixel::Step_Divider per_pixel(between.n);
    Span s = Span::depths(left, right, per_pixel);
    s.advance_depth(between.skip);
    bool texels_made = false;
    auto with_texels = [&]() -> const Span& {
      if (!texels_made) {
        s.add_texels(left, right, between.n, per_pixel);
        s.advance_texels(between.skip);
        texels_made = true;
      }
      return s;
    };
    int32_t k = 0;
#if defined(__SSE2__)
    k = write_blocks(p, d, count, std::min((count + 7) >> 3, (frame.width - x) >> 3), s,
                     with_texels, t, r, row);
#endif
    if (k >= count) return;
    Span rest = with_texels();
    rest.advance(k);
    for (; k < count; ++k, rest.step()) solid(p + k, d + k, rest, t, r, row);
  }

  void patterned(Pixel* p, uint16_t* d, int32_t x, int32_t y, int32_t count, Span s,
                 const Texel_Lookup& t, const Rule& r, Row row) const {
    const Contrast row_contrast = contrast;
    auto cursor = coverage.at(x, y);
    for (int32_t k = 0; k < count; ++k, s.step()) {
      const triangles::Cover c = cursor.next();
      if (c == triangles::Cover::Skip) continue;
      const uint32_t z = s.depth16();
      if (!Fixed_Depth::passes(z, d[k])) continue;
      if (c == triangles::Cover::Contrast) {
        row_contrast.put(p + k);
        d[k] = uint16_t(z);
        continue;
      }
      textured(p + k, d + k, z, s.ui(), s.vi(), s, t, r, row);
    }
  }

#if defined(__SSE2__)
  // The first blocks × 8 pixels (as far as count): eight depth tests at a
  // time, then the texel work for each pixel that passed, at the values the
  // span has there.  Most blocks of a deep scene pass nowhere and cost the
  // test alone.  Answers the pixels done.
  template <class With_Texels>
  [[gnu::always_inline]] static int32_t write_blocks(Pixel* p, uint16_t* d, int32_t count, int32_t blocks,
                              const Span& depths, With_Texels& with_texels,
                              const Texel_Lookup& t, const Rule& rule, Row row) {
    triangles::Wide_Ramp z(depths.depth, depths.depth_step);
    const __m128i flip = _mm_set1_epi16(int16_t(0x8000));
    const __m128i lane = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
    alignas(16) uint16_t lane_z[8];
    int32_t done = 0;
    for (int32_t b = 0; b < blocks; ++b, done += 8, p += 8, d += 8) {
      // The lanes past the span's end (in its last block only) are masked.
      const int32_t left = count - done;
      const __m128i live = left >= 8 ? _mm_set1_epi32(-1)
                                     : _mm_cmpgt_epi16(_mm_set1_epi16(int16_t(left)), lane);
      const __m128i stored = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
      const __m128i fz = triangles::flipped_depths(z);
      const __m128i pass = _mm_and_si128(
          live, triangles::passing_lanes(Fixed_Depth{}, fz, _mm_xor_si128(stored, flip)));
      z.step();
      uint32_t lanes = uint32_t(_mm_movemask_epi8(_mm_packs_epi16(pass, _mm_setzero_si128())));
      if (lanes == 0) continue;
      _mm_store_si128(reinterpret_cast<__m128i*>(lane_z), _mm_xor_si128(fz, flip));
      const Span& s = with_texels();
      do {
        const int32_t k = __builtin_ctz(lanes);
        lanes &= lanes - 1;
        Span at = s;  // the span's values at this pixel
        at.advance_texels(done + k);
        textured(p + k, d + k, lane_z[k], at.ui(), at.vi(), at, t, rule, row);
      } while (lanes);
    }
    return std::min(done, count);
  }
#endif
};

// The spans of the unclipped rasterisers: every row's span whole, its values
// linear, or (Mean) with the mean at the second of two pixels.
template <class Writer, bool Mean>
struct Whole_Texel_Spans {
  const Writer& write;
  template <class Edge>
  [[gnu::always_inline]] void operator()(int32_t y, const Edge& left, const Edge& right) const {
    const int32_t x = left.column();
    const int32_t count = right.column() - x;
    if (count < 1) return;
    write(y, x, count, Span_Between<Edge>{left, right, count, 0, Mean && count == 2});
  }
};

// The spans of the clipped-triangle rasteriser, in walk coordinates: cut to the
// clip window's columns and handed on in local coordinates, with the values
// the whole span has at its first drawn pixel.
template <class Writer>
struct Clipped_Texel_Spans {
  const Writer& write;
  const triangles::Clip_Window& clip;
  template <class Edge>
  void operator()(int32_t y, const Edge& left, const Edge& right) const {
    const int32_t x = left.column();
    const int32_t count = right.column() - x;
    if (count < 1) return;
    const int32_t from = std::max(x, clip.left);
    const int32_t to = std::min(x + count, clip.right_end);
    if (from >= to) return;
    write(y + clip.to_local_y, from + clip.to_local_x, to - from,
          Span_Between<Edge>{left, right, count, from - x, false});
  }
};

}  // namespace textured
