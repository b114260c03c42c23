// The per-pixel rules of image copies, as policy types for the row walker.
//
// A depth rule says whether the image is depth tested.  Images use a fixed rule
// of their own, whatever "ZBuffer Test" and "ZBuffer Write" say: a pixel passes
// when its depth z <= the stored depth, and a pixel that is drawn always stores z.
//
// A colour rule says whether a source pixel is written at all and what it makes
// of the stored pixel; only a written pixel stores its depth.
#pragma once

#include <cstdint>

#include "pixel/color_rules.h"

namespace images {

struct No_Depth {
  static constexpr bool tested = false;
};

struct Image_Depth {
  static constexpr bool tested = true;
  static bool passes(uint16_t z, uint16_t stored) { return z <= stored; }
};

// The source pixel (a 32-bit word or an index byte) replaces the stored one.
struct Copy_Pixel {
  // Rows under this rule alone are copied whole.
  static constexpr bool plain = true;
  template <typename Pixel>
  static bool writes(Pixel) {
    return true;
  }
  template <typename Pixel>
  static Pixel combine(Pixel, Pixel source) {
    return source;
  }
};

// Alpha blending of true-colour images: alpha 255 stores the source word, alpha
// 0 writes nothing at all (neither colour nor depth), any other alpha blends
// blue, green and red as (stored × (255 - a) + source × a) / 255, truncated, and
// stores alpha 255.
struct Blend_Pixel {
  static constexpr bool plain = false;
  static bool writes(uint32_t source) { return pixel::alpha_of(source) != 0; }
  static uint32_t combine(uint32_t stored, uint32_t source) {
    const uint32_t a = pixel::alpha_of(source);
    return a == 255 ? source : pixel::blend_word(stored, source, a);
  }
};

}  // namespace images
