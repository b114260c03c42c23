// The one row walker behind every image routine: rows from the top down, each
// row's pixels left to right, with a depth rule, a colour rule and the mask
// chosen at compile time.
//
// Rows under the plain copy rule, without depth and mask, are copied whole; every
// other combination walks its pixels.  Source rows carry no alignment promise
// (row bytes may be odd), so source pixels are loaded byte-wise.
#pragma once

#include <cstdint>
#include <cstring>

#include "pixel/fixed_point.h"
#include "pixel/frame.h"
#include "images/image_placement.h"
#include "pixel/mask_cursor.h"

namespace images {

template <typename Pixel>
inline Pixel load_pixel(const uint8_t* source) {
  Pixel v;
  std::memcpy(&v, source, sizeof v);
  return v;
}

template <typename Pixel, typename Depth_Policy, typename Color_Policy, bool Masked>
void copy_image(const Image_Placement& p, const pixel::Frame& f, const Frame_Buffer_Mask* mask) {
  constexpr bool whole_rows = Color_Policy::plain && !Depth_Policy::enabled && !Masked;
  // Local copies: stores through the 32-bit pixel pointer could otherwise alias them.
  const int32_t count = p.count;
  const uint32_t step = p.depth_step;
  const uint8_t* source_row = p.source;
  uint32_t depth = p.depth;
  for (int32_t r = 0; r < p.rows; ++r, source_row += p.source_row_bytes) {
    const int32_t y = p.first_y - r;
    Pixel* out = f.color_at<Pixel>(p.first_x, y);
    if constexpr (whole_rows) {
      // memmove: a source taken from the buffer itself may overlap the row.
      std::memmove(out, source_row, std::size_t(count) * sizeof(Pixel));
      continue;
    }
    [[maybe_unused]] uint16_t* depth_out = nullptr;
    if constexpr (Depth_Policy::enabled) depth_out = f.depth_at(p.first_x, y);
    [[maybe_unused]] pixel::Mask_Cursor cursor;
    if constexpr (Masked) cursor = pixel::mask_cursor_at(*mask, p.first_x, y);
    for (int32_t i = 0; i < count; ++i) {
      const Pixel source = load_pixel<Pixel>(source_row + std::size_t(i) * sizeof(Pixel));
      bool drawn = Color_Policy::writes(source);
      if constexpr (Masked) drawn = !cursor.step_right().excluded() && drawn;
      // The accumulator moves on for every pixel, drawn or not.
      [[maybe_unused]] const uint16_t z = pixel::depth_of(int32_t(depth));
      [[maybe_unused]] uint16_t stored_z = 0;
      if constexpr (Depth_Policy::enabled) {
        depth += step;
        stored_z = depth_out[i];
        drawn &= Depth_Policy::passes(uint32_t(z), stored_z);
      }
      if constexpr (Color_Policy::plain) {
        // A copy stores every pixel back, changed or not: without branches the
        // depth-tested copy vectorises.
        if constexpr (Depth_Policy::enabled) depth_out[i] = drawn ? z : stored_z;
        out[i] = drawn ? source : out[i];
      } else if (drawn) {
        // Blending is dearer than a branch: only drawn pixels pay for it.
        if constexpr (Depth_Policy::enabled) depth_out[i] = z;
        out[i] = Color_Policy::combine(out[i], source);
      }
    }
    if constexpr (Depth_Policy::enabled) depth += p.row_gap;
  }
}

}  // namespace images
