// What a draw reads of the renderer: its buffers, the depth and merge options in
// force, the merge colours, the colour cube and the complex-clip mask of the
// draw.  The renderer object derives from this and keeps it filled; every
// rasteriser sees the renderer through it alone.
#pragma once

#include <cstdint>

#include "host/zarnik11.h"
#include "pixel/color_rules.h"
#include "pixel/frame.h"

namespace pixel {

class Renderer_State : public ZT_Renderer_Data {
public:
  explicit Renderer_State(const ZT_Renderer_Data* parent)
      : ZT_Renderer_Data(parent), color_cube(ZT_Int_RGB{2, 2, 2}, 1.0f, 0) {}

  // The renderer as its actions receive it.
  static Renderer_State& of(ZT_Renderer_Data* r) { return *static_cast<Renderer_State*>(r); }

  Frame frame;  // the buffers and the window origin
  ZT_Color_Cube color_cube;      // true colours to palette indices (C and D)
  uint8_t depth_write = 1;       // "ZBuffer Write"
  int32_t depth_test_mode = 2;   // "ZBuffer Test": 1 <, 5 >, anything else <=
  int32_t edge_depth_offset = 0;  // set only while a strip's edges are drawn
  uint8_t merge_background_index = 255;
  uint8_t merge_alternate_index = 255;
  ZT_RGB32 merge_background_color;
  ZT_RGB32 merge_alternate_color;
  uint8_t force_merge = 0;  // "Force Merge Control On"

  ZT_Int_Point window_origin() const { return {frame.origin_x, frame.origin_y}; }

  // Merge control applies when the renderer forces it or the rendition asks for it.
  bool merge_in_force(const ZT_Rendition& rendition) const {
    return force_merge != 0 || rendition->drawing_mode == ZT_Drawing_Mode_Merge;
  }
  // The merge colours and, for merged indices, the current palette.
  Merge_Colors merge_colors() {
    return {merge_background_color.word(), merge_alternate_color.word(), merge_background_index,
            merge_alternate_index, renderer_options()->palette()};
  }

  // True when a complex-clip mask applies to this draw; the mask is then
  // active_mask() until the next draw asks.
  bool mask_active_for_draw(const ZT_Rendition& rendition) {
    if (!masks_in_use_ || rendition->complex_clip.empty()) return false;
    mask_ = mask_for_draw(rendition);
    return mask_ != nullptr;
  }
  const Frame_Buffer_Mask& active_mask() const { return *mask_; }

protected:
  // Whether "Use Mask" gave the renderer a mask cache.
  void set_masks_in_use(bool on) { masks_in_use_ = on; }
  // The mask of the rendition's complex clip, brought to the head of the
  // renderer's cache; null when the clip leaves nothing to mask with.
  virtual const Frame_Buffer_Mask* mask_for_draw(const ZT_Rendition& rendition) = 0;

private:
  bool masks_in_use_ = false;
  const Frame_Buffer_Mask* mask_ = nullptr;
};

}  // namespace pixel
