// The geometry of one half-open line segment: which pixels it lights, in
// which order, and which of them lie inside a rectangle.
//
// A segment from P = (x0, y0) to Q = (x1, y1) lights L = max(|dx|, |dy|)
// pixels, numbered k = 0 .. L - 1 from P; Q itself is not lit.  Coordinates
// here are local buffer coordinates inside the coordinate-safe square
// [-4000, 28760], so every 16.16 value below fits a signed 32-bit integer
// (28761 × 65536 < 2^31) and every product of the inverses fits 64 bits.
//
// Shapes:
//   horizontal  one row; pixel k at column x0 + sx·k
//   vertical    one column; pixel k on row y0 + sy·k
//   diagonal    pixel k at (x0 + sx·k, y0 + sy·k)
//   steep       |dy| > |dx|: pixel k on row y0 + sy·k, column the integer part
//               of the 16.16 column X_k = X_0 + k·S
//   shallow     |dx| > |dy| > 0: pixel k at column x0 + sx·k; the row is y0 + sy·j
//               where j counts the run boundaries B_0 .. B_{n-1} (B_j = B_0 + j·S)
//               already passed: moving right, row j holds the columns from
//               int(B_{j-1}) (x0 for j = 0) up to int(B_j) - 1; moving left,
//               from int(B_{j-1}) down to int(B_j) + 1; the last row (j = n)
//               ends at Q.
#pragma once

#include <algorithm>
#include <cstdint>

#include "pixel/fixed_point.h"
#include "host/zt_basics.h"

