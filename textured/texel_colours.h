// What a texel makes of a pixel, per variant: the texel colour policies.  A
// policy has
//   Pixel           uint32_t (true colour) or uint8_t (palette index)
//   colours         the colour channels it reads from the span (0: unmodulated)
//   lit             whether it reads light offsets
//   row(y)          what a row needs (the dither thresholds of the row), or
//                   No_Row
//   put(p, t, s, row)  writes what texel t makes of pixel p, given the span's
//                   values s at p, and answers whether the pixel's depth is
//                   stored
// They compose with the pixel floor's fixed depth rule (z <= stored, depth
// always stored when the policy writes; textured strips never read the
// renderer's depth mode or write flag).
//
// Texel bytes 0, 1, 2 go with pixel bytes 0, 1, 2 (blue, green, red) and with
// vertex colour bytes 0, 1, 2; byte 3 is the texel's alpha.
//
// A colour value on a long edge can drift a little below zero (the 8.8 steps
// round down); products of such a value count as 0, never as a wrapped byte.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "pixel/color_rules.h"
#include "pixel/dither.h"
#include "host/zarnik11.h"

namespace textured {

constexpr uint32_t texel_byte(uint32_t t, int k) { return (t >> (8 * k)) & 0xFF; }

struct No_Row {};
// The dither thresholds of a row of the 8-bit colour buffer.
using Threshold_Row = const uint16_t*;

// (t × value) >> 16 of a doubled colour value, as a byte: (t × doubled) >> 17,
// below zero taken as 0 (the largest product, 255 × 255.5, stays below 255).
constexpr uint32_t modulated_byte(uint32_t t, int32_t doubled) {
  const int32_t p = (int32_t(t) * doubled) >> 17;
  return uint32_t(std::max(p, 0));
}

// F unmodulated: the texel word stored as it is, its alpha byte included.
struct Store_Texel {
  using Pixel = uint32_t;
  static constexpr int colours = 0;
  static constexpr bool lit = false;
  using Row = No_Row;
  Row row(int32_t) const { return {}; }
  template <class Span>
  bool put(uint32_t* p, uint32_t t, const Span&, Row) const {
    *p = t;
    return true;
  }
};

// F modulated: each colour byte (texel byte × channel value) >> 16, alpha 255.
struct Modulate_Texel {
  using Pixel = uint32_t;
  static constexpr int colours = 3;
  static constexpr bool lit = false;
  using Row = No_Row;
  Row row(int32_t) const { return {}; }
  template <class Span>
  bool put(uint32_t* p, uint32_t t, const Span& s, Row) const {
    *p = pixel::opaque_alpha | modulated_byte(texel_byte(t, 2), s.doubled(2)) << 16 |
         modulated_byte(texel_byte(t, 1), s.doubled(1)) << 8 |
         modulated_byte(texel_byte(t, 0), s.doubled(0));
    return true;
  }
};

// E: the texel (modulated: times the vertex colour and alpha) blended by its
// alpha A.  A = 255 stores it (its colour bytes, alpha 255), A = 0 leaves the
// colour, anything between blends each colour byte as
// (source × A + stored × (255 - A)) / 255 and sets the alpha byte.  The depth
// is stored whatever the alpha.
template <bool Modulated>
struct Blend_Texel {
  using Pixel = uint32_t;
  static constexpr int colours = Modulated ? 4 : 0;
  static constexpr bool lit = false;
  using Row = No_Row;
  Row row(int32_t) const { return {}; }
  template <class Span>
  bool put(uint32_t* p, uint32_t t, const Span& s, Row) const {
    uint32_t source = t, a = pixel::alpha_of(t);
    if constexpr (Modulated) {
      a = modulated_byte(a, s.doubled(3));
      source = pixel::opaque_alpha | modulated_byte(texel_byte(t, 2), s.doubled(2)) << 16 |
               modulated_byte(texel_byte(t, 1), s.doubled(1)) << 8 |
               modulated_byte(texel_byte(t, 0), s.doubled(0));
    }
    if (a == 255) *p = source;
    else if (a != 0) *p = pixel::blend_word(*p, source, a);
    return true;
  }
};

// The colour cube's numbers for the texel rules of D, by texel byte.
struct Cube_Channels {
  std::array<int32_t, 3> scale{};  // blue, green, red
  uint8_t base = 0, green_step = 0, red_step = 0;

