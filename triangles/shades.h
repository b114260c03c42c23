// Shades: how a triangle rasteriser turns what it knows at a pixel into the
// stored colour or index.  A shade has
//   Pixel                  uint32_t (true colour) or uint8_t (palette index)
//   channels               how many 16.16 values it reads per pixel
//   begin_row(y)           per-row set-up (the dither thresholds of the row)
//   put(pixel, channels)   writes the pixel
// Shades of one value (channels 0) also serve as the contrast colour of patterns.
#pragma once

#include <array>
#include <cstdint>

#include "pixel/color_policies.h"
#include "pixel/color_rules.h"
#include "pixel/dither.h"

namespace triangles {

template <int N>
using Channel_Values = std::array<uint32_t, N>;

// One word or index for the whole triangle, put by a colour policy of the
// pixel floor: stored, merged, or blended by its alpha.
template <class P, class Write>
struct Constant_Shade {
  using Pixel = P;
  static constexpr int channels = 0;
  explicit Constant_Shade(P v, Write w = {}) : value(v), write(w) {}
  P value;
  Write write;
  void begin_row(int32_t) {}
  void put(P* p, const Channel_Values<0>& = {}) const { write.put(p, value); }
};

template <class P>
using Store = Constant_Shade<P, pixel::Store_Color>;
using Store_Word = Store<uint32_t>;
using Store_Index = Store<uint8_t>;
// Merge control (both forms): combined with the stored pixel instead of stored.
using Merge_Word = Constant_Shade<uint32_t, pixel::Merge_Color>;
using Merge_Index = Constant_Shade<uint8_t, pixel::Merge_Color>;
// The basic alpha rule: each colour byte becomes
// (source × a + stored × (255 - a)) / 255, the alpha byte 255.
using Blend_Word = Constant_Shade<uint32_t, pixel::Blend_By_Alpha_Basic>;
// The alpha rule of shaded triangles: alpha 255 stores the word, alpha 0 leaves
// the pixel, anything between blends.
using Alpha_Rule_Word = Constant_Shade<uint32_t, pixel::Blend_By_Alpha_Skipping_Clear>;

// One true colour dithered into the colour cube.
struct Dither_Word {
  using Pixel = uint8_t;
  static constexpr int channels = 0;
  pixel::Dithered_Index index;
  const uint16_t* thresholds = nullptr;
  void begin_row(int32_t y) { thresholds = pixel::dither_row(y); }
  void put(uint8_t* p, const Channel_Values<0>& = {}) const { *p = index.at(p, thresholds); }
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
