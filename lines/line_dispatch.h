// The line actions: for every configuration and slot (the six polylines, the
// dot and the polymarker), the gates that hand a call on in their exact order,
// ending in the rasteriser that draws.  Line_Action<slot, configuration>::run
// is the function installed in the slot.
//
// The plain DCI polyline of A, B, E and F is only a shim: the colorized DCI
// action of the configuration with the rendition's current colour as the one
// colour for every segment (so a styled or wide line reaches the host's
// colorized routine).  C and D draw their plain lines (the colour index)
// themselves.
//
// The polylines' gates:
//   1. 2DI only: no colour buffer, fewer than two points or a missing colour
//      array draws nothing (the DCI actions, promised all of them, check only
//      after the next two gates).
//   2. A styled line (line style non-zero) or a wide one (weight above 1) goes
//      to the host's standard action for the slot, arguments unchanged.
//   3. A depth configuration with depth testing off in the rendition draws as
//      its configuration without depth (F as B, E as A, D as C).
// The polymarker of a blending configuration hands an opaque current colour to
// the opaque configuration first, and a marker symbol goes to the host after
// the depth test flag.
#pragma once

#include <string_view>
#include <type_traits>

#include "lines/point_actions.h"
#include "lines/polyline_actions.h"
#include "pixel/action_gates.h"
#include "pixel/configuration.h"

