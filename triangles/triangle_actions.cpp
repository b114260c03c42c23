// What each configuration installs into the triangle slots: the actions of its
// dispatch table (triangle_dispatch.h).
#include "triangles/triangle_actions.h"

#include "triangles/triangle_dispatch.h"

namespace {

using triangles::Triangle_Action;

template <ZT_Slot S, class C>
Slot_Installation action() {
  return install<S>(&Triangle_Action<S, C>::run);
}

template <class C>
std::span<const Slot_Installation> installs() {
  static const Slot_Installation list[] = {
      action<ZT_Slot::draw_dc_polytriangle, C>(),
      action<ZT_Slot::draw_dci_polytriangle, C>(),
      action<ZT_Slot::draw_dc_colorized_polytriangle, C>(),
      action<ZT_Slot::draw_dci_colorized_polytriangle, C>(),
      action<ZT_Slot::draw_dc_gouraud_polytriangle, C>(),
      action<ZT_Slot::draw_dci_gouraud_polytriangle, C>(),
      action<ZT_Slot::draw_2d_polytriangle, C>(),
      action<ZT_Slot::draw_2di_polytriangle, C>(),
      action<ZT_Slot::draw_2d_colorized_polytriangle, C>(),
      action<ZT_Slot::draw_2di_colorized_polytriangle, C>(),
      action<ZT_Slot::draw_2d_gouraud_polytriangle, C>(),
      action<ZT_Slot::draw_2di_gouraud_polytriangle, C>(),
  };
  return list;
}

}  // namespace

std::span<const Slot_Installation> triangle_actions(Configuration c) {
  return pixel::with_configuration(c, []<class C>(C) { return installs<C>(); });
}
