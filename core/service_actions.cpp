// The buffer services each configuration installs.
#include "action_installation.h"

std::span<const Slot_Installation> service_actions(Configuration c) {
  // Without a depth buffer, clearing it does nothing.
  static const Slot_Installation no_depth[] = {
      nothing_action<ZT_Slot::clear_depth_buffer>(),
  };
  return has_depth(c) ? std::span<const Slot_Installation>()
                      : std::span<const Slot_Installation>(no_depth);
}

std::span<const Slot_Installation> tiling_actions() { return {}; }