namespace lines {

using namespace pixel::configurations;
using namespace pixel::gate_vocabulary;

inline bool styled_or_wide(const pixel::Renderer_State&, const ZT_Rendition& d) {
  return d->line_style != 0 || d->line_weight > 1;
}
inline bool marker_symbol(const pixel::Renderer_State&, const ZT_Rendition& d) {
  return d->marker_style != 0;
}
inline bool opaque_current_colour(const pixel::Renderer_State&, const ZT_Rendition& d) {
  return pixel::alpha_of(d->current_color.word()) == 255;
}

inline constexpr char styled_or_wide_name[] = "styled or wide line: host";
inline constexpr char marker_symbol_name[] = "marker symbol: host";
inline constexpr char opaque_name[] = "opaque colour: opaque configuration";

using Styled_Or_Wide_To_Host = pixel::To_Host_When<&styled_or_wide, styled_or_wide_name>;
using Symbol_To_Host = pixel::To_Host_When<&marker_symbol, marker_symbol_name>;
template <class To>
using Opaque_To = pixel::To_When<&opaque_current_colour, To, opaque_name>;

// The plain DCI polyline as the colorized one of the same configuration, in
// the current colour.
struct As_Colorized {
  static constexpr std::string_view name = "colorized action in the current colour";
  template <class Family, ZT_Slot S, class C>
  static bool take(pixel::Renderer_State& r, const ZT_Rendition& d, int32_t count,
                   const ZT_DCI_Point* points) {
    pixel::send<Family, ZT_Slot::draw_dci_colorized_polyline, C>(r, d, count, points,
                                                                 &d->current_color, true);
    return true;
  }
};

// A 2DI polyline with nothing to draw stops here.
struct Nothing_To_Draw {
  static constexpr std::string_view name = "nothing to draw";
  template <class Family, ZT_Slot S, class C, class... Extra>
  static bool take(pixel::Renderer_State& r, const ZT_Rendition&, int32_t count,
                   const ZT_DCI_Point* points, Extra... extra) {
    return !can_draw(r, count, points, extra...);
  }
};

template <class C>
struct Line_Dispatch;

// Without depth: no hand-off to another configuration (A's polymarker aside).
template <class C>
struct Line_Dispatch_Without_Depth {
  using plain_dci = std::conditional_t<C::mapped, Gates<Styled_Or_Wide_To_Host, Draw>,
                                       Gates<As_Colorized>>;
  using polyline_dci = Gates<Styled_Or_Wide_To_Host, Draw>;
  using polyline_2di = Gates<Nothing_To_Draw, Styled_Or_Wide_To_Host, Draw>;
  using dot = Gates<Draw>;
  using polymarker = Gates<Symbol_To_Host, Draw>;
};

template <>
struct Line_Dispatch<Config_A> : Line_Dispatch_Without_Depth<Config_A> {
  using polymarker = Gates<Opaque_To<Config_B>, Symbol_To_Host, Draw>;
};
template <>
struct Line_Dispatch<Config_B> : Line_Dispatch_Without_Depth<Config_B> {};
template <>
struct Line_Dispatch<Config_C> : Line_Dispatch_Without_Depth<Config_C> {};

// With depth: depth testing off draws as the configuration without depth.
template <class C>
struct Line_Dispatch_With_Depth {
  using To = typename C::Without_Depth;
  using plain_dci = std::conditional_t<C::mapped, Gates<Styled_Or_Wide_To_Host, Depth_Off_To<To>, Draw>,
                                       Gates<As_Colorized>>;
  using polyline_dci = Gates<Styled_Or_Wide_To_Host, Depth_Off_To<To>, Draw>;
  using polyline_2di = Gates<Nothing_To_Draw, Styled_Or_Wide_To_Host, Depth_Off_To<To>, Draw>;
  using dot = Gates<Depth_Off_To<To>, Draw>;
  using polymarker = Gates<Depth_Off_To<To>, Symbol_To_Host, Draw>;
};

// D keeps the host's polymarker (line_actions.cpp installs none).
template <>
struct Line_Dispatch<Config_D> : Line_Dispatch_With_Depth<Config_D> {};
template <>
struct Line_Dispatch<Config_E> : Line_Dispatch_With_Depth<Config_E> {
  using polymarker = Gates<Opaque_To<Config_F>, Depth_Off_To<Config_A>, Symbol_To_Host, Draw>;
};
template <>
struct Line_Dispatch<Config_F> : Line_Dispatch_With_Depth<Config_F> {};

// The row of a slot, and the rasteriser each slot ends in.
template <ZT_Slot S, class T>
struct Line_Row {
  using type = std::conditional_t<Polyline_Slot<S>::clips, typename T::polyline_2di,
                                  typename T::polyline_dci>;
};
template <class T>
struct Line_Row<ZT_Slot::draw_dci_polyline, T> {
  using type = typename T::plain_dci;
};
template <class T>
struct Line_Row<ZT_Slot::draw_dci_dot, T> {
  using type = typename T::dot;
};
template <class T>
struct Line_Row<ZT_Slot::draw_2di_polymarker, T> {
  using type = typename T::polymarker;
};

template <ZT_Slot S, class C>
struct Line_Rasteriser_Of {
  using type = Polyline_Rasteriser<S, C>;
};
template <class C>
struct Line_Rasteriser_Of<ZT_Slot::draw_dci_dot, C> {
  using type = Dot_Rasteriser<C>;
};
template <class C>
struct Line_Rasteriser_Of<ZT_Slot::draw_2di_polymarker, C> {
  using type = Polymarker_Rasteriser<C>;
};

// The line family in the gate vocabulary.  Its rasterisers choose their masked
// variant themselves, after the hand-off of a wholly visible 2DI polyline.
struct Line_Family {
  template <ZT_Slot S, class C>
  using Gates_Of = typename Line_Row<S, Line_Dispatch<C>>::type;
  template <ZT_Slot S, class C, bool Masked>
  using Rasteriser = typename Line_Rasteriser_Of<S, C>::type;
};

template <ZT_Slot S, class C>
using Line_Action = pixel::Gated_Action<Line_Family, S, C>;

template <typename Config>
void draw_dot(pixel::Renderer_State& r, const ZT_Rendition& rendition, const ZT_DCI_Point* point,
              const ZT_RGB32* colour) {
  pixel::send<Line_Family, ZT_Slot::draw_dci_dot, Config>(r, rendition, point, colour);
}

template <ZT_Slot Dci, typename Config, typename... Extra>
void hand_to_dci(pixel::Renderer_State& r, const ZT_Rendition& rendition, int32_t count,
                 const ZT_DCI_Point* points, Extra... extra) {
  if constexpr (sizeof...(Extra) == 0)
    pixel::send<Line_Family, Dci, Config>(r, rendition, count, points);
  else
    r.actions.call<Dci>(rendition, count, points, extra...);
}

} // namespace lines
