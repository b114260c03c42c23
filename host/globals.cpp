// The host's constant tables: built-in fill patterns and the dither thresholds.
#include "host/zt_globals.h"

namespace {

// The classic 8x8 ordered-dither (Bayer) matrix, values 0..63.
constexpr uint8_t bayer8[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
};

// Dither thresholds: the Bayer rank scaled to 16 bits, centred in its step
// (rank × 1024 + 512), so every threshold lies below 0xFFFF and a colour with
// no fraction never rounds up.
constexpr ZT_Shared_Constants make_shared_constants() {
  ZT_Shared_Constants s{};
  for (int row = 0; row < 8; ++row)
    for (int col = 0; col < 8; ++col)
      s.dither_table[col + 8 * row] = uint16_t(bayer8[row][col] * 1024 + 512);
  return s;
}

// Built-in fill patterns; a set bit is a hole (the contrast colour or nothing).
//   0        hollow: every bit set
//   1..63    ordered-dither densities: pixel (c, r) is a hole when its Bayer rank
//            is at least the index, so index k draws k of the 64 pixels
//   64       solid: no bit set
//   65..68   horizontal lines every 2, 4 rows; vertical lines every 2, 4 columns
//   69..70   diagonal hatches rising and falling, every 4 pixels
//   71       cross hatch every 4 pixels
//   72       diagonal cross hatch every 4 pixels
//   73       checkerboard of 2x2 cells
//   74       (user pattern; the table entry is solid and unused)

void fill_patterns(uint8_t (&p)[75][8]) {
  for (int k = 0; k < 75; ++k)
    for (int r = 0; r < 8; ++r) {
      uint8_t bits = 0;
      for (int c = 0; c < 8; ++c) {
        bool hole = false;
        if (k == 0) hole = true;
        else if (k < 64) hole = bayer8[r][c] >= k;
        else if (k == 65) hole = (r % 2) != 0;
        else if (k == 66) hole = (r % 4) != 0;
        else if (k == 67) hole = (c % 2) != 0;
        else if (k == 68) hole = (c % 4) != 0;
        else if (k == 69) hole = ((c + r) % 4) != 0;
        else if (k == 70) hole = ((c - r + 8) % 4) != 0;
        else if (k == 71) hole = (r % 4) != 0 && (c % 4) != 0;
        else if (k == 72) hole = ((c + r) % 4) != 0 && ((c - r + 8) % 4) != 0;
        else if (k == 73) hole = ((c / 2 + r / 2) % 2) != 0;
        if (hole) bits |= uint8_t(1u << c);
      }
      p[k][r] = bits;
    }
}

struct Pattern_Initialiser {
  Pattern_Initialiser() { fill_patterns(ZARNIK.fill_patterns); }
};

}  // namespace

ZT_Zarnik_Globals ZARNIK;
const ZT_Shared_Constants SHARED = make_shared_constants();
static Pattern_Initialiser pattern_initialiser;