  explicit Cube_Channels(const ZT_Color_Cube& cube)
      : scale{cube.blue_scale, cube.green_scale, cube.red_scale},
        base(cube.base_index),
        green_step(cube.green_step),
        red_step(cube.red_step) {}

  // The palette index of levels blue, green, red, in 8-bit arithmetic.
  uint8_t index(const std::array<int32_t, 3>& level) const {
    return uint8_t(uint32_t(base) + uint32_t(red_step) * uint32_t(level[2]) +
                   uint32_t(green_step) * uint32_t(level[1]) + uint32_t(level[0]));
  }
};

// D: the texel (modulated: times the vertex colour) as a palette index, each
// channel dithered on its own.  With T the pixel's threshold and W the
// channel's 8.8 weight (the interpolated colour byte × cube scale, or
// unmodulated scale × 0xFF00 + 0x80, a full byte), the level of channel k is
// ((((texel byte × W) >> 8) + T) >> 16) in signed 32-bit arithmetic.
// Skips_Clear (D with alpha blending): a texel whose alpha is 0 leaves pixel
// and depth as they were.
template <bool Modulated, bool Skips_Clear>
struct Dither_Texel {
  using Pixel = uint8_t;
  static constexpr int colours = Modulated ? 3 : 0;
  static constexpr bool lit = false;
  Cube_Channels cube;
  std::array<int32_t, 3> full{};  // the unmodulated weights

  explicit Dither_Texel(const ZT_Color_Cube& c) : cube(c) {
    for (int k = 0; k < 3; ++k) full[k] = int32_t(uint32_t(cube.scale[k]) * 0xFF00u + 0x80u);
  }
  using Row = Threshold_Row;
  Row row(int32_t y) const { return pixel::dither_row(y); }

  template <class Span>
  bool put(uint8_t* p, uint32_t t, const Span& s, Row thresholds) const {
    if constexpr (Skips_Clear)
      if (pixel::alpha_of(t) == 0) return false;
    const int32_t threshold = int32_t(pixel::dither_threshold(thresholds, p));
    std::array<int32_t, 3> level;
    for (int k = 0; k < 3; ++k) {
      int32_t w = full[k];
      if constexpr (Modulated) w = std::max(s.doubled(k) >> 1, 0);
      const int32_t product = int32_t(texel_byte(t, k) * uint32_t(w));
      level[k] = ((product >> 8) + threshold) >> 16;
    }
    *p = cube.index(level);
    return true;
  }
};

// The lit strips of D: per channel a lighting factor D (8.8, the colour
// channels of the span) and a lighting offset S (in units of a texel byte
// times an 8.8 factor, so that it adds to the product directly).  The level
// is (((texel byte × D + S) >> 8) + T) >> 16, 0 where the sum before the last
// shift is negative, and at most the cube's scale for the channel.
struct Light_Texel {
  using Pixel = uint8_t;
  static constexpr int colours = 3;
  static constexpr bool lit = true;
  Cube_Channels cube;

  explicit Light_Texel(const ZT_Color_Cube& c) : cube(c) {}
  using Row = Threshold_Row;
  Row row(int32_t y) const { return pixel::dither_row(y); }

  template <class Span>
  bool put(uint8_t* p, uint32_t t, const Span& s, Row thresholds) const {
    const int64_t threshold = pixel::dither_threshold(thresholds, p);
    std::array<int32_t, 3> level;
    for (int k = 0; k < 3; ++k) {
      const int64_t sum = ((int64_t(texel_byte(t, k)) * (s.doubled(k) >> 1) + s.offset[k]) >> 8) +
                          threshold;
      level[k] = sum < 0 ? 0 : int32_t(std::min<int64_t>(sum >> 16, cube.scale[k]));
    }
    *p = cube.index(level);
    return true;
  }
};

}  // namespace textured
