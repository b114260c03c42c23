// Four 32-bit integer lanes in one SSE2 register: the operations the span
// blocks (span_lanes.h) are written in.  lanes_avx2.h has the same names for
// eight lanes.  Pixels, depths and indices are read and written as many as
// there are lanes, widened to and narrowed from 32 bits (narrowing keeps the
// low bits of each lane).
#pragma once

#include <cstdint>
#include <cstring>

#include <emmintrin.h>

namespace triangles {

struct Sse2_Lanes {
  static constexpr int width = 4;
  using V = __m128i;

  static V set1(int32_t v) { return _mm_set1_epi32(v); }
  static V zero() { return _mm_setzero_si128(); }
  static V lane_index() { return _mm_setr_epi32(0, 1, 2, 3); }
  // start, start + step, start + 2 step, start + 3 step, in wrapping arithmetic.
  static V ramp(uint32_t start, int32_t step) {
    const V s = _mm_set1_epi32(step);
    V k = _mm_slli_si128(s, 4);  // 0, s, s, s
    k = _mm_add_epi32(k, _mm_slli_si128(k, 4));  // 0, s, 2s, 2s
    k = _mm_add_epi32(k, _mm_slli_si128(s, 12));  // 0, s, 2s, 3s
    return _mm_add_epi32(k, _mm_set1_epi32(int32_t(start)));
  }

  static V add(V a, V b) { return _mm_add_epi32(a, b); }
  static V sub(V a, V b) { return _mm_sub_epi32(a, b); }
  static V and_(V a, V b) { return _mm_and_si128(a, b); }
  static V or_(V a, V b) { return _mm_or_si128(a, b); }
  static V and_not(V mask, V a) { return _mm_andnot_si128(mask, a); }  // ~mask & a
  static V greater(V a, V b) { return _mm_cmpgt_epi32(a, b); }       // signed
  // a where mask is set, b elsewhere.
  static V select(V mask, V a, V b) { return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b)); }
  template <int N> static V shift_left(V a) { return _mm_slli_epi32(a, N); }
  template <int N> static V shift_right(V a) { return _mm_srli_epi32(a, N); }        // logical
  template <int N> static V shift_right_signed(V a) { return _mm_srai_epi32(a, N); }
  // The low 16 bits of a × b in every lane, for b in 0 … 65535.
  static V multiply_low(V a, V b) { return _mm_mullo_epi16(a, b); }
  static bool any(V mask) { return _mm_movemask_epi8(mask) != 0; }

  static V load_words(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static void store_words(uint32_t* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
  static V load_halves(const uint16_t* p) {
    return _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
  }
  static void store_halves(uint16_t* p, V v) {
    // Sign-extending the low half makes the saturating pack exact.
    const V s = _mm_srai_epi32(_mm_slli_epi32(v, 16), 16);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packs_epi32(s, s));
  }
  static V load_bytes(const uint8_t* p) {
    int32_t four;
    std::memcpy(&four, p, 4);
    const V b = _mm_cvtsi32_si128(four);
    return _mm_unpacklo_epi16(_mm_unpacklo_epi8(b, _mm_setzero_si128()), _mm_setzero_si128());
  }
  // The low bytes of a little-endian word, one a lane.
  static V bytes_of(uint64_t w) {
    const V b = _mm_cvtsi32_si128(int32_t(uint32_t(w)));
    return _mm_unpacklo_epi16(_mm_unpacklo_epi8(b, _mm_setzero_si128()), _mm_setzero_si128());
  }
  static void store_bytes(uint8_t* p, V v) {
    const V low = _mm_and_si128(v, _mm_set1_epi32(0xFF));
    const V halves = _mm_packs_epi32(low, low);
    const int32_t four = _mm_cvtsi128_si32(_mm_packus_epi16(halves, halves));
    std::memcpy(p, &four, 4);
  }
};

}  // namespace triangles
