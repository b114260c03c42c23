// A slow restatement of the one-pixel line rules, for comparing the stepping
// against: every pixel of a segment is computed on its own, with plain
// divisions, from the 16.16 and 17.15 start values the stepping uses.
#pragma once

#include <cstdint>
#include <vector>

struct Reference_Pixel {
  int32_t x, y;
  uint32_t depth;     // 16-bit depth from the 17.15 accumulator
  uint32_t colour[4]; // interpolated bytes blue, green, red, alpha
  friend bool operator==(const Reference_Pixel&, const Reference_Pixel&) = default;
};

// The pixels a segment from (x0, y0, z0, c0) to (x1, y1, z1, c1) lights, in
// order from the first point, the second point excluded.
std::vector<Reference_Pixel> reference_segment(int32_t x0, int32_t y0, int32_t z0, uint32_t c0,
                                               int32_t x1, int32_t y1, int32_t z1, uint32_t c1);
