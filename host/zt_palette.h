// Palettes and the colour cube that maps true colours to palette indices.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "host/zt_basics.h"
#include "host/zt_object.h"

// A regular cube of colours inside a palette.  For each component the scale is
// (levels - 1) / 255 in 8.8 fixed point, rounded down, so that component × scale
// has 8 fraction bits and its integer part is a level 0..levels-1 (255 stays
// strictly below the top level unless the scale is exact).  The index of levels
// (r, g, b) is base + r × red step + g × green step + b, in 8-bit arithmetic.
struct ZT_Color_Cube {
  // The largest scale: 255 levels over the range 0..255, 256 in 8.8.
  static constexpr int32_t largest_scale = 256;
  // Levels a cube can have: at least 1 per component and at most 256 colours.
  static bool levels_fit(ZT_Int_RGB levels);

  uint8_t base_index = 0;
  uint8_t red_step = 0, green_step = 0, blue_step = 1;
  int32_t red_scale = 0, green_scale = 0, blue_scale = 0;

  ZT_Color_Cube() = default;
  // levels: number of levels per component (levels that do not fit give one
  // level each); scale multiplies the component scales (1.0 spans the whole
  // 0..255 range; it is held to 0..1); base: index of black.
  ZT_Color_Cube(ZT_Int_RGB levels, float scale, int32_t base);
  // Scales within 0..largest_scale and levels that fit.
  bool valid() const;

  // The palette index of cube levels (r, g, b).
  uint8_t index_of(int32_t r, int32_t g, int32_t b) const {
    return uint8_t(base_index + r * red_step + g * green_step + b);
  }
  ZT_Int_RGB levels() const { return levels_; }

private:
  ZT_Int_RGB levels_{1, 1, 1};
};

class ZT_Palette : public ZT_Counted {
public:
  ZT_Palette();
  ZT_Palette(const ZT_Palette& o);
  // A palette with a colour cube: the cube's colours at base.., the rest grey
  // ramps.  Null when the levels do not fit (ZT_Color_Cube::levels_fit).
  static ZT_Palette* with_color_cube(ZT_Int_RGB levels, int32_t base);

  ZT_Counted* clone() const override { return new ZT_Palette(*this); }

  int32_t count() const noexcept { return count_; }
  ZT_RGB32 color(int32_t index) const { return colors_[index & 255]; }
  void set_color(int32_t index, ZT_RGB32 c) { colors_[index & 255] = c; }
  // The colours closest_match searches, 1 to 256; any other count is refused
  // (false) and the count stays.
  bool set_count(int32_t n);
  // Index of the nearest colour (squared distance of red, green, blue; the lowest
  // index wins ties).  exact_only: return -1 unless an exact match exists.
  int32_t closest_match(ZT_RGB32 c, bool exact_only) const;

  // How many times closest_match ran (for tests of searches that use it).  A
  // palette may be shared by renderers drawing on several threads.
  mutable std::atomic<int32_t> match_calls{0};

  const ZT_Color_Cube* color_cube() const { return cube_ ? &*cube_ : nullptr; }
  // A cube that is not valid (ZT_Color_Cube::valid) is refused (false) and the
  // palette keeps the cube it had.
  bool set_color_cube(const ZT_Color_Cube& cube);

private:
  ZT_RGB32 colors_[256];
  int32_t count_ = 256;
  std::optional<ZT_Color_Cube> cube_;
};
