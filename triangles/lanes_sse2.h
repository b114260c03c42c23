// Eight 32-bit integer lanes in two SSE2 registers: the operations the span
// blocks (span_lanes.h) are written in.  lanes_avx2.h has the same names for
// one AVX2 register.  Eight lanes rather than four, because what a block reads
// and writes packs into whole registers then (eight depths, eight indices),
// and the two-operand SSE2 code pays its copies and the span's per-block work
// once per eight pixels.  Pixels, depths and indices are read and written as
// many as there are lanes, widened to and narrowed from 32 bits (narrowing
// keeps the low bits of each lane).
#pragma once

#include <cstdint>
#include <cstring>

#include <emmintrin.h>

namespace triangles {

struct Sse2_Lanes {
  static constexpr int width = 8;
  struct V {
    __m128i low, high;  // lanes 0-3, 4-7
  };

  template <class F>
  static V each(V a, V b, F f) {
    return {f(a.low, b.low), f(a.high, b.high)};
  }

  static V set1(int32_t v) {
    const __m128i s = _mm_set1_epi32(v);
    return {s, s};
  }
  static V zero() { return {_mm_setzero_si128(), _mm_setzero_si128()}; }
  static V lane_index() { return {_mm_setr_epi32(0, 1, 2, 3), _mm_setr_epi32(4, 5, 6, 7)}; }
  // start + k × step in lane k, in wrapping arithmetic.
  static V ramp(uint32_t start, int32_t step) {
    const __m128i s = _mm_set1_epi32(step);
    __m128i k = _mm_slli_si128(s, 4);                 // 0, s, s, s
    k = _mm_add_epi32(k, _mm_slli_si128(k, 4));      // 0, s, 2s, 2s
    k = _mm_add_epi32(k, _mm_slli_si128(s, 12));     // 0, s, 2s, 3s
    const __m128i low = _mm_add_epi32(k, _mm_set1_epi32(int32_t(start)));
    return {low, _mm_add_epi32(low, _mm_slli_epi32(s, 2))};
  }

  static V add(V a, V b) { return each(a, b, [](__m128i x, __m128i y) { return _mm_add_epi32(x, y); }); }
  static V sub(V a, V b) { return each(a, b, [](__m128i x, __m128i y) { return _mm_sub_epi32(x, y); }); }
  static V and_(V a, V b) { return each(a, b, [](__m128i x, __m128i y) { return _mm_and_si128(x, y); }); }
  static V or_(V a, V b) { return each(a, b, [](__m128i x, __m128i y) { return _mm_or_si128(x, y); }); }
  // ~mask & a
  static V and_not(V mask, V a) {
    return each(mask, a, [](__m128i x, __m128i y) { return _mm_andnot_si128(x, y); });
  }
  // Signed.
  static V greater(V a, V b) {
    return each(a, b, [](__m128i x, __m128i y) { return _mm_cmpgt_epi32(x, y); });
  }
  // a where mask is set, b elsewhere.
  static V select(V mask, V a, V b) {
    auto one = [](__m128i m, __m128i x, __m128i y) {
      return _mm_xor_si128(y, _mm_and_si128(m, _mm_xor_si128(x, y)));
    };
    return {one(mask.low, a.low, b.low), one(mask.high, a.high, b.high)};
  }
  template <int N> static V shift_left(V a) { return {_mm_slli_epi32(a.low, N), _mm_slli_epi32(a.high, N)}; }
  template <int N> static V shift_right(V a) { return {_mm_srli_epi32(a.low, N), _mm_srli_epi32(a.high, N)}; }
  template <int N> static V shift_right_signed(V a) {
    return {_mm_srai_epi32(a.low, N), _mm_srai_epi32(a.high, N)};
  }
  // The low 16 bits of a × b in every lane, for b in 0 … 65535.
  static V multiply_low(V a, V b) {
    return each(a, b, [](__m128i x, __m128i y) { return _mm_mullo_epi16(x, y); });
  }
  static bool any(V mask) { return _mm_movemask_epi8(_mm_or_si128(mask.low, mask.high)) != 0; }

  static V load_words(const uint32_t* p) {
    return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4))};
  }
  static void store_words(uint32_t* p, V v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v.low);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 4), v.high);
  }
  static V load_halves(const uint16_t* p) {
    const __m128i h = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return {_mm_unpacklo_epi16(h, _mm_setzero_si128()), _mm_unpackhi_epi16(h, _mm_setzero_si128())};
  }
  static void store_halves(uint16_t* p, V v) {
    // Sign-extending the low halves makes the saturating pack exact.
    const __m128i low = _mm_srai_epi32(_mm_slli_epi32(v.low, 16), 16);
    const __m128i high = _mm_srai_epi32(_mm_slli_epi32(v.high, 16), 16);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_packs_epi32(low, high));
  }
  // Depths: every lane within 0 … 65535.
  static void store_depths(uint16_t* p, V v) { store_halves(p, v); }
  static V bytes_of(uint64_t w) {
    const __m128i h = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(uint32_t(w))), _mm_setzero_si128());
    const __m128i g = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(uint32_t(w >> 32))), _mm_setzero_si128());
    return {_mm_unpacklo_epi16(h, _mm_setzero_si128()), _mm_unpacklo_epi16(g, _mm_setzero_si128())};
  }
  static V load_bytes(const uint8_t* p) {
    const __m128i h = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                                        _mm_setzero_si128());
    return {_mm_unpacklo_epi16(h, _mm_setzero_si128()), _mm_unpackhi_epi16(h, _mm_setzero_si128())};
  }
  static void store_bytes(uint8_t* p, V v) {
    const __m128i byte = _mm_set1_epi32(0xFF);
    const __m128i halves = _mm_packs_epi32(_mm_and_si128(v.low, byte), _mm_and_si128(v.high, byte));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(halves, halves));
  }
};

}  // namespace triangles
