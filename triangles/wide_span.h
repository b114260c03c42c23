// Eight pixels at a time: the solid, depth-tested span of the true-colour
// configurations whose colour is one stored word.  (Interpolated colours in
// lanes measured slower than the pixel loop on the short spans of strips.)
//
// The lanes compute exactly what the pixel loop computes one pixel after the
// other: lane k of a block takes the span's values stepped k times, the depth
// test is the same compare, and a pixel that fails keeps its colour and depth.
// A block reads and writes back all eight pixels, the ones that fail or lie
// past the span's end unchanged, so a block may only start where eight pixels
// remain in the row; the span writer leaves the rest to its pixel loop.
//
// Depths are compared as signed 16-bit lanes after flipping their top bit,
// which orders them as the unsigned values they are.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "pixel/depth_policies.h"
#include "triangles/shades.h"
#include "triangles/span_values.h"

namespace triangles {

#if defined(__SSE2__)

// The lanes where a depth policy passes, given the flipped fragment and stored
// depths.
template <class Store>
inline __m128i passing_lanes(const pixel::Depth_Less_Equal<Store>&, __m128i z, __m128i stored) {
  return _mm_xor_si128(_mm_cmpgt_epi16(z, stored), _mm_set1_epi32(-1));
}
template <class Store>
inline __m128i passing_lanes(const pixel::Depth_By_Mode<Store>& rule, __m128i z, __m128i stored) {
  // The mode's range test asked once for each of the three orders.
  const __m128i less = _mm_and_si128(_mm_cmpgt_epi16(stored, z), _mm_set1_epi16(rule.passes_less));
  const __m128i greater =
      _mm_and_si128(_mm_cmpgt_epi16(z, stored), _mm_set1_epi16(rule.passes_greater));
  const __m128i equal = _mm_and_si128(_mm_cmpeq_epi16(z, stored), _mm_set1_epi16(rule.passes_equal));
  return _mm_or_si128(_mm_or_si128(less, greater), equal);
}

// A 16.16 or 17.15 value along the span in eight lanes (two halves of four):
// lane k holds start + k × step.
struct Wide_Ramp {
  __m128i low, high, block_step;
  Wide_Ramp(uint32_t start, int32_t step) {
    const __m128i s = _mm_set1_epi32(step);
    // 0, s, 2s, 3s as running sums of the step shifted along the lanes.
    __m128i k = _mm_slli_si128(s, 4);
    k = _mm_add_epi32(k, _mm_slli_si128(k, 4));
    k = _mm_add_epi32(k, _mm_slli_si128(k, 8));
    low = _mm_add_epi32(k, _mm_set1_epi32(int32_t(start)));
    high = _mm_add_epi32(low, _mm_slli_epi32(s, 2));
    block_step = _mm_slli_epi32(s, 3);
  }
  void step() {
    low = _mm_add_epi32(low, block_step);
    high = _mm_add_epi32(high, block_step);
  }
};

// The colour a shade stores, in eight lanes.
template <class Shade>
struct Wide_Colour;

template <>
struct Wide_Colour<Store_Word> {
  static constexpr bool applies = true;
  __m128i word;
  Wide_Colour(const Store_Word& s, const Span_Values<true, 0>&)
      : word(_mm_set1_epi32(int32_t(s.value))) {}
  __m128i low() const { return word; }
  __m128i high() const { return word; }
  void step() {}
};

template <class Shade>
constexpr bool wide_span_applies() {
  return requires { Wide_Colour<Shade>::applies; };
}

// The 16-bit depths (top bit flipped) of eight 17.15 accumulators.
inline __m128i flipped_depths(const Wide_Ramp& z) {
  // Flipping bit 30 flips the depth's top bit; the shifts keep bits 15 to 30
  // as sign-extended 16-bit values, which the pack keeps exactly.
  const __m128i flip = _mm_set1_epi32(0x40000000);
  const __m128i lo = _mm_srai_epi32(_mm_slli_epi32(_mm_xor_si128(z.low, flip), 1), 16);
  const __m128i hi = _mm_srai_epi32(_mm_slli_epi32(_mm_xor_si128(z.high, flip), 1), 16);
  return _mm_packs_epi32(lo, hi);
}

// Writes the first blocks × 8 pixels of a span (count pixels from p and d; the
// lanes past count are left as they are).
template <class Shade, class Depth>
inline void write_wide_blocks(uint32_t* p, uint16_t* d, int32_t count, int32_t blocks,
                              const Span_Values<true, 0>& v, const Shade& shade,
                              const Depth& depth) {
  Wide_Colour<Shade> colour(shade, v);
  Wide_Ramp z(v.depth, v.depth_step);
  const __m128i flip = _mm_set1_epi16(int16_t(0x8000));
  const __m128i lane = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
  for (int32_t b = 0; b < blocks; ++b, p += 8, d += 8, count -= 8) {
    const __m128i live = _mm_cmpgt_epi16(_mm_set1_epi16(int16_t(count < 8 ? count : 8)), lane);
    const __m128i fz = flipped_depths(z);
    const __m128i stored = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    const __m128i pass = _mm_and_si128(live, passing_lanes(depth, fz, _mm_xor_si128(stored, flip)));
    if constexpr (Depth::stores()) {
      const __m128i nz = _mm_xor_si128(fz, flip);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d),
                       _mm_xor_si128(stored, _mm_and_si128(_mm_xor_si128(stored, nz), pass)));
    }
    const __m128i pass_low = _mm_unpacklo_epi16(pass, pass);
    const __m128i pass_high = _mm_unpackhi_epi16(pass, pass);
    const __m128i c_low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i c_high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p),
                     _mm_xor_si128(c_low, _mm_and_si128(_mm_xor_si128(c_low, colour.low()), pass_low)));
    _mm_storeu_si128(
        reinterpret_cast<__m128i*>(p + 4),
        _mm_xor_si128(c_high, _mm_and_si128(_mm_xor_si128(c_high, colour.high()), pass_high)));
    z.step();
    colour.step();
  }
}

#else

template <class Shade>
constexpr bool wide_span_applies() {
  return false;
}

#endif

}  // namespace triangles
