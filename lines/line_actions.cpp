// What the lines family installs in each configuration: the six polylines, the
// dot and, except in D (which keeps the host's), the polymarker.
#include "lines/line_actions.h"

#include "lines/line_dispatch.h"

namespace {

template <typename C, ZT_Slot S>
Slot_Installation action() {
  return install<S>(&lines::Line_Action<S, C>::run);
}

template <typename C>
std::span<const Slot_Installation> installs() {
  static const Slot_Installation list[] = {
      action<C, ZT_Slot::draw_2di_polyline>(),
      action<C, ZT_Slot::draw_dci_polyline>(),
      action<C, ZT_Slot::draw_2di_colorized_polyline>(),
      action<C, ZT_Slot::draw_dci_colorized_polyline>(),
      action<C, ZT_Slot::draw_2di_gouraud_polyline>(),
      action<C, ZT_Slot::draw_dci_gouraud_polyline>(),
      action<C, ZT_Slot::draw_dci_dot>(),
      action<C, ZT_Slot::draw_2di_polymarker>(),
  };
  // Configuration D keeps the host's polymarker: its list stops before it.
  constexpr bool own_polymarker = C::id != Configuration::D;
  return {list, std::size(list) - (own_polymarker ? 0 : 1)};
}

} // namespace

std::span<const Slot_Installation> line_actions(Configuration c) {
  return pixel::with_configuration(c, []<class C>(C) { return installs<C>(); });
}
