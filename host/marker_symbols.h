// The host's marker symbols, drawn around each point of a polymarker whose
// marker style is non-zero.  Every symbol fits the 7 by 7 pixels centred on
// its point.  Outlines are one-pixel polylines through the offsets listed;
// filled symbols are flat triangles drawn through the renderer's float strip.
//
//   1 plus       +   row and column through the point, 3 pixels each way
//   2 asterisk   *   the plus and the two diagonals, 2 pixels each way
//   3 circle     o   a ring through (3,0) (2,2) (0,3) ... around the point
//   4 cross      x   the two diagonals, 3 pixels each way
//   5 square         outline of the 7 by 7 square
//   6 filled square  all 49 pixels
//   7 diamond        outline through (0,-3) (3,0) (0,3) (-3,0)
//   8 filled diamond the diamond around the point's pixel, reaching 3 pixels each way
//   9 triangle       outline through (-3,-3) (3,-3) (0,3)
//  10 filled triangle the same triangle, filled
// Any other non-zero style draws the plus.
#pragma once

#include <cstdint>

#include "host/zt_basics.h"

namespace zd_host {

constexpr int32_t marker_symbol_count = 10;

struct Marker_Stroke {
  int32_t count = 0;
  ZT_Int_Point offset[16];
};

// A filled part: a triangle strip of points offset from the marker's pixel,
// in continuous coordinates (the pixel covers [0, 1) × [0, 1)).
struct Marker_Fill {
  int32_t count = 0;
  float offset[4][2] = {};
};

struct Marker_Symbol {
  int32_t strokes = 0;
  Marker_Stroke stroke[4];
  int32_t fills = 0;
  Marker_Fill fill[2];
};

const Marker_Symbol& marker_symbol(int32_t style);

}  // namespace zd_host
