// Values along one span: the depth and the channels of every pixel between the
// left and the right walker of a row.
//
//   depth    pixel k takes ((zl16 << 15) + 0x4000 + k × dz) >> 15,
//            dz = ((zr16 - zl16) << 15) / count
//   channel  pixel k takes the upper 16 bits of (cl << 16) + 0x8000 + k × dc,
//            dc = ((cr - cl) << 16) / count
//
// zl16, cl, … are the integer parts of the walkers' values, so a span restarts
// half a unit into the left walker's value and the last pixel does not reach
// the right one.  Cube levels (mapped Gouraud) use the whole 32-bit channel
// accumulator, not only its upper half.
#pragma once

#include <array>
#include <cstdint>

#include "pixel/fixed_point.h"
#include "triangles/triangle_scan.h"

namespace triangles {

template <bool Depth, int Channels>
struct Span_Values {
  uint32_t depth = 0;  // 17.15
  int32_t depth_step = 0;
  std::array<uint32_t, Channels> channel{};  // 16.16
  std::array<int32_t, Channels> channel_step{};

  using Edge = Edge_Walker<Depth, Channels>;

  // Every pixel k of the span takes start + k × step.
  static Span_Values linear(const Edge& left, const Edge& right, int32_t count) {
    Span_Values v;
    const Count_Divider<Channels> per_pixel(count);
    if constexpr (Depth) {
      const int32_t zl = pixel::depth_of(int32_t(left.depth));
      const int32_t zr = pixel::depth_of(int32_t(right.depth));
      v.depth = uint32_t(pixel::start_15(zl));
      v.depth_step = per_pixel.step_15(zr - zl);
    }
    for (int c = 0; c < Channels; ++c) {
      const int32_t cl = int32_t(left.channel[c]) >> 16, cr = int32_t(right.channel[c]) >> 16;
      v.channel[c] = uint32_t(pixel::start_16(cl));
      v.channel_step[c] = per_pixel.step_16(cr - cl);
    }
    return v;
  }

  // The values of a whole span as the unclipped rasterisers take them: linear,
  // except that the second pixel of a two-pixel span takes the mean of the two
  // walkers (depth ((zl >> 1) + (zr >> 1)) >> 15, channel (cl + cr) >> 17),
  // which the step is set to reach.
  static Span_Values whole(const Edge& left, const Edge& right, int32_t count) {
    Span_Values v = linear(left, right, count);
    if (count == 2) {
      if constexpr (Depth)
        v.depth_step = int32_t(((left.depth >> 1) + (right.depth >> 1)) - v.depth);
      for (int c = 0; c < Channels; ++c) {
        const uint32_t mean = uint32_t((uint64_t(left.channel[c]) + right.channel[c]) >> 1);
        v.channel_step[c] = int32_t(mean - v.channel[c]);
      }
    }
    return v;
  }

  void step() {
    if constexpr (Depth) depth += uint32_t(depth_step);
    for (int c = 0; c < Channels; ++c) channel[c] += uint32_t(channel_step[c]);
  }
  // k (>= 0) pixels further along the span.
  void advance(int32_t k) {
    if constexpr (Depth) depth += uint32_t(k) * uint32_t(depth_step);
    for (int c = 0; c < Channels; ++c) channel[c] += uint32_t(k) * uint32_t(channel_step[c]);
  }
  uint32_t depth16() const { return (depth >> 15) & 0xFFFF; }
};

// The Row_Spans of the rasterisers: the span of a row covers the columns from
// the left walker's up to, not including, the right walker's, and spans of
// fewer than one pixel draw nothing.  How much of a span is drawn, and with
// which values, is the Cut's: cut(write, y, x, count, left, right).
template <class Span_Writer, class Cut>
struct Row_Spans {
  Span_Writer& write;
  Cut cut;

  template <bool Depth, int Channels>
  void operator()(int32_t y, const Edge_Walker<Depth, Channels>& left,
                  const Edge_Walker<Depth, Channels>& right) {
    const int32_t x = left.column();
    const int32_t count = right.column() - x;
    if (count < 1) return;
    cut(write, y, x, count, left, right);
  }
};

// The unclipped rasterisers draw every span whole.
struct Whole_Span {
  template <class Span_Writer, bool Depth, int Channels>
  void operator()(Span_Writer& write, int32_t y, int32_t x, int32_t count,
                  const Edge_Walker<Depth, Channels>& left,
                  const Edge_Walker<Depth, Channels>& right) const {
    write(y, x, count, Span_Values<Depth, Channels>::whole(left, right, count));
  }
};

template <class Span_Writer>
using Whole_Spans = Row_Spans<Span_Writer, Whole_Span>;

}  // namespace triangles
