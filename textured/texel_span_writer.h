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

template <class Rule, class Contrast, class Coverage>
struct Texel_Span_Writer {
  using Pixel = typename Rule::Pixel;
  using Span = Texel_Span<Rule::colours, Rule::lit>;

  const pixel::Frame& frame;
  Texel_Lookup texels;
  Rule rule;
  Contrast contrast;
  Coverage coverage;

  // The texel work of a pixel whose depth z passed.
  static void textured(Pixel* p, uint16_t* d, uint32_t z, const Span& s, const Texel_Lookup& t,
                       const Rule& rule) {
    const uint32_t ui = s.ui(), vi = s.vi();
    if (t.outside(ui, vi)) return;
    if (rule.put(p, t.at(ui, vi), s) && Fixed_Depth::stores()) *d = uint16_t(z);
  }
  static void solid(Pixel* p, uint16_t* d, const Span& s, const Texel_Lookup& t, const Rule& rule) {
    const uint32_t z = s.depth16();
    if (Fixed_Depth::passes(z, *d)) textured(p, d, z, s, t, rule);
  }

  void operator()(int32_t y, int32_t x, int32_t count, Span s) const {
    Pixel* const p = frame.color_at<Pixel>(x, y);
    uint16_t* const d = frame.depth_at(x, y);
    // Local copies: the pixel stores cannot alias them.
    const Texel_Lookup t = texels;
    Rule row_rule = rule;
    row_rule.begin_row(y);
    if constexpr (Coverage::solid) {
      if (count <= 2) {
        solid(p, d, s, t, row_rule);
        if (count == 2) {
          s.step();
          solid(p + 1, d + 1, s, t, row_rule);
        }
        return;
      }
      int32_t k = 0;
#if defined(__SSE2__)
      const int32_t blocks = std::min((count + 7) >> 3, (frame.width - x) >> 3);
      k = write_blocks(p, d, count, blocks, s, t, row_rule);
      s.advance(k);
#endif
      for (; k < count; ++k, s.step()) solid(p + k, d + k, s, t, row_rule);
    } else {
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
        textured(p + k, d + k, z, s, t, row_rule);
      }
    }
  }

#if defined(__SSE2__)
  // The first blocks × 8 pixels (as far as count): eight depth tests at a
  // time, then the texel work for each pixel that passed, at the values the
  // span has there.  Answers the pixels done.
  static int32_t write_blocks(Pixel* p, uint16_t* d, int32_t count, int32_t blocks, const Span& s,
                              const Texel_Lookup& t, const Rule& rule) {
    triangles::Wide_Ramp z(s.depth, s.depth_step);
    const __m128i flip = _mm_set1_epi16(int16_t(0x8000));
    const __m128i lane = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
    Span at_block = s;
    int32_t done = 0;
    for (int32_t b = 0; b < blocks; ++b, done += 8) {
      const int32_t left = count - done;
      const __m128i live = _mm_cmpgt_epi16(_mm_set1_epi16(int16_t(left < 8 ? left : 8)), lane);
      const __m128i stored = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + done));
      const __m128i pass = _mm_and_si128(
          live, triangles::passing_lanes(Fixed_Depth{}, triangles::flipped_depths(z),
                                         _mm_xor_si128(stored, flip)));
      uint32_t lanes = uint32_t(_mm_movemask_epi8(_mm_packs_epi16(pass, _mm_setzero_si128())));
      while (lanes) {
        const int32_t k = __builtin_ctz(lanes);
        lanes &= lanes - 1;
        Span at = at_block;
        at.advance(k);
        textured(p + done + k, d + done + k, at.depth16(), at, t, rule);
      }
      z.step();
      at_block.advance(8);
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
  void operator()(int32_t y, const Edge& left, const Edge& right) const {
    using Span = typename Writer::Span;
    const int32_t x = left.column();
    const int32_t count = right.column() - x;
    if (count < 1) return;
    write(y, x, count,
          Mean && count == 2 ? Span::with_mean(left, right) : Span::linear(left, right, count));
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
    using Span = typename Writer::Span;
    const int32_t x = left.column();
    const int32_t count = right.column() - x;
    if (count < 1) return;
    const int32_t from = std::max(x, clip.left);
    const int32_t to = std::min(x + count, clip.right_end);
    if (from >= to) return;
    Span s = Span::linear(left, right, count);
    s.advance(from - x);
    write(y + clip.to_local_y, from + clip.to_local_x, to - from, s);
  }
};

}  // namespace textured
