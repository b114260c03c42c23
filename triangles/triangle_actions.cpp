// What each configuration installs into the triangle slots: the actions of its
// dispatch table (triangle_dispatch.h).
#include "core/action_installation.h"
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
  switch (c) {
  case Configuration::A: return installs<pixel::Config_A>();
  case Configuration::B: return installs<pixel::Config_B>();
  case Configuration::C: return installs<pixel::Config_C>();
  case Configuration::D: return installs<pixel::Config_D>();
  case Configuration::E: return installs<pixel::Config_E>();
  case Configuration::F: return installs<pixel::Config_F>();
  }
  return {};
}
