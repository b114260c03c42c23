// Scan conversion through a clip rectangle: the same walk as the unclipped
// rasterisers (scan_triangle), with the rows and the spans cut to the rectangle.
//
// Walk coordinates.  A clipped triangle is walked in device coordinates minus
// the lower-left corner of the coordinate-safe square, so every vertex of a
// triangle inside the square has x and y in 0 .. 32760 and every 16.16 x is a
// non-negative value below 2^31: the unsigned formats, the unsigned side test of
// the lower half and the row and column arithmetic of the unclipped walk hold
// unchanged.  The offset is a whole number of pixels, so it changes no fraction
// bit: columns, steps and sides are those of the unclipped walk of the same
// triangle, moved by the offset.
//
// Values.  A cut span takes its depth and channels from the unclipped walkers:
// the step over the whole unclipped width, the first drawn pixel advanced from
// the span's start by its distance from the left end.  Every span takes the
// linear rule, also at two pixels (the unclipped rasterisers give the second
// pixel of a two-pixel span the mean of the walkers instead).
#pragma once

#include <algorithm>
#include <cstdint>

#include "pixel/frame.h"
#include "triangles/span_values.h"
#include "triangles/triangle_scan.h"
#include "host/zarnik11.h"

namespace triangles {

// The square every clipped triangle is first brought into: within it every
// position delta, shifted to 16.16, fits 32 bits (fixed_point.h).
constexpr ZT_Int_Rectangle coordinate_safe_square{-4000, 28760, -4000, 28760};

constexpr bool within_safe_square(const ZT_DCI_Point& p) {
  const ZT_Int_Rectangle& s = coordinate_safe_square;
  return p.x >= s.left && p.x <= s.right && p.y >= s.bottom && p.y <= s.top;
}

// A device point's walk coordinates (the point lies within the safe square).
constexpr int32_t walk_x(int32_t device_x) { return device_x - coordinate_safe_square.left; }
constexpr int32_t walk_y(int32_t device_y) { return device_y - coordinate_safe_square.bottom; }

// The pixels a clipped draw may write: the hard-clip rectangle within the
// window and within the safe square.
struct Clip_Window {
  ZT_Int_Rectangle device;  // inclusive device coordinates (empty: left > right)
  // Columns [left, right_end) and rows [bottom, top_end) in walk coordinates.
  int32_t left = 0, right_end = 0, bottom = 0, top_end = 0;
  // local = walk + to_local (local: device minus window origin).
  int32_t to_local_x = 0, to_local_y = 0;

  Clip_Window(const ZT_Int_Rectangle& hard_clip, const pixel::Frame& frame) {
    const ZT_Int_Rectangle& s = coordinate_safe_square;
    const int64_t l = std::max<int64_t>({hard_clip.left, frame.origin_x, s.left});
    const int64_t r =
        std::min<int64_t>({hard_clip.right, int64_t(frame.origin_x) + frame.width - 1, s.right});
    const int64_t b = std::max<int64_t>({hard_clip.bottom, frame.origin_y, s.bottom});
    const int64_t t =
        std::min<int64_t>({hard_clip.top, int64_t(frame.origin_y) + frame.height - 1, s.top});
    if (l > r || b > t) return;
    // All four lie within the safe square, and the window reaches into it, so
    // the offsets below lie within -32760 .. window size.
    device = {int32_t(l), int32_t(r), int32_t(b), int32_t(t)};
    left = walk_x(device.left);
    right_end = walk_x(device.right) + 1;
    bottom = walk_y(device.bottom);
    top_end = walk_y(device.top) + 1;
    to_local_x = s.left - frame.origin_x;
    to_local_y = s.bottom - frame.origin_y;
  }

  bool empty() const { return left >= right_end; }
  Row_Window rows() const { return {bottom, top_end}; }
};

// How the clipping rasterisers cut a span: to the window's columns, handed on
// in local coordinates with the values the unclipped span [x, x + count) has
// at its first drawn pixel.
struct Cut_To_Window {
  const Clip_Window& clip;

  template <class Span_Writer, bool Depth, int Channels>
  void operator()(Span_Writer& write, int32_t y, int32_t x, int32_t count,
                  const Edge_Walker<Depth, Channels>& left,
                  const Edge_Walker<Depth, Channels>& right) const {
    const int32_t from = std::max(x, clip.left);
    const int32_t to = std::min(x + count, clip.right_end);
    if (from >= to) return;
    auto values = Span_Values<Depth, Channels>::linear(left, right, count);
    values.advance(from - x);
    write(y + clip.to_local_y, from + clip.to_local_x, to - from, values);
  }
};

// Scan-converts one triangle in walk coordinates through the clip window.
template <bool Depth, int Channels, class Span_Writer>
inline void paint_clipped_triangle(const Clip_Window& clip, const Vertex<Channels> (&v)[3],
                                   Span_Writer& writer) {
  Row_Spans<Span_Writer, Cut_To_Window> spans{writer, {clip}};
  scan_triangle<Depth, Channels>(v[0], v[1], v[2], clip.rows(), spans);
}

}  // namespace triangles
