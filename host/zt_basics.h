// Plain value types shared by the host library and its renderers.
#pragma once

#include <cstdint>

// One 32-bit colour: bytes in memory order blue, green, red, alpha, so that the
// little-endian word reads 0xAARRGGBB.
struct ZT_RGB32 {
  uint8_t b = 0, g = 0, r = 0, a = 0;

  constexpr ZT_RGB32() = default;
  constexpr ZT_RGB32(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255)
      : b(blue), g(green), r(red), a(alpha) {}
  static constexpr ZT_RGB32 from_word(uint32_t w) {
    return ZT_RGB32(uint8_t(w >> 16), uint8_t(w >> 8), uint8_t(w), uint8_t(w >> 24));
  }
  constexpr uint32_t word() const {
    return uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16 | uint32_t(a) << 24;
  }
  friend constexpr bool operator==(ZT_RGB32 x, ZT_RGB32 y) { return x.word() == y.word(); }
};
static_assert(sizeof(ZT_RGB32) == 4);

// Float device point: x, y in device pixels, z a depth in 0..65535 (65535 is far).
struct ZT_Point {
  float x = 0, y = 0, z = 0;
};
// Integer device point.
struct ZT_DCI_Point {
  int32_t x = 0, y = 0, z = 0;
  friend constexpr bool operator==(const ZT_DCI_Point&, const ZT_DCI_Point&) = default;
};
// Double-precision device point, still to be clipped.
struct ZT_Point_D {
  double x = 0, y = 0, z = 0;
};
static_assert(sizeof(ZT_DCI_Point) == 12 && sizeof(ZT_Point) == 12);

// Inclusive integer rectangle, y growing upward.
struct ZT_Int_Rectangle {
  int32_t left = 0, right = -1, bottom = 0, top = -1;
  friend constexpr bool operator==(const ZT_Int_Rectangle&, const ZT_Int_Rectangle&) = default;
};

struct ZT_Int_Point {
  int32_t x = 0, y = 0;
  friend constexpr bool operator==(const ZT_Int_Point&, const ZT_Int_Point&) = default;
};

struct ZT_Int_RGB {
  int32_t r = 0, g = 0, b = 0;
};

// Texture parameter: (u, v, third) of a textured vertex.
struct ZT_Parameter {
  float u = 0, v = 0, w = 0;
};
struct ZT_Vector {
  float x = 0, y = 0, z = 0;
  void normalize();
};

// Image pixel layouts.  7 in a request accepts the buffer's own format.
enum ZT_Image_Format : int32_t {
  ZT_Image_Format_None = 0,
  ZT_Image_Format_Mapped8 = 1,
  ZT_Image_Format_RGB32 = 2,
  ZT_Image_Format_Depth16 = 3,
  ZT_Image_Format_Any = 7,
};

// Packing description of a true-colour image; the renderer passes it on untouched.
struct ZT_Packing {
  int32_t flags = 0;
};
