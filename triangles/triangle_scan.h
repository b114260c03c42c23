// Scan conversion of one triangle: the vertex sort, the edge walkers and the
// walk over the triangle's two halves.
//
// Every triangle rasteriser of this family runs through scan_triangle.  What
// differs between them is what the edges carry besides x (a depth, colour
// channels, colour-cube levels, and for other families further interpolants:
// Extra) and what is done with a span (Row_Spans).
//
// Formats.  x is unsigned 16.16 with the column in the upper 16 bits, started at
// (x << 16) + 0x8000; depth is 17.15, started at (z << 15) + 0x4000; a channel
// is 16.16 like x.  Steps are the signed deltas shifted and divided by the row
// count, truncated toward zero (pixel::fixed_divide, shifts for 1, 2, 4, 8;
// taken through Count_Divider, which gives the same values).
// Accumulators add in unsigned 32-bit arithmetic: that gives the bits of the
// signed sums and stays defined when a hostile depth wraps.
//
// Fill rule.  Rows are half-open: the top row of a triangle is drawn, its
// bottom row is not (it belongs to the triangle below).  Columns are half-open
// too: because every edge starts half a pixel in, the span of row r covers the
// columns c with round(xl(r)) <= c < round(xr(r)).  Two triangles sharing an
// edge walk it with the same start and step, so each pixel along it is drawn
// exactly once.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <type_traits>

#include "pixel/fixed_point.h"

namespace triangles {

// Interpolants beyond x, depth and the 16.16 channels, which a family adds to
// the walkers (the textured triangles' texel coordinates, say).  Extra::Vertex
// is what a vertex holds of them, Extra::Edge their walker:
//   Edge::between(a, b, rows)   the edge from a down to b, rows (>= 1) rows further
//   step(), advance(rows)       one row on, rows (>= 0) rows on
// advance(rows) gives the bits of rows calls of step().
struct No_Extra {
  struct Vertex {};
  struct Edge {
    static Edge between(const Vertex&, const Vertex&, int32_t) { return {}; }
    void step() {}
    void advance(int32_t) {}
  };
};

// A vertex in local buffer coordinates (device minus window origin), its depth
// with the face's depth offset added, and Channels values to interpolate.
template <int Channels, class Extra = No_Extra>
struct Vertex {
  int32_t x = 0, y = 0, z = 0;
  std::array<int32_t, Channels> channel{};
  [[no_unique_address]] typename Extra::Vertex extra{};
};

// The difference b - a of two 32-bit values, wrapping instead of overflowing.
constexpr int32_t wrapping_difference(int32_t b, int32_t a) {
  return int32_t(uint32_t(b) - uint32_t(a));
}

// How the walkers and spans of a triangle with Channels interpolated channels
// divide by a row or pixel count.  Flat triangles (one or two quantities over a
// count) go through the multipliers: small triangles give counts in no
// pattern, and a branch on the count mispredicts where the multiplication has
// none.  Gouraud walkers and spans (four or five quantities over one count)
// keep the shifts and the division, which measured faster on long strips,
// whose regular counts the branch predicts.
template <int Channels>
using Count_Divider =
    std::conditional_t<Channels == 0, pixel::Step_Divider, pixel::Plain_Step_Divider>;

// One edge walker: where the edge crosses the current row, and how that moves
// from row to row.
template <bool Depth, int Channels, class Extra = No_Extra>
struct Edge_Walker {
  uint32_t x = 0;  // 16.16, the integer column in the upper 16 bits
  int32_t x_step = 0;
  uint32_t depth = 0;  // 17.15
  int32_t depth_step = 0;
  std::array<uint32_t, Channels> channel{};  // 16.16
  std::array<int32_t, Channels> channel_step{};
  [[no_unique_address]] typename Extra::Edge extra{};

  // The edge from a down to b, which lies rows (>= 1) rows further.
  static Edge_Walker between(const Vertex<Channels, Extra>& a, const Vertex<Channels, Extra>& b,
                             int32_t rows) {
    Edge_Walker e;
    const Count_Divider<Channels> per_row(rows);
    e.x = uint32_t(pixel::start_16(a.x));
    e.x_step = per_row.step_16(b.x - a.x);
    if constexpr (Depth) {
      e.depth = uint32_t(pixel::start_15(a.z));
      e.depth_step = per_row.step_15_wrapped(wrapping_difference(b.z, a.z));
    }
    for (int c = 0; c < Channels; ++c) {
      e.channel[c] = uint32_t(pixel::start_16(a.channel[c]));
      e.channel_step[c] = per_row.step_16(b.channel[c] - a.channel[c]);
    }
    e.extra = Extra::Edge::between(a.extra, b.extra, rows);
    return e;
  }

