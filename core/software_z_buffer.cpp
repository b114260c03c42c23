#include "core/software_z_buffer.h"

#include <new>

#include "core/mask_cache.h"

Software_Z_Buffer::Software_Z_Buffer(const ZT_Renderer_Data* parent)
    : Renderer_State(parent) {
  register_renderer_options(requested_options, requested_option_handles);
  register_renderer_options(current_options, current_option_handles);
  color_buffer = ZT_Shared_Image();
  depth_buffer = ZT_Shared_Image();
  depth_write = 1;
  depth_test_mode = 2;
  constructor_renderer_options.set_buffer_depth(16);
  constructor_renderer_options.set_backing_store(true);
  constructor_renderer_options.set_supports_complex_clip(true);
  set_standard_actions(false);
  merge_background_index = 255;
  force_merge = 0;
  install_depth_setters(*this);
}

Software_Z_Buffer::~Software_Z_Buffer() {
  draw_mask.reset();
  mask_cache.reset();
  depth_buffer.release();
  color_buffer.release();
}

const ZT_Option_Value* Software_Z_Buffer::option_value(Option_Handle h) const {
  ZT_Option* o = current_option_handles[h];
  return o ? o->value() : nullptr;
}

void Software_Z_Buffer::describe_buffers() {
  frame.color_rows = nullptr;
  frame.depth_rows = nullptr;
  frame.color_pixel_bytes = frame.color_row_bytes = frame.depth_row_bytes = 0;
  frame.width = frame.height = 0;
  if (!color_buffer.empty()) {
    frame.color_rows = color_buffer->rows_by_y.data();
    frame.color_pixel_bytes = ZT_Image_Data::bytes_per_pixel(color_buffer->format);
    frame.color_row_bytes = color_buffer->row_bytes;
    frame.width = color_buffer->width;
    frame.height = color_buffer->height;
  }
  if (!depth_buffer.empty()) {
    frame.depth_rows = depth_buffer->rows_by_y.data();
    frame.depth_row_bytes = depth_buffer->row_bytes;
  }
}

bool Software_Z_Buffer::option_bool(Option_Handle h) const {
  const ZT_Option_Value* v = option_value(h);
  return v && v->as_bool();
}

// The module's one export: creates the renderer from the parent renderer data
// read through the argument.  Null when the object cannot be allocated.
extern "C" __attribute__((visibility("default"))) ZT_Renderer_Data*
ZD_Renderer(ZT_Renderer_Data** parent) {
  try {
    return new Software_Z_Buffer(parent ? *parent : nullptr);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
