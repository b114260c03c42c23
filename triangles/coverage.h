// Coverage: whether a covered pixel takes the triangle's colour, the contrast
// colour or nothing.  The face pattern and the complex-clip mask both answer
// that question, so both are coverage policies; the solid unmasked one answers
// "draw" at compile time and costs nothing.
//
// A coverage policy has solid (true only for the solid unmasked one) and
// at(x, y), a cursor for the span starting at local (x, y) whose next() answers
// for one pixel after another, left to right.
#pragma once

#include <cstdint>

#include "pixel/frame.h"
#include "pixel/mask_cursor.h"
#include "host/zarnik11.h"

namespace triangles {

enum class Cover { Draw, Contrast, Skip };

struct Solid_Coverage {
  static constexpr bool solid = true;
  struct Cursor {
    static constexpr Cover next() { return Cover::Draw; }
  };
  Cursor at(int32_t, int32_t) const { return {}; }
};

// A face pattern: rows of bits, least significant bit leftmost, repeating
// every width columns and height rows from the pattern origin.  A clear bit
// draws the triangle's colour; a set bit (after the invert flag) is a hole,
// which takes the contrast colour when the background flag is set and is left
// alone otherwise.
struct Face_Pattern {
  const uint8_t* bits = nullptr;
  int32_t width = 8, height = 8, row_bytes = 1;
  ZT_Int_Point origin;
  uint32_t invert = 0;  // 1 inverts every bit
  Cover hole = Cover::Skip;

  struct Cursor {
    const uint8_t* row;
    int32_t column, width;
    uint32_t invert;
    Cover hole;
    Cover next() {
      const uint32_t bit = ((uint32_t(row[column >> 3]) >> (column & 7)) & 1u) ^ invert;
      if (++column == width) column = 0;
      return bit ? hole : Cover::Draw;
    }
  };
};

// Positions relative to the pattern origin, brought into [0, period).
constexpr int32_t pattern_position(int32_t v, int32_t origin, int32_t period) {
  const int64_t m = (int64_t(v) - origin) % period;
  return int32_t(m < 0 ? m + period : m);
}

struct Pattern_Coverage {
  static constexpr bool solid = false;
  Face_Pattern pattern;
  using Cursor = Face_Pattern::Cursor;
  Cursor at(int32_t x, int32_t y) const {
    const Face_Pattern& p = pattern;
    const int32_t row = pattern_position(y, p.origin.y, p.height);
    return {p.bits + int64_t(row) * p.row_bytes, pattern_position(x, p.origin.x, p.width),
            p.width, p.invert, p.hole};
  }
};

// A coverage under the complex-clip mask: a pixel whose mask bit is set is
// skipped, whatever the inner coverage says.
template <class Inner>
struct Masked_Coverage {
  static constexpr bool solid = false;
  const Frame_Buffer_Mask* mask;
  Inner inner;
  struct Cursor {
    pixel::Mask_Cursor mask;
    typename Inner::Cursor inner;
    Cover next() {
      const Cover c = inner.next();
      return mask.step_right().excluded() ? Cover::Skip : c;
    }
  };
  Cursor at(int32_t x, int32_t y) const { return {pixel::mask_cursor_at(*mask, x, y), inner.at(x, y)}; }
};

// How the rendition asks a face to be filled.
enum class Face_Fill {
  Solid,      // pattern 64 without the invert flag: the solid fast path
  Patterned,  // a pattern, with Face_Pattern filled in
  Nothing,    // nothing to draw (pattern 0, or 64 inverted, without background)
};

// The face fill of a rendition whose pattern index lies in 0..74 (the action
// gates send other indices to the host).  A user pattern whose size or bits
// cannot be read (no bits, width or height below 1, rows too short) draws
// nothing.
Face_Fill face_fill(const ZT_Rendition& rendition, Face_Pattern& pattern);

}  // namespace triangles
