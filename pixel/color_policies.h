// The colour policies every rasteriser composes: what a source colour (a
// 32-bit word or a palette index) does to the stored pixel.
//
//   Store_Color              the source replaces the pixel (word or index)
//   Blend_By_Alpha<Clear>    alpha 255 stores the word, any other alpha blends;
//                            Clear says what alpha 0 does: Clear_Sets_Alpha
//                            keeps the colour and sets the alpha byte (the basic
//                            rule), Clear_Skips leaves the pixel as it was
//   Merge_Color              merge control: merged word or merged index
//   Dithered_Index           one true colour as a palette index, dithered
//                            into the colour cube by the pixel's threshold
//
// A policy has put(pixel, source); the ones that do not read the stored pixel
// to decide also say whether a source is written at all (writes) and what it
// makes of the stored pixel (combine), for loops that write every pixel back.
#pragma once

#include <cstdint>

#include "pixel/color_rules.h"
#include "pixel/dither.h"

namespace pixel {

struct Store_Color {
  // The stored pixel becomes the source, whatever it was.
  static constexpr bool plain = true;
  template <typename Pixel>
  static constexpr bool writes(Pixel) {
    return true;
  }
  template <typename Pixel>
  static constexpr Pixel combine(Pixel, Pixel source) {
    return source;
  }
  template <typename Pixel>
  void put(Pixel* p, Pixel source) const {
    *p = source;
  }
};

enum class Clear_Alpha { Sets_Alpha, Skips };

template <Clear_Alpha Clear>
struct Blend_By_Alpha {
  static constexpr bool plain = false;
  static constexpr bool writes(uint32_t source) {
    return Clear == Clear_Alpha::Sets_Alpha || alpha_of(source) != 0;
  }
  static constexpr uint32_t combine(uint32_t stored, uint32_t source) {
    return alpha_rule(stored, source);
  }
  void put(uint32_t* p, uint32_t source) const {
    if (writes(source)) *p = combine(*p, source);
  }
};
using Blend_By_Alpha_Basic = Blend_By_Alpha<Clear_Alpha::Sets_Alpha>;
using Blend_By_Alpha_Skipping_Clear = Blend_By_Alpha<Clear_Alpha::Skips>;

struct Merge_Color {
  Merge_Colors colors;
  void put(uint32_t* p, uint32_t source) const { merge_combine(colors, p, source); }
  void put(uint8_t* p, uint8_t source) const { merge_combine(colors, p, source); }
};

// One true colour as a palette index: its corners are found once, the pixel's
// threshold picks one.  The threshold's column is the low three bits of the
// pixel's byte address, so the pattern is aligned to the buffer, not to the
// primitive.
struct Dithered_Index {
  Dither_Record record;
  // Along a span the thresholds repeat every eight pixels and the branches
  // predict well.
  uint8_t at(const uint8_t* p, const uint16_t* threshold_row) const {
    return record.index(dither_threshold(threshold_row, p));
  }
  // Along a line they follow no pattern: no branch on the threshold.
  uint8_t at_without_branches(const uint8_t* p, const uint16_t* threshold_row) const {
    return record.index_without_branches(dither_threshold(threshold_row, p));
  }
};

}  // namespace pixel
