// Fixed-point conventions shared by every interpolating rasteriser.
//
//   positions and colours  16.16, started at (v << 16) + 0x8000 (one half)
//   depths                 17.15, started at (z << 15) + 0x4000 (one half)
//
// Ranges.  Positions reaching the scan converters lie in the coordinate-safe
// square [-4000, 28760], so a position delta is at most 32760 and
// 32760 << 16 = 2 146 959 360 < 2^31: the shifted delta fits a signed 32-bit
// value.  Depths lie in 0..65535 and 65535 << 15 = 2^31 - 2^15 fits too.  Colour
// channels (0..255, or cube levels with 8 fraction bits) are far below either.
// Left shifts of negative values are arithmetic (C++20), divisions truncate
// toward zero.
#pragma once

#include <cmath>
#include <cstdint>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "host/zt_basics.h"

namespace pixel {

constexpr int32_t half_16 = 0x8000;
constexpr int32_t half_15 = 0x4000;

// (delta << shift) / n, with the divisions by 1, 2, 4 and 8 done as shifts.
// (delta << shift) is a multiple of 2^shift, so for shift >= 3 the shifted forms
// are exact and equal the division for either sign.  n = 0 takes no step: the
// unscaled delta is returned (callers never step with it).
template <int Shift>
constexpr int32_t fixed_divide(int32_t delta, int32_t n) {
  static_assert(Shift >= 3);
  switch (n) {
  case 0: return delta;
  case 1: return int32_t(uint32_t(delta) << Shift);
  case 2: return int32_t(uint32_t(delta) << (Shift - 1));
  case 4: return int32_t(uint32_t(delta) << (Shift - 2));
  case 8: return int32_t(uint32_t(delta) << (Shift - 3));
  default: return int32_t(uint32_t(delta) << Shift) / n;
  }
}
// 16.16 step of a position or colour over n steps.
constexpr int32_t step_16(int32_t delta, int32_t n) { return fixed_divide<16>(delta, n); }
// 17.15 step of a depth over n steps.
constexpr int32_t step_15(int32_t delta, int32_t n) { return fixed_divide<15>(delta, n); }

// The same steps through a multiplier instead of a division, for the hot
// paths: one table load per step count, one multiplication per quantity, and
// no branch on the count.  For 1 <= n < reciprocal_limit and any 32-bit
// dividend a,
//   trunc(a / n) = ±((2|a| × m(n)) >> 64),  m(n) = ceil(2^63 / n),
// exactly: m(n) = (2^63 + e) / n with 0 <= e < n, so 2|a| m(n) / 2^64 exceeds
// |a| / n by |a| e / (n 2^63) < 1 / n (|a| <= 2^31, e < 2^10), too little to
// reach the next integer.  Counts 1, 2, 4, 8 give the shifted values exactly
// like every other count; counts outside the table (and 0) take fixed_divide.
inline constexpr int32_t reciprocal_limit = 1024;

struct Step_Reciprocals {
  uint64_t m[reciprocal_limit]{};
  constexpr Step_Reciprocals() {
    for (int32_t n = 1; n < reciprocal_limit; ++n) m[n] = (uint64_t(1) << 63) / uint64_t(n) +
                                                          ((uint64_t(1) << 63) % uint64_t(n) != 0);
  }
};
inline constexpr Step_Reciprocals step_reciprocals{};

// Steps over one count n (>= 0) for any number of quantities.  step_16 and
// step_15 take deltas whose shift fits 32 bits (positions within the
// coordinate-safe square, 16-bit depths, colour channels); step_15_wrapped
// takes any difference of two 32-bit depths (a hostile depth offset may wrap
// them) and keeps the plain form's distinction between shifting and dividing
// the wrapped value there.
class Step_Divider {
public:
  explicit Step_Divider(int32_t n)
      : n_(n), m_(uint32_t(n) < uint32_t(reciprocal_limit) ? step_reciprocals.m[n] : 0) {}
  int32_t step_16(int32_t delta) const { return divide<16>(delta); }
  int32_t step_15(int32_t delta) const { return divide<15>(delta); }
  int32_t step_15_wrapped(int32_t delta) const {
    if ((delta >> 16) != (delta >> 31)) [[unlikely]]
      return fixed_divide<15>(delta, n_);
    return divide<15>(delta);
  }

private:
  template <int Shift>
  int32_t divide(int32_t delta) const {
    if (m_ == 0) [[unlikely]]
      return fixed_divide<Shift>(delta, n_);
    const int32_t a = int32_t(uint32_t(delta) << Shift);
    const uint32_t sign = uint32_t(a >> 31);
    const uint32_t magnitude = (uint32_t(a) ^ sign) - sign;
    const auto product = static_cast<unsigned __int128>(uint64_t(magnitude) << 1) * m_;
    const uint32_t q = uint32_t(uint64_t(product >> 64));
    return int32_t((q ^ sign) - sign);
  }
  int32_t n_;
  uint64_t m_;
};

// The same interface over the plain form: shifts for 1, 2, 4, 8 and the
// division otherwise.
class Plain_Step_Divider {
public:
  explicit Plain_Step_Divider(int32_t n) : n_(n) {}
  int32_t step_16(int32_t delta) const { return fixed_divide<16>(delta, n_); }
  int32_t step_15(int32_t delta) const { return fixed_divide<15>(delta, n_); }
  int32_t step_15_wrapped(int32_t delta) const { return fixed_divide<15>(delta, n_); }

private:
  int32_t n_;
};

// Start values.
constexpr int32_t start_16(int32_t v) { return int32_t(uint32_t(v) << 16) + half_16; }
constexpr int32_t start_15(int32_t z) { return int32_t(uint32_t(z) << 15) + half_15; }

// The 16-bit depth of a 17.15 accumulator.
constexpr uint16_t depth_of(int32_t acc) { return uint16_t(uint32_t(acc) >> 15); }

// Device coordinate to integer: v >= 0 gives trunc(v + 0.5), v < 0 gives
// trunc(v - h), so -0.5 goes to 0 and -0.6 to -1.  The arithmetic stays in the
// coordinate's own precision: h is 0.499999 for floats (the single-precision
// value nearest it) and 0.49999999999 for doubles.  Values beyond the 32-bit
// range saturate, and NaN becomes INT32_MIN, so that hostile input stays a
// defined integer (far outside every window).
template <typename Real>
inline int32_t round_device_coordinate(Real v) {
  static_assert(std::is_floating_point_v<Real>);
  constexpr Real below_zero_half = sizeof(Real) == 4 ? Real(0.499999f) : Real(0.49999999999);
  if (!(v == v)) return INT32_MIN;
  const Real r = v >= 0 ? v + Real(0.5) : v - below_zero_half;
  // 2^31 is exact in both precisions; the largest float below it is 2^31 - 128.
  if (r >= Real(2147483648.0)) return INT32_MAX;
  if (r <= Real(-2147483648.0)) return INT32_MIN;
  return int32_t(r);
}

// Rounds count consecutive coordinates (the x, y, z of points laid out one
// after the other), four at a time where SSE2 is there: the same addition of
// the half in single precision and the same truncation.  The conversion
// answers INT32_MIN for NaN and for every value it cannot represent; such
// lanes are done again one by one, which saturates as round_device_coordinate
// says.
inline void round_device_coordinates(const float* in, int32_t count, int32_t* out) {
#if defined(__SSE2__)
  auto four = [&](int32_t i) {
    const __m128 v = _mm_loadu_ps(in + i);
    const __m128 half = _mm_or_ps(_mm_and_ps(_mm_cmpge_ps(v, _mm_setzero_ps()), _mm_set1_ps(0.5f)),
                                  _mm_andnot_ps(_mm_cmpge_ps(v, _mm_setzero_ps()),
                                                _mm_set1_ps(-0.499999f)));
    const __m128i r = _mm_cvttps_epi32(_mm_add_ps(v, half));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), r);
    if (_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(r, _mm_set1_epi32(INT32_MIN))))) [[unlikely]]
      for (int32_t k = i; k < i + 4; ++k) out[k] = round_device_coordinate(in[k]);
  };
  if (count >= 4) {
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) four(i);
    // The last one to three coordinates with the four that end there.
    if (i < count) four(count - 4);
    return;
  }
#endif
  for (int32_t i = 0; i < count; ++i) out[i] = round_device_coordinate(in[i]);
}

// round_device_points: x, y and z of each point.  (Configurations without
// depth round z too and ignore it.)
static_assert(sizeof(ZT_Point) == 3 * sizeof(float) && sizeof(ZT_DCI_Point) == 3 * sizeof(int32_t));
inline void round_device_points_xyz(const ZT_Point* in, int32_t n, ZT_DCI_Point* out) {
  round_device_coordinates(reinterpret_cast<const float*>(in), 3 * n,
                           reinterpret_cast<int32_t*>(out));
}

}  // namespace pixel
