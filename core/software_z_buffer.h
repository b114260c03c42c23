// The renderer object: its fields, its virtual operations and its options.
#pragma once

#include <cstdint>

#include "host/zarnik11.h"
#include "pixel/configuration.h"
#include "pixel/renderer_state.h"

class Mask_Cache_Data;

// Positions of the option handles the renderer keeps, in registration order
// ("Mask Cache" is registered last but keeps position 3).
enum Option_Handle : int32_t {
  Option_Margin,
  Option_Color_Buffer,
  Option_Depth_Buffer,
  Option_Mask_Cache,
  Option_Try_MMX,
  Option_Use_Mask,
  Option_Clip_Phase,
  Option_Enable_Tiling,
  Option_Merge_Background_Color,
  Option_Force_Merge,
  Option_ZBuffer_Write,
  Option_ZBuffer_Test,
  Option_Handle_Count
};

// The renderer: what draws read (its buffers as a frame, the depth and merge
// settings, the colour cube) lives in the state it derives from; the counted
// buffers, the mask cache and the option handles live here.
class Software_Z_Buffer : public pixel::Renderer_State {
public:
  explicit Software_Z_Buffer(const ZT_Renderer_Data* parent);
  ~Software_Z_Buffer() override;

  int32_t establish() override;
  void update(const ZT_Int_Rectangle& rect) override;

  // The renderer as its actions receive it.
  static Software_Z_Buffer* from(ZT_Renderer_Data* r) { return static_cast<Software_Z_Buffer*>(r); }

  ZT_Option* requested_option_handles[Option_Handle_Count] = {};
  ZT_Option* current_option_handles[Option_Handle_Count] = {};
  ZT_Shared_Image color_buffer;  // 32-bit true colour or 8-bit indices
  ZT_Shared_Image depth_buffer;  // 16-bit depth, empty without depth buffering
  ZT_Counted_Ptr<Mask_Cache_Data> mask_cache;
  ZT_Int_Point window_size;  // width, height at the last establish
  // The window origin at the last establish.  Masks are made for it: a
  // pre-clipped action moves the frame's origin to (0, 0) while it draws in
  // local coordinates, and a mask made meanwhile must still fit the window.
  ZT_Int_Point established_origin;
  // Beyond the fields above: what the last establish chose.
  Configuration configuration = Configuration::B;
  bool established = false;

  // The device coordinate of buffer pixel (0, 0).
  void set_window_origin(ZT_Int_Point origin) {
    frame.origin_x = origin.x;
    frame.origin_y = origin.y;
  }
  // Describes the current buffers in the frame draws read.
  void describe_buffers();
  // Whether the frame's masks come from a cache ("Use Mask").
  void use_masks(bool on) { set_masks_in_use(on); }

  // Reading option values through the current table's handles.
  bool option_bool(Option_Handle h) const;
  const ZT_Option_Value* option_value(Option_Handle h) const;

protected:
  const Frame_Buffer_Mask* mask_for_draw(const ZT_Rendition& rendition) override;
};

// Registers the renderer's options into a table, keeping handles (position order
// of Option_Handle).
void register_renderer_options(ZT_Option_Table& table, ZT_Option* handles[Option_Handle_Count]);
// Installs the "ZBuffer Write" and "ZBuffer Test" setters into the current table.
void install_depth_setters(Software_Z_Buffer& renderer);
