// Values along one textured span: depth, texel coordinates and colour values
// of every pixel between the left and the right walker of a row.
//
//   depth    start (zl16 << 15) + 0x4000, step ((zr16 - zl16) << 15) / n,
//            zl16 and zr16 the walkers' 16-bit depths
//   U, V     start (Ul << 16) + 0x8000, step ((Ur - Ul) << 16) / n, Ul and Ur
//            the walkers' unsigned upper 16 bits: a span drops the walkers'
//            fractions at its start
//   colours  start the left walker's 8.8 value as it is, step
//            (right - left) / n by the channel divide
//   offsets  (lit strips) the walkers' light offsets truncated toward zero,
//            step by the channel divide
//
// The channel divide rounds its own way: n = 2, 4, 8 shift the difference
// right arithmetically (rounding toward minus infinity), n = 3, 5, 6, 7 and
// above 8 divide truncating toward zero, n = 0 and 1 keep the difference.
// Depth, U and V take the fixed-point divide of the walkers (shifts for 1, 2,
// 4, 8 that equal the truncating division).
//
// Pixel k of a span takes start + k × step.  The solid paths of E and F give
// the second pixel of a two-pixel span the mean of the two walkers instead:
// depth ((zl >> 1) + (zr >> 1)) >> 15, U and V the upper 16 bits of
// (left + right) >> 1, and colour products (t × (left + right)) >> 17 in place
// of (t × value) >> 16.  Colours are therefore kept doubled: a pixel's product
// is (t × colour) >> 17 throughout, which is (t × value) >> 16 for the value
// and the rule above for the mean.
#pragma once

#include <array>
#include <cstdint>

#include "pixel/fixed_point.h"
#include "textured/texel_interpolants.h"
#include "triangles/triangle_scan.h"

namespace textured {

template <typename T>
constexpr T channel_divide(T difference, int32_t n) {
  switch (n) {
  case 0:
  case 1: return difference;
  case 2: return difference >> 1;
  case 4: return difference >> 2;
  case 8: return difference >> 3;
  default: return difference / n;
  }
}

// A light offset of a walker as an integer: truncated toward zero, NaN as 0,
// beyond 2^62 held there (the light levels are bounded far below that).
inline int64_t offset_integer(float v) {
  if (!(v == v)) return 0;
  if (v >= 4.6e18f) return int64_t(1) << 62;
  if (v <= -4.6e18f) return -(int64_t(1) << 62);
  return int64_t(v);
}

// The textured walker with Colours 8.8 channels (and light offsets when Lit).
template <int Colours, bool Lit>
using Texel_Edge = triangles::Edge_Walker<
    true, 0, Texel_Interpolants<Colours, std::conditional_t<Lit, Light_Offsets, No_Offsets>>>;
template <int Colours, bool Lit>
using Texel_Vertex = triangles::Vertex<
    0, Texel_Interpolants<Colours, std::conditional_t<Lit, Light_Offsets, No_Offsets>>>;

template <int Colours, bool Lit>
struct Texel_Span {
  static constexpr int offsets = Lit ? 3 : 0;
  uint32_t depth = 0;  // 17.15
  int32_t depth_step = 0;
  uint32_t u = 0, v = 0;  // 16.16
  int32_t u_step = 0, v_step = 0;
  std::array<uint32_t, Colours> colour{};  // twice the 8.8 value
  std::array<int32_t, Colours> colour_step{};
  std::array<int64_t, offsets> offset{};
  std::array<int64_t, offsets> offset_step{};

  using Edge = Texel_Edge<Colours, Lit>;