  void step() {
    x += uint32_t(x_step);
    if constexpr (Depth) depth += uint32_t(depth_step);
    for (int c = 0; c < Channels; ++c) channel[c] += uint32_t(channel_step[c]);
    extra.step();
  }
  // rows (>= 0) rows further: the same bits as that many calls of step().
  void advance(int32_t rows) {
    const uint32_t n = uint32_t(rows);
    x += n * uint32_t(x_step);
    if constexpr (Depth) depth += n * uint32_t(depth_step);
    for (int c = 0; c < Channels; ++c) channel[c] += n * uint32_t(channel_step[c]);
    extra.advance(rows);
  }
  int32_t column() const { return int32_t(x >> 16); }
};

// The vertices of a triangle ordered by y: the walk starts at top (the smallest
// y) and ends at bottom.  Ties keep the strip order where the compares allow.
struct Vertex_Order {
  int top, middle, bottom;
};

constexpr Vertex_Order order_by_y(int32_t y0, int32_t y1, int32_t y2) {
  // The order by the three compares y0 <= y1, y1 <= y2, y0 <= y2 (bits 0, 1,
  // 2), looked up rather than branched on: random triangles give the
  // branches no pattern.  Equal values keep the strip order where the compares
  // allow.
  constexpr Vertex_Order by_compares[8] = {{2, 1, 0}, {2, 0, 1}, {1, 2, 0}, {0, 1, 2},
                                           {1, 0, 2}, {0, 2, 1}, {1, 0, 2}, {0, 1, 2}};
  return by_compares[int(y0 <= y1) | int(y1 <= y2) << 1 | int(y0 <= y2) << 2];
}

// The rows a draw may touch: [first, end).  The unclipped rasterisers pass the
// window's rows; a clipping rasteriser passes its clip rectangle's.
struct Row_Window {
  int32_t first, end;
};

// Walks rows [first, end) of one half between two walkers that stand at row
// first, handing each row within the window to spans(y, left, right).  Rows
// above the window are skipped by advancing the walkers, which gives them the
// values that stepping row by row would have given.
template <class Edge, class Row_Spans>
inline void walk_half(int32_t first, int32_t end, Row_Window window, Edge left, Edge right,
                      Row_Spans& spans) {
  const int32_t from = std::max(first, window.first);
  const int32_t to = std::min(end, window.end);
  if (from >= to) return;
  if (from > first) {
    left.advance(from - first);
    right.advance(from - first);
  }
  for (int32_t y = from; y < to; ++y) {
    spans(y, left, right);
    left.step();
    right.step();
  }
}

// Scan-converts one triangle.  Row_Spans is called as spans(y, left, right) for
// every row of the triangle inside the window, left and right being the
// Edge_Walker of each side at that row (its Extra part included).
//
// The long edge runs from top to bottom and keeps stepping from the upper half
// into the lower one; the upper short edge runs from top to middle, the lower
// one from middle to bottom.  Upper half: the short edge is the right side when
// its x step is larger.  Lower half: the short edge is the left side when its
// start lies left of the long edge at that row (an unsigned compare of the
// 16.16 values).
template <bool Depth, int Channels, class Extra, class Row_Spans>
inline void scan_triangle(const Vertex<Channels, Extra>& p0, const Vertex<Channels, Extra>& p1,
                          const Vertex<Channels, Extra>& p2, Row_Window window, Row_Spans& spans) {
  using Point = Vertex<Channels, Extra>;
  using Edge = Edge_Walker<Depth, Channels, Extra>;
  const Point* p[3] = {&p0, &p1, &p2};
  const Vertex_Order order = order_by_y(p0.y, p1.y, p2.y);
  const Point& top = *p[order.top];
  const Point& middle = *p[order.middle];
  const Point& bottom = *p[order.bottom];

  const int32_t rows = bottom.y - top.y;
  if (rows < 1 || bottom.y <= window.first || top.y >= window.end) return;
  // Two vertices on one point (the joints of strips stitched from separate
  // triangles): the only half with rows lies between two identical edges, so
  // every span is empty.  Skipping it spares the walk over its rows.
  if ((top.x == middle.x && top.y == middle.y) || (middle.x == bottom.x && middle.y == bottom.y))
    return;
  const Edge long_edge = Edge::between(top, bottom, rows);
  const int32_t upper_rows = middle.y - top.y;
  const int32_t lower_rows = bottom.y - middle.y;

  // The sides are picked by selecting pointers, not by branching: which side
  // the short edge lies on follows no pattern either.
  if (upper_rows >= 1) {
    const Edge short_edge = Edge::between(top, middle, upper_rows);
    const bool short_right = short_edge.x_step > long_edge.x_step;
    walk_half(top.y, middle.y, window, short_right ? long_edge : short_edge,
              short_right ? short_edge : long_edge, spans);
  }
  if (lower_rows >= 1) {
    Edge long_lower = long_edge;
    long_lower.advance(upper_rows);
    const Edge short_edge = Edge::between(middle, bottom, lower_rows);
    const bool short_left = short_edge.x < long_lower.x;
    walk_half(middle.y, bottom.y, window, short_left ? short_edge : long_lower,
              short_left ? long_lower : short_edge, spans);
  }
}

}  // namespace triangles
