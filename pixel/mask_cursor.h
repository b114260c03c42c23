// Walking the complex-clip mask in step with the pixel pointer.
//
// Mask rows are indexed by local y; pixel x of a row is bit (7 - (x & 7)) of
// byte (x >> 3), most significant bit first.  A set bit excludes the pixel.
// A cursor is a byte pointer and a bit index 0..7, bit index i meaning the bit
// 0x80 >> i.
#pragma once

#include <cstdint>

#include "host/zarnik11.h"

namespace pixel {

struct Mask_Cursor {
  const uint8_t* byte = nullptr;
  int32_t bit = 0;

  bool excluded() const { return (*byte & (0x80u >> bit)) != 0; }

  // A cursor n bits further (n may be negative).
  Mask_Cursor advanced(int32_t n) const {
    int32_t b = bit + n;
    return {byte + (b >> 3), b & 7};  // arithmetic shift: whole bytes, bit stays 0..7
  }
  void advance(int32_t n) { *this = advanced(n); }
  // Returns the current position and moves one bit right (bit 7 of a byte is
  // followed by bit 0 of the next).
  Mask_Cursor step_right() {
    Mask_Cursor here = *this;
    if (++bit == 8) {
      bit = 0;
      ++byte;
    }
    return here;
  }
  Mask_Cursor step_left() {
    Mask_Cursor here = *this;
    if (--bit < 0) {
      bit = 7;
      --byte;
    }
    return here;
  }
};

// The cursor at the start of a mask row.
inline Mask_Cursor mask_cursor_at_row(const Frame_Buffer_Mask& mask, int32_t local_y) {
  return {mask.bit_image->rows_by_y[std::size_t(local_y)], 0};
}
// The cursor at a pixel.
inline Mask_Cursor mask_cursor_at(const Frame_Buffer_Mask& mask, int32_t local_x,
                                  int32_t local_y) {
  return mask_cursor_at_row(mask, local_y).advanced(local_x);
}

}  // namespace pixel
