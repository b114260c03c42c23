// What the lines family installs in each configuration: the dot, the six
// polylines and, except in D (which keeps the host's), the polymarker.
#include <array>

#include "core/action_installation.h"
#include "lines/point_actions.h"
#include "lines/polyline_actions.h"

namespace {

// The polyline action of slot S in configuration Config, with the slot's own
// signature.
template <ZT_Slot S, typename Config, typename Fn = typename ZT_Slot_Traits<S>::Function>
struct Polyline_Entry;
template <ZT_Slot S, typename Config, typename... A>
struct Polyline_Entry<
    S, Config, void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t, const ZT_DCI_Point*, A...)> {
  static void run(ZT_Renderer_Data* r, const ZT_Rendition& d, int32_t count,
                  const ZT_DCI_Point* points, A... a) {
    lines::polyline_action<S, Config>(r, d, count, points, a...);
  }
};

template <typename Config, ZT_Slot... S>
constexpr auto polylines_of() {
  return std::array{install<S>(&Polyline_Entry<S, Config>::run)...};
}

template <typename Config>
std::span<const Slot_Installation> lines_of() {
  static const auto polylines =
      polylines_of<Config, ZT_Slot::draw_2di_polyline, ZT_Slot::draw_dci_polyline,
                   ZT_Slot::draw_2di_colorized_polyline, ZT_Slot::draw_dci_colorized_polyline,
                   ZT_Slot::draw_2di_gouraud_polyline, ZT_Slot::draw_dci_gouraud_polyline>();
  static const auto list = [] {
    std::array<Slot_Installation, polylines.size() + 2> all{};
    std::copy(polylines.begin(), polylines.end(), all.begin());
    all[polylines.size()] = install<ZT_Slot::draw_dci_dot>(&lines::dot_action<Config>);
    all[polylines.size() + 1] =
        install<ZT_Slot::draw_2di_polymarker>(&lines::polymarker_action<Config>);
    return all;
  }();
  // Configuration D keeps the host's polymarker: its list stops before it.
  constexpr bool own_polymarker = Config::id != Configuration::D;
  return {list.data(), list.size() - (own_polymarker ? 0 : 1)};
}

} // namespace

std::span<const Slot_Installation> line_actions(Configuration c) {
  switch (c) {
  case Configuration::A:
    return lines_of<pixel::Config_A>();
  case Configuration::B:
    return lines_of<pixel::Config_B>();
  case Configuration::C:
    return lines_of<pixel::Config_C>();
  case Configuration::D:
    return lines_of<pixel::Config_D>();
  case Configuration::E:
    return lines_of<pixel::Config_E>();
  case Configuration::F:
    return lines_of<pixel::Config_F>();
  }
  return {};
}
