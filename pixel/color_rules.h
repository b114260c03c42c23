// Colour rules: alpha blending, merge control, and the mapped-colour dither.
#pragma once

#include <cstdint>

#include "host/zarnik11.h"

namespace pixel {

// Colour words are ZT_RGB32 read as little-endian 0xAARRGGBB.
constexpr uint32_t alpha_of(uint32_t w) { return w >> 24; }
constexpr uint32_t opaque_alpha = 0xFF000000u;

// Alpha blending of the low three bytes: each becomes
// (source × a + stored × (255 - a)) / 255, the quotient truncated, and the alpha
// byte becomes 255.  a = 0 keeps the colour and only sets the alpha byte.
constexpr uint32_t blend_word(uint32_t stored, uint32_t source, uint32_t a) {
  uint32_t out = opaque_alpha;
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t s = (source >> shift) & 0xFF, d = (stored >> shift) & 0xFF;
    out |= ((s * a + d * (255 - a)) / 255) << shift;
  }
  return out;
}

// The basic alpha rule: alpha 255 stores the source word unchanged, every other
// alpha blends.
constexpr uint32_t alpha_rule(uint32_t stored, uint32_t source) {
  uint32_t a = alpha_of(source);
  return a == 255 ? source : blend_word(stored, source, a);
}

// What merge control needs, taken from the renderer once per draw.
struct Merge_Colors {
  uint32_t background;  // B: the reserved background colour, alpha 255
  uint32_t alternate;   // A: stored instead of B
  uint8_t background_index;
  uint8_t alternate_index;
  const ZT_Palette* palette;  // mapped configurations
};

// Merge combine, true colour.  Onto the background the source is stored; onto an
// equal pixel nothing is written (its alpha byte stays); otherwise the two are
// ANDed.  A stored result has alpha 255 and never equals the background.
inline void merge_combine(const Merge_Colors& m, uint32_t* pixel, uint32_t source) {
  uint32_t p = *pixel;
  uint32_t result;
  if (p == m.background) result = source;
  else if (p == source) return;
  else result = p & source;
  result |= opaque_alpha;
  *pixel = result == m.background ? m.alternate : result;
}

// Merge combine, palette index.  Onto the background index the source index is
// stored (the alternate when the source is the background); onto an equal index
// nothing changes; otherwise the palette colours are ANDed and the nearest index
// stored (the alternate when that is the background).
inline void merge_combine(const Merge_Colors& m, uint8_t* pixel, uint8_t source) {
  uint8_t p = *pixel;
  if (p == m.background_index) {
    *pixel = source == m.background_index ? m.alternate_index : source;
    return;
  }
  if (p == source) return;
  uint32_t both = m.palette->color(p).word() & m.palette->color(source).word();
  ZT_RGB32 c = ZT_RGB32::from_word(both | opaque_alpha);
  uint8_t result = uint8_t(m.palette->closest_match(c, false));
  *pixel = result == m.background_index ? m.alternate_index : result;
}

}  // namespace pixel
