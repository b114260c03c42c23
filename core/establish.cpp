// Establish: choose the configuration, install its actions, make the buffers
// fit the window, prepare the mask cache and derive the merge colours.
#include <algorithm>

#include "core/action_installation.h"
#include "core/mask_cache.h"
#include "core/software_z_buffer.h"

namespace {

void install_all(Software_Z_Buffer& r, std::span<const Slot_Installation> list, bool nothing) {
  for (const Slot_Installation& entry : list) {
    ZT_Action_Slot& slot = r.actions.slot(entry.slot);
    slot = {&r, nothing ? do_nothing_function(entry.slot) : entry.function, 0, 1};
  }
}

// Slots an earlier establish filled with this renderer's functions go back to
// the host's standard actions, so that no action of an earlier configuration
// (a depth service without a depth buffer, say) survives into one that does
// not list it.  Slots the host filled itself are left alone.
void reset_own_slots(Software_Z_Buffer& r) {
  ZT_Renderer_Data& base = r;
#define RESET_SLOT(name, fn, std_fn)                                                            \
  if (r.actions.slot(ZT_Slot::name).owner == &base && !r.actions.holds_standard(ZT_Slot::name)) \
    r.actions.install<ZT_Slot::name>(&r, &std_fn);
  ZT_ACTION_SLOTS(RESET_SLOT)
#undef RESET_SLOT
}

bool image_fits(const ZT_Shared_Image& image, int32_t width, int32_t height,
                ZT_Image_Format format, bool check_format) {
  return !image.empty() && (!check_format || image->format == format) &&
         image->width == width && image->height == height;
}

// The image the allocation callback made is trusted only when it has the size,
// the format and the rows that were asked for.
bool image_usable(const ZT_Shared_Image& image, int32_t width, int32_t height) {
  return !image.empty() && image->width == width && image->height == height &&
         int32_t(image->rows_by_y.size()) == height &&
         image->row_bytes >= width * ZT_Image_Data::bytes_per_pixel(image->format);
}

ZT_RGB32 palette_color(const ZT_Palette* palette, int32_t index) {
  return palette ? palette->color(index) : ZT_RGB32();
}

void derive_merge_colors(Software_Z_Buffer& r, const ZT_Palette* palette) {
  const ZT_Option_Value* v = r.option_value(Option_Merge_Background_Color);
  const int32_t* rgb = v ? v->as_int3() : nullptr;
  uint8_t red = rgb ? uint8_t(rgb[0]) : 255, green = rgb ? uint8_t(rgb[1]) : 255,
          blue = rgb ? uint8_t(rgb[2]) : 255;
  r.merge_background_color = ZT_RGB32(red, green, blue, 255);
  r.merge_alternate_color = ZT_RGB32(red, green, blue == 0 ? 1 : uint8_t(blue - 1), 255);
  if (!palette) {
    // Without a palette there is no index to derive: both stay as they were.
    return;
  }
  r.merge_background_index = uint8_t(palette->closest_match(r.merge_background_color, false));
  r.merge_alternate_index = r.merge_background_index;
  // Walk away from the background colour in steps of 5 per component until the
  // palette gives another index, turning back at the ends of the range.
  ZT_RGB32 c = palette_color(palette, r.merge_background_index);
  c.a = 255;
  uint8_t* component[3] = {&c.r, &c.g, &c.b};
  int32_t step[3];
  for (int i = 0; i < 3; ++i) step[i] = *component[i] > 250 ? -5 : 5;
  for (int32_t counter = 0;
       r.merge_alternate_index == r.merge_background_index && counter < 512; counter += 5) {
    for (int i = 0; i < 3; ++i) {
      if (*component[i] > 250) step[i] = -5;
      else if (*component[i] < 5) step[i] = 5;
      *component[i] = uint8_t(*component[i] + step[i]);
    }
    r.merge_alternate_index = uint8_t(palette->closest_match(c, false));
  }
}

// What the renderer cannot draw.  The window's sides must fit the host's image
// cap, its device rectangle must keep to 32-bit coordinates (local coordinates
// are device minus origin throughout the rasterisers), a palette colour system
// needs a palette (the merge rule and the host's conversions look colours up in
// it), and the cube's scales must keep a component's level with 8 fraction bits
// (255 × scale) below 2^15, where the Gouraud channels shift it by 16.
ZT_Establish_Result refusal(const ZT_Renderer_Options& options, const ZT_Color_Cube& cube) {
  const ZT_Int_Point size = options.window_size();
  if (size.x > ZT_Largest_Window_Side || size.y > ZT_Largest_Window_Side)
    return ZT_Refused_Window_Size;
  if (!options.local_coordinates()) {
    const ZT_Int_Point o = options.window_origin();
    if (int64_t(o.x) + std::max(size.x, 1) - 1 > INT32_MAX ||
        int64_t(o.y) + std::max(size.y, 1) - 1 > INT32_MAX)
      return ZT_Refused_Window_Origin;
  }
  if (options.color_system() != 1) {
    if (!options.palette()) return ZT_Refused_No_Palette;
    auto drawable = [](int32_t scale) { return scale >= 0 && scale <= 128; };
    if (!drawable(cube.red_scale) || !drawable(cube.green_scale) || !drawable(cube.blue_scale))
      return ZT_Refused_Color_Cube;
  }
  return ZT_Established;
}

}  // namespace

