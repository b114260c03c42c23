// The host's face patterns: indices 75 to 82, beyond the built-in ones that
// renderers draw themselves (0 to 74).  A renderer hands faces with these
// indices to the host, which draws them through the renderer's own user
// pattern (74) holding the host pattern's bits, so the pattern origin and the
// invert and background flags keep their meaning.
//
// Bits as everywhere: a set bit is a hole, the least significant bit is the
// leftmost pixel, row 0 is the row at the pattern origin and rows count
// upward.  The set (# drawn, . hole), each shown from row 0 up:
//
//   75 bricks, 8x8       76 sparse dots, 4x4   77 diagonal bands, 8x8
//   #######.             #...                  ####....
//   #######.             ....                  ###....#   (drawn where
//   #######.             ....                  ##....##    (x + y) mod 8 < 4)
//   ........             ....                  ...
//   ###.####
//   ###.####             78 horizontal bands, 8x8: rows 0-3 drawn, 4-7 holes
//   ###.####             79 vertical bands, 8x8: columns 0-3 drawn, 4-7 holes
//   ........             80 grid, 8x8: row 0 and column 0 drawn
//                        81 checkerboard of 8x8 cells, 16x16 (cell at origin drawn)
//   82 plus signs, 8x8:  ...#.... / ...#.... / .#####.. / ...#.... / ...#.... / then 3 empty rows
#pragma once

#include <cstdint>

#include "host/zt_rendition.h"

constexpr int32_t ZD_First_Host_Pattern = 75;
constexpr int32_t ZD_Host_Pattern_Count = 8;

struct ZD_Host_Pattern {
  int32_t width = 8, height = 8;
  int32_t row_bytes = 1;
  uint8_t bits[16 * 2] = {};  // height rows of row_bytes bytes
};

// The host pattern of an index, or null for an index outside 75 to 82.
const ZD_Host_Pattern* ZD_host_pattern(int32_t index);

// The rendition a host routine draws a face with: for a host pattern, a copy
// whose face draws the user pattern 74 with the host pattern's bits; for any
// other index outside 0 to 74, a copy whose face is solid (pattern 64, no
// flags); the rendition itself when its pattern is one renderers draw.
ZT_Rendition ZD_With_Host_Pattern(const ZT_Rendition& rendition);
