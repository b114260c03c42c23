// The buffers of one draw, in local coordinates (device minus window origin).
#pragma once

#include <cstdint>

#include "pixel/color_rules.h"
#include "pixel/mask_cursor.h"
#include "core/mask_cache.h"
#include "core/software_z_buffer.h"

namespace pixel {

// A snapshot of what a rasteriser needs from the renderer, taken once per call.
// Rows are reached by local y (0 is the bottom row); rows lie in memory from the
// top row down, so the row above y is row_bytes lower in memory.
struct Frame {
  uint8_t* const* color_rows = nullptr;  // rows by y
  uint8_t* const* depth_rows = nullptr;  // rows by y, null without depth buffer
  int32_t color_row_bytes = 0;
  int32_t depth_row_bytes = 0;
  int32_t origin_x = 0, origin_y = 0;
  int32_t width = 0, height = 0;

  template <typename Pixel>
  Pixel* color_at(int32_t x, int32_t y) const {
    return reinterpret_cast<Pixel*>(color_rows[y]) + x;
  }
  uint16_t* depth_at(int32_t x, int32_t y) const {
    return reinterpret_cast<uint16_t*>(depth_rows[y]) + x;
  }
};

inline Frame frame_of(const Software_Z_Buffer& r) {
  Frame f;
  if (!r.color_buffer.empty()) {
    f.color_rows = r.color_buffer->rows_by_y.data();
    f.color_row_bytes = r.color_buffer->row_bytes;
    f.width = r.color_buffer->width;
    f.height = r.color_buffer->height;
  }
  if (!r.depth_buffer.empty()) {
    f.depth_rows = r.depth_buffer->rows_by_y.data();
    f.depth_row_bytes = r.depth_buffer->row_bytes;
  }
  f.origin_x = r.window_origin.x;
  f.origin_y = r.window_origin.y;
  return f;
}

// The mask of this draw, valid after mask_active_for_draw answered true.
inline const Frame_Buffer_Mask& active_mask(const Software_Z_Buffer& r) {
  return *r.draw_mask;
}

// Where a span starts: the pixel pointer, the depth pointer (null without depth)
// and the mask cursor (empty when no mask is given).
template <typename Pixel>
struct Span_Cursor {
  Pixel* pixel;
  uint16_t* depth;
  Mask_Cursor mask;
};

template <typename Pixel>
Span_Cursor<Pixel> span_cursor(const Frame& f, int32_t local_y, int32_t local_x,
                               const Frame_Buffer_Mask* mask = nullptr) {
  return {f.color_at<Pixel>(local_x, local_y),
          f.depth_rows ? f.depth_at(local_x, local_y) : nullptr,
          mask ? mask_cursor_at(*mask, local_x, local_y) : Mask_Cursor{}};
}

// Merge colours of the renderer.
inline Merge_Colors merge_colors_of(const Software_Z_Buffer& r) {
  return {r.merge_background_color.word(), r.merge_alternate_color.word(),
          r.merge_background_index, r.merge_alternate_index,
          const_cast<Software_Z_Buffer&>(r).renderer_options()->palette()};
}

// Merge control applies when the renderer forces it or the rendition asks for it.
inline bool merge_in_force(const Software_Z_Buffer& r, const ZT_Rendition& rendition) {
  return r.force_merge != 0 || rendition->drawing_mode == ZT_Drawing_Mode_Merge;
}

}  // namespace pixel
