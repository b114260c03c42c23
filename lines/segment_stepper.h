// Stepping along one segment: the pixels first .. last of a Segment, each
// handed to a rule with the pen (depth and colour accumulators) that travels
// with it.  Every class has its own loop, chosen once per segment; inside a
// loop nothing depends on the shape or the direction.
//
// The pen arrives holding the values of pixel 0 and is moved to pixel first
// before the loop, so a clipped segment shows exactly the values it would
// have shown unclipped.
#pragma once

#include <cstdint>
#include <utility>

#include "lines/segment_geometry.h"

namespace lines {

namespace stepping {

// Every loop takes the rule and the pen by value, as its own copies: it writes
// pixels through pointers the compiler cannot otherwise tell apart from their
// fields, which would then be read again from memory at every pixel.

template <int Dx, int Dy, typename Rule, typename Pen>
void one_per_row(const Rule rule, int32_t x, int32_t y, int32_t n, Pen pen) {
  for (; n > 0; --n, x += Dx, y += Dy) {
    rule.plot(y, x, pen.depth(), pen.colour);
    pen.step();
  }
}

// Steep: the column is the integer part of the 16.16 value X.
template <int Dy, typename Rule, typename Pen>
void steep(const Rule rule, int32_t X, int32_t S, int32_t y, int32_t n, Pen pen) {
  for (; n > 0; --n, X += S, y += Dy) {
    rule.plot(y, X >> 16, pen.depth(), pen.colour);
    pen.step();
  }
}

// Shallow: column by column; the row moves on where the column reaches the
// next run boundary int(B_j).  Every run is at least one column long (|S| is
// more than one column), so a column crosses at most one boundary.  B is
// 64-bit: B_n, one past the last boundary, may not fit 32 bits, and its column
// always lies beyond the segment's end, so it is never reached.
template <int Dx, int Dy, typename Rule, typename Pen>
void shallow(const Rule rule, int32_t x, int32_t y, int64_t B, int32_t S, int32_t n, Pen pen) {
  int32_t next_row_at = int32_t(B >> 16);
  for (; n > 0; --n, x += Dx) {
    if (x == next_row_at) {
      y += Dy;
      B += S;
      next_row_at = int32_t(B >> 16);
    }
    rule.plot(y, x, pen.depth(), pen.colour);
    pen.step();
  }
}

template <Segment_Class C, typename Rule, typename Pen>
void pixels_of_class(const Rule& rule, const Segment& s, int32_t first, int32_t n, Pen pen) {
  constexpr int Dx = x_direction(C), Dy = y_direction(C);
  constexpr Segment_Shape shape = shape_of(C);
  if constexpr (shape == Segment_Shape::Horizontal) {
    rule.template run<Dx>(s.y0, s.x0 + Dx * first, n, pen);
  } else if constexpr (shape == Segment_Shape::Vertical || shape == Segment_Shape::Diagonal) {
    one_per_row<Dx, Dy>(rule, s.x0 + Dx * first, s.y0 + Dy * first, n, pen);
  } else if constexpr (shape == Segment_Shape::Steep) {
    const int32_t X = int32_t(s.minor_start + int64_t(first) * s.minor_step);
    steep<Dy>(rule, X, s.minor_step, s.y0 + Dy * first, n, pen);
  } else if constexpr (shape == Segment_Shape::Shallow) {
    const int32_t j = first == 0 ? 0 : shallow_row_index(s, first);
    const int64_t B = s.minor_start + int64_t(j) * s.minor_step;
    shallow<Dx, Dy>(rule, s.x0 + Dx * first, s.y0 + Dy * j, B, s.minor_step, n, pen);
  }
}

template <typename Rule, typename Pen, int32_t... C>
void pixels_by_class(const Rule& rule, const Segment& s, int32_t first, int32_t n, const Pen& pen,
                     std::integer_sequence<int32_t, C...>) {
  ((s.kind == Segment_Class(C) ? (pixels_of_class<Segment_Class(C)>(rule, s, first, n, pen), true)
                               : false) ||
   ...);
}

} // namespace stepping

// Lights the pixels range.first .. range.last of s (a subset of 0 .. length - 1).
template <typename Rule, typename Pen>
void step_segment(const Rule& rule, const Segment& s, Pixel_Range range, Pen pen) {
  if (range.empty()) return;
  pen.advance(range.first);
  stepping::pixels_by_class(rule, s, range.first, range.last - range.first + 1, pen,
                            std::make_integer_sequence<int32_t, Segment_Class_Count>{});
}

} // namespace lines
