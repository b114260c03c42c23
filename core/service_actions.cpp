// The buffer services each configuration installs, and the pre-clipped slots.
#include <vector>

#include "core/action_installation.h"
#include "core/buffer_services.h"

std::span<const Slot_Installation> service_actions(Configuration c) {
  // Without a depth buffer, clearing it does nothing and the depth image
  // services stay the host's.  get_image and span_dc_rectangle follow only the
  // colour system.
  static const Slot_Installation true_color[] = {
      nothing_action<ZT_Slot::clear_depth_buffer>(),
      install<ZT_Slot::get_image>(&get_true_color_image),
      install<ZT_Slot::span_dc_rectangle>(&span_true_color_rectangle),
  };
  static const Slot_Installation mapped[] = {
      nothing_action<ZT_Slot::clear_depth_buffer>(),
      install<ZT_Slot::get_image>(&get_mapped_image),
      install<ZT_Slot::span_dc_rectangle>(&span_mapped_rectangle),
  };
  static const Slot_Installation true_color_depth[] = {
      install<ZT_Slot::clear_depth_buffer>(&clear_depth_buffer),
      install<ZT_Slot::get_depth_image>(&get_depth_image),
      install<ZT_Slot::put_depth_image>(&put_depth_image),
      install<ZT_Slot::get_image>(&get_true_color_image),
      install<ZT_Slot::span_dc_rectangle>(&span_true_color_rectangle),
  };
  static const Slot_Installation mapped_depth[] = {
      install<ZT_Slot::clear_depth_buffer>(&clear_depth_buffer),
      install<ZT_Slot::get_depth_image>(&get_depth_image),
      install<ZT_Slot::put_depth_image>(&put_depth_image),
      install<ZT_Slot::get_image>(&get_mapped_image),
      install<ZT_Slot::span_dc_rectangle>(&span_mapped_rectangle),
  };
  if (has_depth(c)) return is_mapped(c) ? std::span(mapped_depth) : std::span(true_color_depth);
  return is_mapped(c) ? std::span(mapped) : std::span(true_color);
}

std::span<const Slot_Installation> tiling_actions() {
  // The pre-clipped strips (textured ones included) and polylines.
  static const std::vector<Slot_Installation> list = [] {
    std::vector<Slot_Installation> all;
    for (std::span<const Slot_Installation> part :
         {preclip_triangle_actions(), preclip_textured_actions(), preclip_polyline_actions()})
      all.insert(all.end(), part.begin(), part.end());
    return all;
  }();
  return list;
}
