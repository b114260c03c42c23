// Ordered dither of true colours into the palette's colour cube.
#pragma once

#include <cstdint>

#include "host/zarnik11.h"

namespace pixel {

// The dither threshold of a pixel of the 8-bit colour buffer: the host's 8×8
// table at column (byte address & 7), row (local y & 7).  The column comes from
// the byte address, so it equals local x & 7 when rows start on 8-byte
// boundaries.
inline const uint16_t* dither_row(int32_t local_y) {
  return SHARED.dither_table + 8 * (local_y & 7);
}
inline uint32_t dither_threshold(const uint16_t* row, const uint8_t* pixel) {
  return row[reinterpret_cast<uintptr_t>(pixel) & 7];
}

// The same rows with each row's eight thresholds twice over, so that the
// thresholds of up to eight pixels from any column on lie one after the other
// (row + column, …).  Read like dither_row's.
struct Repeated_Dither_Rows {
  uint16_t row[8][16];
};
inline const Repeated_Dither_Rows repeated_dither_rows = [] {
  Repeated_Dither_Rows r{};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) r.row[y][x] = SHARED.dither_table[8 * y + (x & 7)];
  return r;
}();
inline const uint16_t* dither_row_repeated(int32_t local_y) {
  return repeated_dither_rows.row[local_y & 7];
}

// The corner scheme for one true colour, computed once per colour: the colour's
// position in the cube is a base index plus, per component, a fraction toward
// the next level.  The corners i0..i3 step from the base along the components in
// order of their fractions, largest first (ties: red, then green, then blue),
// and a pixel picks the corner its threshold reaches:
//   i0 if t < 0xFFFF - f1, else i1 if t < 0xFFFF - f2, else i2 if t < 0xFFFF - f3, else i3.
struct Dither_Record {
  uint8_t corner[4];
  uint32_t limit[3];  // 0xFFFF - f1, 0xFFFF - f2, 0xFFFF - f3

  uint8_t index(uint32_t t) const {
    return t < limit[0] ? corner[0] : t < limit[1] ? corner[1] : t < limit[2] ? corner[2]
                                                                              : corner[3];
  }
  // The same corner without a branch on t.  Along a span the thresholds repeat
  // every eight pixels and the branches above predict well; along a line they
  // follow no pattern.  The limits ascend (the fractions descend), so the
  // corner's number is the count of limits t reaches.
  uint8_t index_without_branches(uint32_t t) const {
    return corner[int(t >= limit[0]) + int(t >= limit[1]) + int(t >= limit[2])];
  }
};

inline Dither_Record dither_record(const ZT_Color_Cube& cube, ZT_RGB32 c) {
  // v = component × scale × 256: 16 fraction bits, integer part a cube level.
  const int32_t vr = int32_t(uint32_t(c.r * cube.red_scale) << 8);
  const int32_t vg = int32_t(uint32_t(c.g * cube.green_scale) << 8);
  const int32_t vb = int32_t(uint32_t(c.b * cube.blue_scale) << 8);
  const uint32_t fr = uint32_t(vr) & 0xFFFF, fg = uint32_t(vg) & 0xFFFF,
                 fb = uint32_t(vb) & 0xFFFF;
  const uint8_t base = uint8_t(cube.base_index + (vr >> 16) * cube.red_step +
                               (vg >> 16) * cube.green_step + (vb >> 16));
  struct Component {
    uint32_t f;
    uint8_t step;
  } order[3];
  // A stable sort by fraction, largest first: equal fractions keep red, green,
  // blue order.  Each component's place is the count of those that go before
  // it, found by compares rather than branches (random colours give the
  // branches of a sort no pattern).
  order[int(fg > fr) + int(fb > fr)] = {fr, cube.red_step};
  order[int(fr >= fg) + int(fb > fg)] = {fg, cube.green_step};
  order[int(fr >= fb) + int(fg >= fb)] = {fb, 1};
  Dither_Record r;
  r.corner[0] = base;
  r.corner[1] = uint8_t(r.corner[0] + order[0].step);
  r.corner[2] = uint8_t(r.corner[1] + order[1].step);
  r.corner[3] = uint8_t(r.corner[2] + order[2].step);
  for (int i = 0; i < 3; ++i) r.limit[i] = 0xFFFF - order[i].f;
  return r;
}

// Per-component dither of interpolated cube levels (Gouraud shading): each
// component's level is ((s >> 8) + t) >> 16 for its 32-bit level accumulator s
// (the level with 24 fraction bits), and the index is
// base + red level × red step + green level × green step + blue level.
inline uint8_t dither_levels(const ZT_Color_Cube& cube, int32_t s_red, int32_t s_green,
                             int32_t s_blue, uint32_t t) {
  const int32_t lr = ((s_red >> 8) + int32_t(t)) >> 16;
  const int32_t lg = ((s_green >> 8) + int32_t(t)) >> 16;
  const int32_t lb = ((s_blue >> 8) + int32_t(t)) >> 16;
  return uint8_t(cube.base_index + lr * cube.red_step + lg * cube.green_step + lb);
}

}  // namespace pixel
