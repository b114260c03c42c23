// The texels of one draw: the texture's image, held for the draw, and what a
// pixel needs to find its texel.
//
// Texel coordinates Ui and Vi are unsigned 16-bit values.  An axis that
// repeats masks its coordinate with the side - 1 (sides are powers of two, as
// the host guarantees); an axis that does not repeat draws nothing where the
// coordinate lies outside 0 .. side - 1, which the no-repeat mask ~(side - 1)
// finds in one AND.  Vi counts rows up from the image's bottom row, which is
// the last row in memory.
#pragma once

#include <cmath>
#include <cstdint>

#include "host/zarnik11.h"

namespace textured {

// The plain values of a fetch, copied into the pixel loops.
struct Texel_Lookup {
  uint8_t* const* rows = nullptr;  // in memory order: rows[0] is the top row
  uint32_t column_mask = 0, row_mask = 0;
  uint32_t u_outside = 0, v_outside = 0;  // the no-repeat masks, 0 on a repeating axis

  bool repeats() const { return (u_outside | v_outside) == 0; }
  bool outside(uint32_t ui, uint32_t vi) const {
    return ((ui & u_outside) | (vi & v_outside)) != 0;
  }
  uint32_t at(uint32_t ui, uint32_t vi) const {
    return reinterpret_cast<const uint32_t*>(rows[row_mask - (vi & row_mask)])[ui & column_mask];
  }
};

// The texture's image, held while the draw runs and given back when it ends
// (also when an exception passes).
class Texel_Image {
public:
  explicit Texel_Image(const ZT_Texture& texture) : image_(texture.image(0, 0)) {
    if (image_.empty()) return;  // (the host's textures always have one)
    const ZT_Image_Data& i = *image_.data();
    width_ = float(i.width);
    height_ = float(i.height);
    lookup_.rows = i.rows_in_memory_order.data();
    lookup_.column_mask = uint32_t(i.width - 1);
    lookup_.row_mask = uint32_t(i.height - 1);
    lookup_.u_outside = texture.u_wrap == ZT_Wrap_Repeat ? 0u : ~uint32_t(i.width - 1);
    lookup_.v_outside = texture.v_wrap == ZT_Wrap_Repeat ? 0u : ~uint32_t(i.height - 1);
  }

  bool empty() const { return image_.empty(); }
  const Texel_Lookup& lookup() const { return lookup_; }
  float width() const { return width_; }
  float height() const { return height_; }

private:
  ZT_Shared_Image image_;
  Texel_Lookup lookup_;
  float width_ = 1, height_ = 1;
};

// A texture coordinate in texels: the product (single precision) truncated
// toward zero.  Products beyond the 32-bit range saturate and NaN gives
// INT32_MIN, so any input is a defined integer.  Only the low 16 bits of a
// texel coordinate reach a pixel (the 16.16 walkers shift it up by 16), so the
// value is kept as those bits, sign-extended: differences between two of them
// then fit 32 bits whatever the input.
inline int32_t texel_coordinate(float coordinate, float side) {
  const float t = coordinate * side;
  int32_t whole;
  if (!(t == t)) whole = INT32_MIN;
  else if (t >= 2147483648.0f) whole = INT32_MAX;
  else if (t <= -2147483648.0f) whole = INT32_MIN;
  else whole = int32_t(t);
  return int16_t(uint16_t(uint32_t(whole)));
}

}  // namespace textured
