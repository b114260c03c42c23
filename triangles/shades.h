// Shades: how a triangle rasteriser turns what it knows at a pixel into the
// stored colour or index.  A shade has
//   Pixel                  uint32_t (true colour) or uint8_t (palette index)
//   channels               how many 16.16 values it reads per pixel
//   begin_row(y)           per-row set-up (the dither thresholds of the row)
//   put(pixel, channels)   writes the pixel
// and may have
//   Lane_Kind, describe(s)  the shade's spans can be written in lanes
//                           (span_lanes.h): which rule, and what it reads
//   fill(pixel, count)      a solid run without depth, written by the shade
// Shades of one value (channels 0) also serve as the contrast colour of patterns.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "pixel/color_policies.h"
#include "pixel/color_rules.h"
#include "pixel/dither.h"
#include "triangles/span_lanes.h"

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

// One true colour's dithered indices, worked out once per colour for each row
// of the threshold table: a row's thresholds repeat every eight columns, so
// its indices do too.  Byte j of row y is the index of the pixels of rows y
// modulo 8 whose byte address is j modulo 8.
struct Dithered_Rows {
  uint64_t row[8] = {};
  Dithered_Rows() = default;
  explicit Dithered_Rows(const pixel::Dither_Record& r) {
#if defined(__SSE2__)
    // Eight columns at once: the corner is the first plus the steps to each
    // next corner whose limit the threshold reaches (compared as signed
    // values after flipping the top bits).
    const __m128i flip = _mm_set1_epi16(int16_t(0x8000));
    __m128i limit[3], step[3];
    for (int i = 0; i < 3; ++i) {
      limit[i] = _mm_xor_si128(_mm_set1_epi16(int16_t(r.limit[i])), flip);
      step[i] = _mm_set1_epi16(uint8_t(r.corner[i + 1] - r.corner[i]));
    }
    const __m128i first = _mm_set1_epi16(r.corner[0]);
    for (int y = 0; y < 8; ++y) {
      const __m128i t = _mm_xor_si128(
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixel::dither_row(y))), flip);
      __m128i sum = first;
      for (int i = 0; i < 3; ++i)
        sum = _mm_add_epi16(sum, _mm_andnot_si128(_mm_cmpgt_epi16(limit[i], t), step[i]));
      // Indices add up modulo 256.
      const __m128i bytes = _mm_and_si128(sum, _mm_set1_epi16(0xFF));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(&row[y]), _mm_packus_epi16(bytes, bytes));
    }
    if constexpr (std::endian::native != std::endian::little)
      for (uint64_t& w : row) w = byte_reversed(w);
#else
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        row[y] |= uint64_t(r.index_without_branches(pixel::dither_row(y)[x])) << (8 * x);
#endif
  }

private:
  static uint64_t byte_reversed(uint64_t v) {
    uint64_t r = 0;
    for (int i = 0; i < 8; ++i) r |= ((v >> (8 * i)) & 0xFF) << (8 * (7 - i));
    return r;
  }
};

// One true colour dithered into the colour cube: the pixel takes the byte of
// its column from its row's word.
struct Dither_Word {
  using Pixel = uint8_t;
  static constexpr int channels = 0;
  using Lane_Kind = Lane_Row_Indices;
  const Dithered_Rows* rows;
  uint64_t row = 0;

  void begin_row(int32_t y) { row = rows->row[y & 7]; }
  // The row's indices from the pixel p on: byte k for pixel p + k.
  uint64_t from(const uint8_t* p) const { return lane_row_from(row, p); }
  void put(uint8_t* p, const Channel_Values<0>& = {}) const { *p = uint8_t(from(p)); }
  // A run is the row's eight indices over and over: eight bytes a store.
  void fill(uint8_t* p, int32_t count) const {
    uint64_t w = from(p);
    if constexpr (std::endian::native == std::endian::little) {
      if (count >= 8) {
        int32_t k = 0;
        for (; k + 8 <= count; k += 8) std::memcpy(p + k, &w, 8);
        // The last few with the eight that end there.
        if (k < count) {
          const uint64_t last = from(p + count - 8);
          std::memcpy(p + count - 8, &last, 8);
        }
        return;
      }
      int32_t k = 0;
      if (count & 4) std::memcpy(p, &w, 4), w >>= 32, k = 4;
      if (count & 2) std::memcpy(p + k, &w, 2), w >>= 16, k += 2;
      if (count & 1) p[k] = uint8_t(w);
    } else {
      for (int32_t k = 0; k < count; ++k) p[k] = uint8_t(from(p + k));
    }
  }
  void describe(Lane_Span& s) const { s.row_indices = row; }
};

// Interpolated blue, green, red (channels 0, 1, 2), stored opaque.
struct Store_Channels {
  using Pixel = uint32_t;
  static constexpr int channels = 3;
  using Lane_Kind = Lane_Opaque_Channels;
  void describe(Lane_Span&) const {}
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
  using Lane_Kind = Lane_Alpha_Channels;
  void describe(Lane_Span&) const {}
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
  using Lane_Kind = Lane_Cube_Levels;
  const ZT_Color_Cube* cube;
  const uint16_t* thresholds = nullptr;
  void begin_row(int32_t y) { thresholds = pixel::dither_row_repeated(y); }
  void put(uint8_t* p, const Channel_Values<3>& s) const {
    *p = pixel::dither_levels(*cube, int32_t(s[0]), int32_t(s[1]), int32_t(s[2]),
                              pixel::dither_threshold(thresholds, p));
  }
  void describe(Lane_Span& s) const {
    s.thresholds = thresholds;
    s.cube_base = cube->base_index;
    s.red_step = cube->red_step;
    s.green_step = cube->green_step;
  }
};

}  // namespace triangles
