// Textures: a counted object holding one image of 32-bit texels whose sides are
// powers of two, with the wrap modes and flags a textured draw reads.
//
// Ownership.  A texture is counted (ZT_Counted); the face material hands it out
// as a ZT_Counted_Ptr<ZT_Texture>, so whoever asks holds a reference for as long
// as the handle lives and gives it back when the handle goes, also when an
// exception passes.  The image is a second counted object, taken from the
// texture with image(0, 0) into a ZT_Shared_Image handle or, for drawing, into a
// ZT_Texel_Image, which holds the image the same way and offers what a texel
// fetch needs.
//
// Images whose sides are not powers of two (or that are empty, or not 32-bit)
// are refused when the texture is made: the constructor throws ZT_Texture_Error,
// so no draw ever sees one.  Masking a texel coordinate with width - 1 or
// height - 1 therefore always lands inside the image.
#pragma once

#include <cstdint>
#include <stdexcept>

#include "host/zt_basics.h"
#include "host/zt_object.h"
#include "host/zt_shared_image.h"

// Wrap modes of a texture axis.  Renderers draw 0 and 2 themselves and leave
// every other value to the host, which reads 1 as clamp and 3 as mirrored
// repeat, and any other value as repeat.
enum : int32_t {
  ZT_Wrap_None = 0,    // texels outside the image are not drawn
  ZT_Wrap_Clamp = 1,   // the edge texel continues outward
  ZT_Wrap_Repeat = 2,  // the image tiles the plane
  ZT_Wrap_Mirror = 3,  // the image tiles the plane, every other copy mirrored
};

class ZT_Texture_Error : public std::invalid_argument {
public:
  using std::invalid_argument::invalid_argument;
};

class ZT_Texture : public ZT_Counted {
public:
  // A texture of one opaque white texel.
  ZT_Texture();
  // Throws ZT_Texture_Error for an empty image, one that is not 32-bit, or one
  // whose width or height is not a power of two (1 to 32768).
  explicit ZT_Texture(ZT_Shared_Image image);
  ZT_Counted* clone() const override { return new ZT_Texture(*this); }

  // The texture's image.  A texture has exactly one, reached with both
  // selectors 0 (no level is chosen by size); other selectors give an empty
  // image.
  ZT_Shared_Image image(int32_t level, int32_t layer) const;

  int32_t u_wrap = ZT_Wrap_Repeat;
  int32_t v_wrap = ZT_Wrap_Repeat;
  uint8_t fallback = 0;  // non-zero: renderers leave faces with this texture to the host
  uint8_t modulate = 0;  // non-zero: texels are scaled by the vertex colours

private:
  ZT_Shared_Image image_;
};

// A draw's hold on a texture's image: the counted image (selectors 0, 0) and
// the values a texel fetch reads.  Texels are 32-bit words laid out like
// ZT_RGB32 (byte 3 is alpha).  Rows are read in memory order, the first row in
// memory being the image's top row; row r counted up from the bottom is memory
// row height - 1 - r.
class ZT_Texel_Image {
public:
  explicit ZT_Texel_Image(const ZT_Texture& texture);

  int32_t width() const noexcept { return width_; }
  int32_t height() const noexcept { return height_; }
  uint32_t column_mask() const noexcept { return uint32_t(width_ - 1); }
  uint32_t row_mask() const noexcept { return uint32_t(height_ - 1); }
  // Memory row i, 0 <= i < height.
  const uint32_t* memory_row(int32_t i) const noexcept {
    return reinterpret_cast<const uint32_t*>(rows_[i]);
  }
  // The texel at column u and row v counted up from the bottom, both taken
  // modulo the image's sides (so any value reads a texel of the image).
  uint32_t texel(int32_t u, int32_t v) const noexcept {
    return memory_row(int32_t(row_mask() - (uint32_t(v) & row_mask())))[uint32_t(u) & column_mask()];
  }

private:
  ZT_Shared_Image image_;
  int32_t width_ = 1, height_ = 1;
  uint8_t* const* rows_ = nullptr;
};
