// What each configuration installs into the two image slots: its own action
// for the kind of its colour buffer, the host's for the other kind.
#include "images/image_actions.h"

#include "images/image_dispatch.h"

namespace {

template <typename C>
std::span<const Slot_Installation> installs() {
  using images::Image_Action;
  if constexpr (C::mapped) {
    static const Slot_Installation list[] = {
        host_action<ZT_Slot::draw_dci_rgb32_image>(),
        install<ZT_Slot::draw_dci_index8_image>(
            &Image_Action<ZT_Slot::draw_dci_index8_image, C>::run),
    };
    return list;
  } else {
    static const Slot_Installation list[] = {
        install<ZT_Slot::draw_dci_rgb32_image>(&Image_Action<ZT_Slot::draw_dci_rgb32_image, C>::run),
        host_action<ZT_Slot::draw_dci_index8_image>(),
    };
    return list;
  }
}

}  // namespace

std::span<const Slot_Installation> image_actions(Configuration c) {
  return pixel::with_configuration(c, []<class C>(C) { return installs<C>(); });
}