int32_t Software_Z_Buffer::establish() {
  const ZT_Renderer_Options& options = *renderer_options();
  const int32_t buffer_depth = options.buffer_depth();
  const int32_t color_system = options.color_system();
  const bool alpha = options.alpha_blending();
  const ZT_Int_Point size = options.window_size();
  const ZT_Palette* palette = options.palette();
  const ZT_Color_Cube cube = palette && palette->color_cube() ? *palette->color_cube() : color_cube;
  const ZT_Establish_Result refused = refusal(options, cube);
  // A refused establish is handled like a window without pixels: no buffers,
  // and actions that do nothing.
  const bool window_empty = size.x <= 0 || size.y <= 0 || refused != ZT_Established;

  reset_own_slots(*this);
  configuration = choose_configuration(buffer_depth, color_system, alpha);

  // The actions: polygons, the configuration's families, the colour-system
  // services and, with "Enable Tiling", the pre-clipped slots.  Without buffers
  // to draw into (a window without pixels, or an allocation that failed) the same
  // slots get actions that do nothing, so that no action touches a missing buffer.
  auto install_actions = [&](bool nothing) {
    install_all(*this, polygon_actions(), nothing);
    install_all(*this, triangle_actions(configuration), nothing);
    install_all(*this, textured_actions(configuration, alpha), nothing);
    install_all(*this, line_actions(configuration), nothing);
    install_all(*this, image_actions(configuration), nothing);
    install_all(*this, service_actions(configuration), nothing);
    if (option_bool(Option_Enable_Tiling)) install_all(*this, tiling_actions(), nothing);
  };
  install_actions(window_empty);

  // The window origin: (0, 0) when the options ask for local coordinates.
  set_window_origin(options.local_coordinates() ? ZT_Int_Point{0, 0} : options.window_origin());
  established_origin = window_origin();

  // The palette's colour cube, when it has one (or the cube the renderer had).
  color_cube = cube;

  // The colour buffer, taken from outside ("Color Buffer") or kept while it fits.
  if (const ZT_Option_Value* v = option_value(Option_Color_Buffer); v && v->as_pointer()) {
    auto* image = static_cast<ZT_Image_Data*>(v->as_pointer());
    if (image != color_buffer.data()) color_buffer = ZT_Shared_Image(image);
  }
  const ZT_Image_Format color_format =
      color_system == 1 ? ZT_Image_Format_RGB32 : ZT_Image_Format_Mapped8;
  if (window_empty) {
    color_buffer.release();
  } else if (!image_fits(color_buffer, size.x, size.y, color_format,
                         color_system == 0 || color_system == 1)) {
    allocate_image(allocate_image_context, size.x, size.y, &color_format, &color_buffer);
    if (!image_usable(color_buffer, size.x, size.y)) color_buffer.release();
    ZT_Option* published = current_option_handles[Option_Color_Buffer];
    published->set(ZT_Option_Value(static_cast<ZT_Counted*>(color_buffer.data())));
  }

  // The depth buffer, kept while it fits.
  if (buffer_depth < 1 || window_empty) {
    depth_buffer.release();
  } else if (!image_fits(depth_buffer, size.x, size.y, ZT_Image_Format_Depth16, true)) {
    const ZT_Image_Format depth_format = ZT_Image_Format_Depth16;
    allocate_image(allocate_image_context, size.x, size.y, &depth_format, &depth_buffer);
    if (!image_usable(depth_buffer, size.x, size.y)) depth_buffer.release();
  }
  // An allocation that failed leaves nothing to draw into.
  if (!window_empty && (color_buffer.empty() || (buffer_depth >= 1 && depth_buffer.empty()))) {
    color_buffer.release();
    depth_buffer.release();
    install_actions(true);
  }

  // The window size (none when refused: masks are never made for it), and the
  // buffers as draws see them.
  window_size = refused == ZT_Established ? size : ZT_Int_Point{0, 0};
  describe_buffers();

  // The mask cache: shared through "Mask Cache" or made here, emptied either way.
  if (option_bool(Option_Use_Mask)) {
    const ZT_Option_Value* v = option_value(Option_Mask_Cache);
    if (v && v->as_pointer()) {
      mask_cache = static_cast<Mask_Cache_Data*>(v->as_pointer());
    } else {
      mask_cache = new Mask_Cache_Data();
      requested_option_handles[Option_Mask_Cache]->set(
          ZT_Option_Value(static_cast<ZT_Counted*>(mask_cache.get())));
      update_current_options();
    }
    mask_cache->empty();
  } else {
    mask_cache.reset();
  }
  use_masks(mask_cache != nullptr);

  // The merge colours and "Force Merge Control On".
  derive_merge_colors(*this, palette);
  force_merge = option_bool(Option_Force_Merge) ? 1 : 0;
  established = refused == ZT_Established;
  return refused;
}
