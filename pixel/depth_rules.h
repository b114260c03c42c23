// Depth test and depth write.
//
// The stored depth d is an unsigned 16-bit value (0xFFFF is far, the cleared
// value); a fragment depth z is compared with it as an integer.  Interpolating
// rasterisers take z from their accumulator (0..65535); the dot and the closing
// pixel of a polyline compare the point's signed 32-bit z unchanged.
#pragma once

#include <cstdint>

namespace pixel {

// The "ZBuffer Test" modes: 1 passes z < d, 5 passes z > d, every other value
// (2 by default) passes z <= d.
enum class Depth_Compare : int32_t { Less, Greater, Less_Equal };

constexpr Depth_Compare depth_compare_for_mode(int32_t mode) {
  return mode == 1 ? Depth_Compare::Less
                   : mode == 5 ? Depth_Compare::Greater : Depth_Compare::Less_Equal;
}

constexpr bool depth_passes(Depth_Compare c, int64_t z, int64_t d) {
  switch (c) {
  case Depth_Compare::Less: return z < d;
  case Depth_Compare::Greater: return z > d;
  default: return z <= d;
  }
}

// The test by mode folded into one unsigned range check for 16-bit fragment
// depths, so that an inner loop tests any mode without a branch on the mode:
// pass when (z - d) - low, taken as unsigned, is at most span.
//   z < d   : z - d in [-65535, -1]
//   z > d   : z - d in [1, 65535]
//   z <= d  : z - d in [-65535, 0]
struct Depth_Range_Test {
  int32_t low;
  uint32_t span;

  static constexpr Depth_Range_Test for_compare(Depth_Compare c) {
    switch (c) {
    case Depth_Compare::Less: return {-65535, 65534};
    case Depth_Compare::Greater: return {1, 65534};
    default: return {-65535, 65535};
    }
  }
  static constexpr Depth_Range_Test for_mode(int32_t mode) {
    return for_compare(depth_compare_for_mode(mode));
  }
  constexpr bool passes(uint32_t z16, uint32_t d16) const {
    return uint32_t(int32_t(z16) - int32_t(d16) - low) <= span;
  }
};

}  // namespace pixel
