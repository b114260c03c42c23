// Shades: how a triangle rasteriser turns what it knows at a pixel into the
// stored colour or index.  A shade has
//   Pixel                  uint32_t (true colour) or uint8_t (palette index)
//   channels               how many 16.16 values it reads per pixel
//   begin_row(y)           per-row set-up (the dither thresholds of the row)
//   put(pixel, channels)   writes the pixel
// Constant shades (channels 0) also serve as the contrast colour of patterns.
#pragma once

#include <array>
#include <cstdint>

#include "pixel/color_rules.h"
#include "pixel/dither.h"

namespace triangles {

template <int N>
using Channel_Values = std::array<uint32_t, N>;

struct Constant_Shade {
  static constexpr int channels = 0;
  void begin_row(int32_t) {}
};

// One word or index for the whole triangle, stored.
template <class P>
struct Store : Constant_Shade {
  using Pixel = P;
  explicit Store(P v) : value(v) {}
  P value;
  void put(P* p, const Channel_Values<0>& = {}) const { *p = value; }
};
using Store_Word = Store<uint32_t>;
using Store_Index = Store<uint8_t>;

// Merge control (both forms): combined with the stored pixel instead of stored.
template <class P>
struct Merge : Constant_Shade {
  using Pixel = P;
  Merge(P v, const pixel::Merge_Colors* m) : value(v), merge(m) {}
  P value;
  const pixel::Merge_Colors* merge;
  void put(P* p, const Channel_Values<0>& = {}) const { pixel::merge_combine(*merge, p, value); }
};
using Merge_Word = Merge<uint32_t>;
using Merge_Index = Merge<uint8_t>;

// Blend with the word's alpha: each colour byte becomes
// (source × a + stored × (255 - a)) / 255, the alpha byte 255.
struct Blend_Word : Constant_Shade {
  using Pixel = uint32_t;
  explicit Blend_Word(uint32_t w) : word(w) {}
  uint32_t word;
  void put(uint32_t* p, const Channel_Values<0>& = {}) const {
    *p = pixel::blend_word(*p, word, pixel::alpha_of(word));
  }
};

// The alpha rule of shaded triangles: alpha 255 stores the word, alpha 0 leaves
// the pixel, anything between blends.
struct Alpha_Rule_Word : Constant_Shade {
  using Pixel = uint32_t;
  explicit Alpha_Rule_Word(uint32_t w) : word(w) {}
  uint32_t word;
  void put(uint32_t* p, const Channel_Values<0>& = {}) const {
    const uint32_t a = pixel::alpha_of(word);
    if (a == 255) *p = word;
    else if (a != 0) *p = pixel::blend_word(*p, word, a);
  }
};

// One true colour dithered into the colour cube: the triangle's quantisation
// record picks a corner index by the pixel's threshold.  The threshold's column
// is the low three bits of the pixel's byte address, so the pattern is aligned
// to the buffer, not to the triangle.
struct Dither_Word {
  using Pixel = uint8_t;
  static constexpr int channels = 0;
  pixel::Dither_Record record;
  const uint16_t* thresholds = nullptr;
  void begin_row(int32_t y) { thresholds = pixel::dither_row(y); }
  void put(uint8_t* p, const Channel_Values<0>& = {}) const {
    *p = record.index(pixel::dither_threshold(thresholds, p));
  }
};

// Interpolated blue, green, red (channels 0, 1, 2), stored opaque.
struct Store_Channels {
  using Pixel = uint32_t;
  static constexpr int channels = 3;
  void begin_row(int32_t) {}
  static uint32_t colour(const uint32_t* c) {
    return pixel::opaque_alpha | ((c[2] >> 16) & 0xFF) << 16 | ((c[1] >> 16) & 0xFF) << 8 |
           ((c[0] >> 16) & 0xFF);
  }
  void put(uint32_t* p, const Channel_Values<3>& c) const { *p = colour(c.data()); }
};

// Interpolated blue, green, red and alpha (channel 3) under the alpha rule.
struct Alpha_Rule_Channels {
  using Pixel = uint32_t;
  static constexpr int channels = 4;
  void begin_row(int32_t) {}
  void put(uint32_t* p, const Channel_Values<4>& c) const {
    const int32_t a = int32_t(c[3]) >> 16;
    if (a <= 0) return;
    const uint32_t colour = Store_Channels::colour(c.data());
    *p = a >= 255 ? colour : pixel::blend_word(*p, colour, uint32_t(a));
  }
};

// Interpolated cube levels of red, green and blue (channels 0, 1, 2), each
// dithered on its own: level = ((s >> 8) + t) >> 16 of the 32-bit accumulator s.
struct Dither_Levels {
  using Pixel = uint8_t;
  static constexpr int channels = 3;
  const ZT_Color_Cube* cube;
  const uint16_t* thresholds = nullptr;
  void begin_row(int32_t y) { thresholds = pixel::dither_row(y); }
  void put(uint8_t* p, const Channel_Values<3>& s) const {
    *p = pixel::dither_levels(*cube, int32_t(s[0]), int32_t(s[1]), int32_t(s[2]),
                              pixel::dither_threshold(thresholds, p));
  }
};

}  // namespace triangles
