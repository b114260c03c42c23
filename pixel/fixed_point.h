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

#include "zt_basics.h"

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

// Start values.
constexpr int32_t start_16(int32_t v) { return int32_t(uint32_t(v) << 16) + half_16; }
constexpr int32_t start_15(int32_t z) { return int32_t(uint32_t(z) << 15) + half_15; }

// The 16-bit depth of a 17.15 accumulator.
constexpr uint16_t depth_of(int32_t acc) { return uint16_t(uint32_t(acc) >> 15); }
// The integer part (upper 16 bits, arithmetic) of a 16.16 value.
constexpr int32_t integer_16(int32_t v) { return v >> 16; }

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

// round_device_points in its two forms: x and y only (configurations without
// depth; z is left as it was in out), or x, y and z.
inline void round_device_points_xy(const ZT_Point* in, int32_t n, ZT_DCI_Point* out) {
  for (int32_t i = 0; i < n; ++i) {
    out[i].x = round_device_coordinate(in[i].x);
    out[i].y = round_device_coordinate(in[i].y);
  }
}
inline void round_device_points_xyz(const ZT_Point* in, int32_t n, ZT_DCI_Point* out) {
  for (int32_t i = 0; i < n; ++i) {
    out[i].x = round_device_coordinate(in[i].x);
    out[i].y = round_device_coordinate(in[i].y);
    out[i].z = round_device_coordinate(in[i].z);
  }
}

}  // namespace pixel
