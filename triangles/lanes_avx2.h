// Eight 32-bit integer lanes in one AVX2 register, with the names of
// lanes_sse2.h.  Only span_lanes_avx2.cpp includes this: it alone is compiled
// for AVX2, and the module calls into it only on a processor that has it.
#pragma once

#include <cstdint>
#include <cstring>

#include <immintrin.h>

namespace triangles {

struct Avx2_Lanes {
  static constexpr int width = 8;
  using V = __m256i;

  static V set1(int32_t v) { return _mm256_set1_epi32(v); }
  static V zero() { return _mm256_setzero_si256(); }
  static V lane_index() { return _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7); }
  static V ramp(uint32_t start, int32_t step) {
    return _mm256_add_epi32(_mm256_set1_epi32(int32_t(start)),
                            _mm256_mullo_epi32(_mm256_set1_epi32(step), lane_index()));
  }

  static V add(V a, V b) { return _mm256_add_epi32(a, b); }
  static V sub(V a, V b) { return _mm256_sub_epi32(a, b); }
  static V and_(V a, V b) { return _mm256_and_si256(a, b); }
  static V or_(V a, V b) { return _mm256_or_si256(a, b); }
  static V and_not(V mask, V a) { return _mm256_andnot_si256(mask, a); }
  static V greater(V a, V b) { return _mm256_cmpgt_epi32(a, b); }
  static V select(V mask, V a, V b) { return _mm256_blendv_epi8(b, a, mask); }
  template <int N> static V shift_left(V a) { return _mm256_slli_epi32(a, N); }
  template <int N> static V shift_right(V a) { return _mm256_srli_epi32(a, N); }
  template <int N> static V shift_right_signed(V a) { return _mm256_srai_epi32(a, N); }
  static V multiply_low(V a, V b) { return _mm256_mullo_epi16(a, b); }
  static bool any(V mask) { return !_mm256_testz_si256(mask, mask); }

  static V load_words(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void store_words(uint32_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  static V load_halves(const uint16_t* p) {
    return _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
  static void store_halves(uint16_t* p, V v) {
    // The packs work within each 128-bit half; the permutation puts the two
    // halves' results side by side.
    const V s = _mm256_srai_epi32(_mm256_slli_epi32(v, 16), 16);
    const V packed = _mm256_permute4x64_epi64(_mm256_packs_epi32(s, s), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(packed));
  }
  static V load_bytes(const uint8_t* p) {
    return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
  }
  static V bytes_of(uint64_t w) { return _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(int64_t(w))); }
  static void store_bytes(uint8_t* p, V v) {
    // Each half's four low bytes to its first four, then the halves' first
    // four side by side.
    const V low_bytes = _mm256_shuffle_epi8(
        v, _mm256_setr_epi8(0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                            0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1));
    const V joined = _mm256_permutevar8x32_epi32(low_bytes, _mm256_setr_epi32(0, 4, 1, 1, 1, 1, 1, 1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(joined));
  }
  // Depths: every lane within 0 … 65535, which the unsigned pack keeps.
  static void store_depths(uint16_t* p, V v) {
    const V packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(v, v), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(packed));
  }
};

}  // namespace triangles
