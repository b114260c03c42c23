#include "tests/support/line_reference.h"

#include <cstdlib>

namespace {

int64_t floor_div(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Value of an interpolant at step k of m: (start << shift) + half + k·trunc(delta << shift / m).
int64_t interpolated(int64_t start, int64_t end, int64_t k, int64_t m, int shift) {
  const int64_t step = m == 0 ? 0 : ((end - start) * (int64_t(1) << shift)) / m;
  return start * (int64_t(1) << shift) + (int64_t(1) << (shift - 1)) + k * step;
}

} // namespace

std::vector<Reference_Pixel> reference_segment(int32_t x0, int32_t y0, int32_t z0, uint32_t c0,
                                               int32_t x1, int32_t y1, int32_t z1, uint32_t c1) {
  const int64_t dx = x1 - x0, dy = y1 - y0, n = std::abs(dy);
  const int64_t length = std::max(std::abs(dx), n);
  const int sx = dx > 0 ? 1 : dx < 0 ? -1 : 0, sy = dy > 0 ? 1 : dy < 0 ? -1 : 0;
  const int64_t S = n == 0 ? 0 : (dx * 65536) / n; // truncated toward zero
  std::vector<Reference_Pixel> out;
  for (int64_t k = 0; k < length; ++k) {
    Reference_Pixel p{};
    if (std::abs(dx) > n && n > 0) {
      // Shallow: column x0 + sx·k; the row counts the run boundaries passed.
      int64_t B0;
      if (dy > 0)
        B0 = dx > 0 ? x0 * 65536 + 65535 + floor_div(S, 2) : x0 * 65536 + floor_div(S + 1, 2);
      else
        B0 = dx > 0 ? x0 * 65536 + 65536 + floor_div(S, 2) : x0 * 65536 - 1 + floor_div(S + 1, 2);
      const int64_t c = x0 + sx * k;
      int64_t passed = 0;
      for (int64_t j = 0; j < n; ++j) {
        const int64_t e = floor_div(B0 + j * S, 65536);
        if (sx > 0 ? e <= c : e >= c) ++passed;
      }
      p.x = int32_t(c);
      p.y = int32_t(y0 + sy * passed);
    } else if (n > std::abs(dx)) {
      // Steep: one pixel per row, the column from the 16.16 minor coordinate.
      int64_t X0 = x0 * 65536 + 32768;
      if (dy < 0 && dx < 0) X0 -= S * n - dx * 65536;
      p.x = int32_t(floor_div(X0 + k * S, 65536));
      p.y = int32_t(y0 + sy * k);
    } else {
      p.x = int32_t(x0 + sx * k);
      p.y = int32_t(y0 + sy * k);
    }
    p.depth = uint32_t(interpolated(z0, z1, k, length, 15) >> 15) & 0xFFFF;
    for (int i = 0; i < 4; ++i)
      p.colour[i] =
          uint32_t(interpolated((c0 >> (8 * i)) & 255, (c1 >> (8 * i)) & 255, k, length, 16) >>
                   16) &
          255;
    out.push_back(p);
  }
  return out;
}