namespace lines {

// The seventeen classes, by the signs of dx and dy and |dx| against |dy|.
enum class Segment_Class : int32_t {
  Point = 0,
  Horizontal_Left = 1,
  Horizontal_Right = 2,
  Vertical_Down = 3,
  Vertical_Up = 4,
  Down_Shallow_Left = 5,
  Down_Diagonal_Left = 6,
  Down_Steep_Left = 7,
  Down_Shallow_Right = 8,
  Down_Diagonal_Right = 9,
  Down_Steep_Right = 10,
  Up_Shallow_Left = 11,
  Up_Diagonal_Left = 12,
  Up_Steep_Left = 13,
  Up_Shallow_Right = 14,
  Up_Diagonal_Right = 15,
  Up_Steep_Right = 16,
};
constexpr int32_t Segment_Class_Count = 17;

enum class Segment_Shape : int32_t { Point, Horizontal, Vertical, Diagonal, Steep, Shallow };

// Shape and directions of travel of each class, in class order (+1 right or
// up, -1 left or down, 0 not moving along that axis).
struct Class_Traits {
  Segment_Shape shape;
  int32_t dx, dy;
};
inline constexpr Class_Traits class_traits[Segment_Class_Count] = {
    {Segment_Shape::Point, 0, 0},      {Segment_Shape::Horizontal, -1, 0},
    {Segment_Shape::Horizontal, 1, 0}, {Segment_Shape::Vertical, 0, -1},
    {Segment_Shape::Vertical, 0, 1},   {Segment_Shape::Shallow, -1, -1},
    {Segment_Shape::Diagonal, -1, -1}, {Segment_Shape::Steep, -1, -1},
    {Segment_Shape::Shallow, 1, -1},   {Segment_Shape::Diagonal, 1, -1},
    {Segment_Shape::Steep, 1, -1},     {Segment_Shape::Shallow, -1, 1},
    {Segment_Shape::Diagonal, -1, 1},  {Segment_Shape::Steep, -1, 1},
    {Segment_Shape::Shallow, 1, 1},    {Segment_Shape::Diagonal, 1, 1},
    {Segment_Shape::Steep, 1, 1},
};
constexpr Segment_Shape shape_of(Segment_Class c) {
  return class_traits[int32_t(c)].shape;
}
constexpr int32_t x_direction(Segment_Class c) {
  return class_traits[int32_t(c)].dx;
}
constexpr int32_t y_direction(Segment_Class c) {
  return class_traits[int32_t(c)].dy;
}

struct Segment {
  int32_t x0 = 0, y0 = 0; // the first pixel
  int32_t x1 = 0, y1 = 0; // the end point, not lit
  Segment_Class kind = Segment_Class::Point;
  int32_t length = 0; // pixels lit, and the step count of depth and colour
  int32_t rows = 0;   // n = |dy|
  // Steep: the 16.16 column of pixel 0 and its step per row.  Shallow: the
  // first run boundary B_0 and its step per row.  Unused otherwise.
  int32_t minor_start = 0;
  int32_t minor_step = 0;
};

// The class of a segment moving by (dx, dy).
constexpr Segment_Class class_of(int32_t dx, int32_t dy) {
  const int32_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
  if (dy == 0) {
    if (dx == 0) return Segment_Class::Point;
    return dx < 0 ? Segment_Class::Horizontal_Left : Segment_Class::Horizontal_Right;
  }
  if (dx == 0) return dy < 0 ? Segment_Class::Vertical_Down : Segment_Class::Vertical_Up;
  // 5 + 6·(going up) + 3·(going right) + (0 shallow, 1 diagonal, 2 steep)
  const int32_t shape = ax > ay ? 0 : ax == ay ? 1 : 2;
  return Segment_Class(5 + (dy > 0 ? 6 : 0) + (dx > 0 ? 3 : 0) + shape);
}

// Classifies the segment and sets up its steps: one division, or a shift for
// step counts 1, 2, 4 and 8.  Inline: it runs once per segment and most of it
// folds away once the class is known.
inline Segment segment_between(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  Segment s;
  s.x0 = x0;
  s.y0 = y0;
  s.x1 = x1;
  s.y1 = y1;
  const int32_t dx = x1 - x0, dy = y1 - y0;
  s.kind = class_of(dx, dy);
  s.rows = dy < 0 ? -dy : dy;
  s.length = std::max(dx < 0 ? -dx : dx, s.rows);
  const int32_t x0_16 = int32_t(uint32_t(x0) << 16);
  switch (shape_of(s.kind)) {
  case Segment_Shape::Steep: {
    const int32_t n = s.rows;
    s.minor_step = pixel::step_16(dx, n);
    s.minor_start = x0_16 + pixel::half_16;
    if (dy < 0 && dx < 0) {
      // Truncation leaves S·n short of dx·65536 by e (0 <= e < n); starting e
      // lower makes the column after n steps exactly x1 + one half, so that the
      // segment ends where it should.
      const int32_t e = int32_t(int64_t(s.minor_step) * n - int64_t(dx) * 65536);
      s.minor_start -= e;
    }
    break;
  }
  case Segment_Shape::Shallow: {
    const int32_t S = pixel::step_16(dx, s.rows);
    s.minor_step = S;
    // The first boundary lies half a step beyond the start column's centre, so
    // every row change falls where the line crosses the middle between two
    // rows.  The constants below (65535 or 65536 moving right, 0 or -1 moving
    // left) decide a column whose centre falls exactly on a boundary: going
    // up and right, column 5 of (0,0)->(10,3) starts row 2.
    if (dy > 0)
      s.minor_start = dx > 0 ? x0_16 + 65535 + (S >> 1) : x0_16 + ((S + 1) >> 1);
    else
      s.minor_start = dx > 0 ? x0_16 + 65536 + (S >> 1) : x0_16 - 1 + ((S + 1) >> 1);
    break;
  }
  default:
    break;
  }
  return s;
}

// The pixel numbered k (0 <= k < length), evaluated directly rather than by
// stepping; the exact-clip stepper starts its accumulators from these.
struct Pixel_Position {
  int32_t x, y;
};
Pixel_Position pixel_at(const Segment& s, int32_t k);

// For a shallow segment: the row index j (0..n) of the pixel in column
// x0 + sx·k: the number of run boundaries it lies beyond.
int32_t shallow_row_index(const Segment& s, int32_t k);

// The pixels of the segment inside a rectangle (inclusive edges) are the
// numbers first .. last, one unbroken range, because both coordinates move
// monotonically along the segment.  Empty when first > last.
struct Pixel_Range {
  int32_t first, last;
  bool empty() const { return first > last; }
};
Pixel_Range visible_pixels(const Segment& s, const ZT_Int_Rectangle& r);

} // namespace lines
