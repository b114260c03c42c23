// Bringing a segment with arbitrary integer ends into the coordinate-safe
// square, where the 16.16 stepping cannot overflow.
#pragma once

#include <cstdint>

namespace lines {

// Local coordinates the stepping accepts: every 16.16 value of a segment
// inside the square fits a signed 32-bit integer.
constexpr int32_t safe_square_min = -4000;
constexpr int32_t safe_square_max = 28760;

// One end of a segment in local coordinates, with its depth and colour word.
struct Line_End {
  int64_t x, y;
  int32_t z;
  uint32_t colour;
};

constexpr bool in_safe_square(int64_t x, int64_t y) {
  return x >= safe_square_min && x <= safe_square_max && y >= safe_square_min &&
         y <= safe_square_max;
}

// Cuts p -> q to the square by parametric clipping in double precision.  A cut
// end takes the edge's value in the coordinate of the edge it was cut at;
// the other coordinate, the depth and (with cut_colours) the blue, green, red
// and alpha bytes become the start's value plus round(t × delta), rounding
// halves upward, and the other coordinate is clamped to the square.  False
// when no part of the segment lies in the square.
bool cut_to_safe_square(Line_End& p, Line_End& q, bool cut_colours);

} // namespace lines