  // Every pixel k takes start + k × step.  The depth alone, for the depth
  // tests, and the rest, made when a pixel first passes (most spans of a deep
  // scene have none).
  [[gnu::always_inline]] static Texel_Span depths(const Edge& left, const Edge& right,
                                                  const pixel::Step_Divider& per_pixel) {
    Texel_Span s;
    const int32_t zl = pixel::depth_of(int32_t(left.depth));
    const int32_t zr = pixel::depth_of(int32_t(right.depth));
    s.depth = uint32_t(pixel::start_15(zl));
    s.depth_step = per_pixel.step_15(zr - zl);
    return s;
  }
  [[gnu::noinline]] void add_texels(const Edge& left, const Edge& right, int32_t n,
                                         const pixel::Step_Divider& per_pixel) {
    const int32_t ul = int32_t(left.extra.u >> 16), ur = int32_t(right.extra.u >> 16);
    const int32_t vl = int32_t(left.extra.v >> 16), vr = int32_t(right.extra.v >> 16);
    u = uint32_t(pixel::start_16(ul));
    v = uint32_t(pixel::start_16(vl));
    u_step = per_pixel.step_16(ur - ul);
    v_step = per_pixel.step_16(vr - vl);
    for (int c = 0; c < Colours; ++c) {
      const int32_t cl = int32_t(left.extra.colour[c]), cr = int32_t(right.extra.colour[c]);
      colour[c] = uint32_t(cl) << 1;
      colour_step[c] = int32_t(uint32_t(channel_divide(int32_t(uint32_t(cr) - uint32_t(cl)), n)) << 1);
    }
    if constexpr (Lit)
      for (int k = 0; k < offsets; ++k) {
        const int64_t l = offset_integer(left.extra.offsets.at(k));
        const int64_t r = offset_integer(right.extra.offsets.at(k));
        offset[k] = l;
        offset_step[k] = channel_divide(r - l, n);
      }
  }
  [[gnu::always_inline]] static Texel_Span linear(const Edge& left, const Edge& right, int32_t n) {
    const pixel::Step_Divider per_pixel(n);
    Texel_Span s = depths(left, right, per_pixel);
    s.add_texels(left, right, n, per_pixel);
    return s;
  }

  // A two-pixel span on the solid paths of E and F: the second pixel takes the
  // mean of the walkers, which the steps are set to reach.
  [[gnu::always_inline]] static Texel_Span with_mean(const Edge& left, const Edge& right) {
    Texel_Span s = linear(left, right, 2);
    s.depth_step = int32_t(((left.depth >> 1) + (right.depth >> 1)) - s.depth);
    s.u_step = int32_t(uint32_t((uint64_t(left.extra.u) + right.extra.u) >> 1) - s.u);
    s.v_step = int32_t(uint32_t((uint64_t(left.extra.v) + right.extra.v) >> 1) - s.v);
    for (int c = 0; c < Colours; ++c)
      s.colour_step[c] = int32_t(right.extra.colour[c] - left.extra.colour[c]);
    return s;
  }

  void step() {
    depth += uint32_t(depth_step);
    u += uint32_t(u_step);
    v += uint32_t(v_step);
    for (int c = 0; c < Colours; ++c) colour[c] += uint32_t(colour_step[c]);
    for (int k = 0; k < offsets; ++k) offset[k] += offset_step[k];
  }
  // k (>= 0) pixels further along the span: the depth, the rest, both.
  void advance_depth(int32_t k) { depth += uint32_t(k) * uint32_t(depth_step); }
  void advance_texels(int32_t k) {
    const uint32_t n = uint32_t(k);
    u += n * uint32_t(u_step);
    v += n * uint32_t(v_step);
    for (int c = 0; c < Colours; ++c) colour[c] += n * uint32_t(colour_step[c]);
    for (int j = 0; j < offsets; ++j) offset[j] += int64_t(k) * offset_step[j];
  }
  void advance(int32_t k) {
    advance_depth(k);
    advance_texels(k);
  }

  uint32_t depth16() const { return (depth >> 15) & 0xFFFF; }
  uint32_t ui() const { return u >> 16; }
  uint32_t vi() const { return v >> 16; }
  // Colour channel c, doubled 8.8.
  int32_t doubled(int c) const { return int32_t(colour[c]); }
};

}  // namespace textured
