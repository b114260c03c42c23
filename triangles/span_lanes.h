// Spans in lanes: the solid span of an interpolating shade written as many
// pixels at a time as the lane type has 32-bit lanes (eight: two SSE2
// registers or one AVX2 register; the lane operations are lanes_sse2.h and
// lanes_avx2.h).
//
// Lane k of a block holds the span's values stepped k times: the start and
// step of every quantity are the pixel loop's, applied as start + k × step and
// then advanced by lanes × step a block, all in wrapping 32-bit arithmetic, so
// every lane holds the accumulator the pixel loop would hold at that pixel.
// From there each pixel's depth test and colour are the pixel loop's rules
// computed on lanes.  A block reads and writes back a whole register's worth of
// pixels (and depths); the pixels that fail the depth test, that the shade
// leaves alone, or that lie past the span's end are written back as they were.
// A block may therefore start only where the row has room for all its lanes;
// the span writer finishes the rest pixel by pixel.
//
// This header is written for any lane type and includes nothing else of the
// renderer: the AVX2 form is compiled in a file of its own with AVX2 enabled,
// and nothing it instantiates may be shared with code that runs without it.
#pragma once

#include <cstdint>
#include <type_traits>

namespace triangles {

// What the lanes of a span read, as plain data.
struct Lane_Span {
  uint8_t* pixels = nullptr;    // the span's first pixel: 4-byte words or 1-byte indices
  uint16_t* depths = nullptr;   // its first depth, when there is a depth buffer
  int32_t count = 0;            // pixels in the span
  int32_t blocks = 0;           // blocks to write from the first pixel
  uint32_t depth = 0;           // 17.15 start
  int32_t depth_step = 0;
  uint32_t channel[4] = {};     // 16.16 starts (cube levels: 8.24)
  int32_t channel_step[4] = {};
  const uint16_t* thresholds = nullptr;  // the row's dither thresholds, twice over
  uint64_t row_indices = 0;              // the row's dithered indices (lane_row_from)
  int32_t cube_base = 0, red_step = 0, green_step = 0;
};

// The shades a span can be written with in lanes.
struct Lane_Opaque_Channels {};  // blue, green, red stored with alpha 255
struct Lane_Alpha_Channels {};   // blue, green, red, alpha under the alpha rule
struct Lane_Cube_Levels {};      // red, green, blue cube levels, each dithered
struct Lane_Row_Indices {};      // one colour's dithered index, by column

template <class L, class Kind>
struct Lane_Colour;

// A row's eight dithered indices, byte j for the columns whose byte address is
// j modulo 8, turned to start at the pixel p: byte k for pixel p + k.  (Each
// file its own copy: the AVX2 file's is compiled for AVX2.)
static inline uint64_t lane_row_from(uint64_t row, const uint8_t* p) {
  const uint32_t shift = 8 * uint32_t(reinterpret_cast<uintptr_t>(p) & 7);
  return (row >> shift) | (row << ((64 - shift) & 63));
}

// The pixel's colour word: opaque alpha over the upper bytes of the blue,
// green and red accumulators.
template <class L>
inline typename L::V lane_colour_word(typename L::V b, typename L::V g, typename L::V r) {
  using V = typename L::V;
  const V byte_2 = L::and_(r, L::set1(0x00FF0000));
  const V byte_1 = L::and_(L::template shift_right<8>(g), L::set1(0x0000FF00));
  const V byte_0 = L::template shift_right<24>(L::template shift_left<8>(b));
  return L::or_(L::or_(L::set1(int32_t(0xFF000000u)), byte_2), L::or_(byte_1, byte_0));
}

// Channel accumulators as lanes, n of them.
template <class L, int N>
struct Lane_Channels {
  using V = typename L::V;
  V value[N], step[N];
  explicit Lane_Channels(const Lane_Span& s) {
    for (int c = 0; c < N; ++c) value[c] = L::ramp(s.channel[c], s.channel_step[c]);
  }
  // Before the second block: the steps from block to block.
  void begin_stepping(const Lane_Span& s) {
    for (int c = 0; c < N; ++c)
      step[c] = L::set1(int32_t(uint32_t(s.channel_step[c]) * uint32_t(L::width)));
  }
  void advance() {
    for (int c = 0; c < N; ++c) value[c] = L::add(value[c], step[c]);
  }
};

template <class L>
struct Lane_Colour<L, Lane_Opaque_Channels> : Lane_Channels<L, 3> {
  using V = typename L::V;
  using Lane_Channels<L, 3>::Lane_Channels;
  void write(uint8_t* pixels, V pass) const {
    uint32_t* p = reinterpret_cast<uint32_t*>(pixels);
    const V old = L::load_words(p);
    L::store_words(p, L::select(pass, lane_colour_word<L>(this->value[0], this->value[1],
                                                          this->value[2]), old));
  }
  static constexpr int32_t pixel_bytes = 4;
};

// Alpha (channel 3) at or below 0 leaves the pixel, at or above 255 stores the
// word, and anything between blends each colour byte as
// (source × a + stored × (255 - a)) / 255 with alpha 255; the division is
// (x + 1 + (x >> 8)) >> 8, exact for every x up to 255 × 255.
template <class L>
struct Lane_Colour<L, Lane_Alpha_Channels> : Lane_Channels<L, 4> {
  using V = typename L::V;
  using Lane_Channels<L, 4>::Lane_Channels;
  // One blended byte from the low bytes of source and stored.
  static V blend_byte(V source, V stored, V a, V inverse) {
    const V byte = L::set1(0xFF);
    const V x = L::add(L::multiply_low(L::and_(source, byte), a),
                       L::multiply_low(L::and_(stored, byte), inverse));
    return L::template shift_right<8>(L::add(L::add(x, L::set1(1)), L::template shift_right<8>(x)));
  }
  void write(uint8_t* pixels, V pass) const {
    uint32_t* p = reinterpret_cast<uint32_t*>(pixels);
    const V a = L::template shift_right_signed<16>(this->value[3]);
    const V writes = L::and_(pass, L::greater(a, L::zero()));
    if (!L::any(writes)) return;
    const V old = L::load_words(p);
    const V colour = lane_colour_word<L>(this->value[0], this->value[1], this->value[2]);
    // Where 0 < a < 255 the low byte is a itself.
    const V a8 = L::and_(a, L::set1(0xFF));
    const V inverse = L::sub(L::set1(255), a8);
    const V blue = blend_byte(colour, old, a8, inverse);
    const V green = blend_byte(L::template shift_right<8>(colour), L::template shift_right<8>(old),
                               a8, inverse);
    const V red = blend_byte(L::template shift_right<16>(colour),
                             L::template shift_right<16>(old), a8, inverse);
    const V blended = L::or_(L::or_(L::set1(int32_t(0xFF000000u)), blue),
                             L::or_(L::template shift_left<8>(green), L::template shift_left<16>(red)));
    const V result = L::select(L::greater(a, L::set1(254)), colour, blended);
    L::store_words(p, L::select(writes, result, old));
  }
  static constexpr int32_t pixel_bytes = 4;
};

// Each cube level is ((s >> 8) + t) >> 16 of its accumulator s and the pixel's
// threshold t; the index is base + red × red step + green × green step + blue,
// of which the low byte is stored (so the products need only their low bits).
template <class L>
struct Lane_Colour<L, Lane_Cube_Levels> : Lane_Channels<L, 3> {
  using V = typename L::V;
  const uint16_t* thresholds;
  V base, red_step, green_step;
  explicit Lane_Colour(const Lane_Span& s)
      : Lane_Channels<L, 3>(s),
        thresholds(s.thresholds),
        base(L::set1(s.cube_base)),
        red_step(L::set1(s.red_step & 0xFFFF)),
        green_step(L::set1(s.green_step & 0xFFFF)) {}
  static V level(V s, V t) {
    return L::template shift_right_signed<16>(L::add(L::template shift_right_signed<8>(s), t));
  }
  void write(uint8_t* p, V pass) const {
    const V t = L::load_halves(thresholds + (reinterpret_cast<uintptr_t>(p) & 7));
    const V index = L::add(L::add(base, L::multiply_low(level(this->value[0], t), red_step)),
                           L::add(L::multiply_low(level(this->value[1], t), green_step),
                                  level(this->value[2], t)));
    L::store_bytes(p, L::select(pass, index, L::load_bytes(p)));
  }
  static constexpr int32_t pixel_bytes = 1;
};

template <class L>
struct Lane_Colour<L, Lane_Row_Indices> {
  using V = typename L::V;
  uint64_t row;
  explicit Lane_Colour(const Lane_Span& s) : row(s.row_indices) {}
  void begin_stepping(const Lane_Span&) {}
  void advance() {}
  void write(uint8_t* p, V pass) const {
    const V index = L::bytes_of(lane_row_from(row, p));
    L::store_bytes(p, L::select(pass, index, L::load_bytes(p)));
  }
  static constexpr int32_t pixel_bytes = 1;
};

// Writes s.blocks (>= 1) blocks of the span (Depth: tested z <= stored,
// stored on pass).  Most spans of small triangles are one block, so the steps
// from block to block are made only when a second block follows; only the
// last block can reach past the span's end.
template <class L, class Kind, bool Depth>
inline void write_lane_blocks(const Lane_Span& s) {
  using V = typename L::V;
  using Colour = Lane_Colour<L, Kind>;
  Colour colour(s);
  V z = Depth ? L::ramp(s.depth, s.depth_step) : L::zero();
  // Local copies: the pixel stores could alias the span's fields.
  uint8_t* p = s.pixels;
  uint16_t* d = s.depths;
  const int32_t blocks = s.blocks;
  const int32_t last_count = s.count - (blocks - 1) * L::width;
  auto block = [&](auto last) {
    V pass = last ? L::greater(L::set1(last_count), L::lane_index()) : L::set1(-1);
    if constexpr (Depth) {
      // The 16-bit depth is bits 15 to 30 of the accumulator.
      const V z16 = L::template shift_right<16>(L::template shift_left<1>(z));
      const V stored = L::load_halves(d);
      pass = L::and_not(L::greater(z16, stored), pass);
      L::store_depths(d, L::select(pass, z16, stored));
    }
    colour.write(p, pass);
  };
  if (blocks == 1) return block(std::true_type{});
  block(std::false_type{});
  colour.begin_stepping(s);
  const V z_step = L::set1(int32_t(uint32_t(s.depth_step) * uint32_t(L::width)));
  auto next = [&] {
    colour.advance();
    if constexpr (Depth) {
      z = L::add(z, z_step);
      d += L::width;  // without depth there is no row of depths to walk
    }
    p += Colour::pixel_bytes * L::width;
  };
  for (int32_t b = 1; b < blocks - 1; ++b) {
    next();
    block(std::false_type{});
  }
  next();
  block(std::true_type{});
}

}  // namespace triangles
