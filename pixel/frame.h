// The buffers of the renderer as every draw sees them, in local coordinates
// (device minus window origin).
#pragma once

#include <cstdint>

namespace pixel {

// A plain description of the colour and depth buffers, which the renderer fills
// in whenever its buffers or its window origin change.  Rows are reached by
// local y (0 is the bottom row); rows lie in memory from the top row down, so
// the row above y is row_bytes lower in memory.
struct Frame {
  uint8_t* const* color_rows = nullptr;  // rows by y, null without a colour buffer
  uint8_t* const* depth_rows = nullptr;  // rows by y, null without a depth buffer
  int32_t color_pixel_bytes = 0;  // 4 for true colour, 1 for palette indices
  int32_t color_row_bytes = 0;
  int32_t depth_row_bytes = 0;
  int32_t origin_x = 0, origin_y = 0;  // device coordinate of buffer pixel (0, 0)
  int32_t width = 0, height = 0;       // the colour buffer's, 0 without one

  bool has_color() const { return color_rows != nullptr; }
  template <typename Pixel>
  Pixel* color_at(int32_t x, int32_t y) const {
    return reinterpret_cast<Pixel*>(color_rows[y]) + x;
  }
  uint16_t* depth_at(int32_t x, int32_t y) const {
    return reinterpret_cast<uint16_t*>(depth_rows[y]) + x;
  }
};

}  // namespace pixel
