// The gate vocabulary every family's actions are written in.
//
// An action is a row of gates in the order they apply, ending in the
// rasteriser that draws.  Each gate looks at the call and either hands it on
// (to the host's standard action of the slot, to the same slot of another
// configuration, to the masked twin) and answers true, or answers false and
// lets the next gate look.  The rows are types, so a test can read them
// (gate_names) and the compiler inlines every hand-off.
//
// A family is a type with
//   Family::Gates_Of<S, C>             the row of slot S in configuration C
//   Family::Rasteriser<S, C, Masked>   ::draw(state, rendition, the slot's arguments)
// and Gated_Action<Family, S, C>::run is the function installed in the slot.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "host/zarnik11.h"
#include "pixel/renderer_state.h"

namespace pixel {

// The words a family writes its tables in; a family brings them in with
// `using namespace pixel::gate_vocabulary;`.
inline namespace gate_vocabulary {

template <class... Gate>
struct Gates {};

template <class Family, ZT_Slot S, class C, class Fn = typename ZT_Slot_Traits<S>::Function>
struct Gated_Action;

template <class Family, ZT_Slot S, class C, class... A>
struct Gated_Action<Family, S, C, void(ZT_Renderer_Data*, const ZT_Rendition&, A...)> {
  static void run(ZT_Renderer_Data* renderer, const ZT_Rendition& d, A... a) {
    Renderer_State& r = Renderer_State::of(renderer);
    [&]<class... G>(Gates<G...>) {
      (void)(G::template take<Family, S, C>(r, d, a...) || ...);
    }(typename Family::template Gates_Of<S, C>{});
  }
};

// Hands a call to the action of slot S in configuration C of the family.
template <class Family, ZT_Slot S, class C, class... A>
inline void send(Renderer_State& r, const ZT_Rendition& d, A... a) {
  Gated_Action<Family, S, C>::run(&r, d, a...);
}

// The names of a row's gates, in order, for tests and documentation.
template <class Family, ZT_Slot S, class C>
constexpr auto gate_names() {
  return []<class... G>(Gates<G...>) {
    return std::array<std::string_view, sizeof...(G)>{G::name...};
  }(typename Family::template Gates_Of<S, C>{});
}

// ---------------------------------------------------------------------------
// Conditions of a call, for the gates below.
using Call_Condition = bool(const Renderer_State&, const ZT_Rendition&);

inline bool transparency_bit(const Renderer_State&, const ZT_Rendition& d) {
  return (d->advanced_options & ZT_Advanced_Transparency) != 0;
}
inline bool depth_test_off(const Renderer_State&, const ZT_Rendition& d) {
  return !d->depth_test_active;
}
inline bool merge_on(const Renderer_State& r, const ZT_Rendition& d) {
  return r.merge_in_force(d);
}
// Face patterns from 75 on, and indices below 0, are the host's.
inline bool host_pattern(const Renderer_State&, const ZT_Rendition& d) {
  const int32_t index = d->face->pattern_index;
  return index < 0 || index >= ZT_Pattern_First_Host_Only;
}

// ---------------------------------------------------------------------------
// Gates.  take<Family, S, C>(state, rendition, the slot's arguments…).

// The condition hands the call unchanged to the host's standard action of the slot.
template <Call_Condition* Applies, const char* Name>
struct To_Host_When {
  static constexpr std::string_view name = Name;
  template <class Family, ZT_Slot S, class C, class... A>
  static bool take(Renderer_State& r, const ZT_Rendition& d, A... a) {
    if (!Applies(r, d)) return false;
    ZT_Slot_Traits<S>::standard(&r, d, a...);
    return true;
  }
};

// The condition hands the call to configuration To's action of the same slot.
template <Call_Condition* Applies, class To, const char* Name>
struct To_When {
  static constexpr std::string_view name = Name;
  template <class Family, ZT_Slot S, class C, class... A>
  static bool take(Renderer_State& r, const ZT_Rendition& d, A... a) {
    if (!Applies(r, d)) return false;
    send<Family, S, To>(r, d, a...);
    return true;
  }
};

inline constexpr char pattern_to_host_name[] = "host pattern: host";
inline constexpr char transparency_name[] = "transparency bit: blending configuration";
inline constexpr char depth_off_name[] = "depth test off: configuration without depth";
inline constexpr char merge_name[] = "merge control: merging configuration";

using Pattern_To_Host = To_Host_When<&host_pattern, pattern_to_host_name>;
// The transparency bit: opaque true colour hands the call to the blending configuration.
template <class To>
using Transparency_To = To_When<&transparency_bit, To, transparency_name>;
// Depth testing off in the rendition: the configuration without depth draws.
template <class To>
using Depth_Off_To = To_When<&depth_test_off, To, depth_off_name>;
// Merge control in force: the configuration that merges draws.
template <class To>
using Merge_To = To_When<&merge_on, To, merge_name>;

// A complex-clip mask applies: the masked twin draws.
struct Mask_To_Twin {
  static constexpr std::string_view name = "mask: masked twin";
  template <class Family, ZT_Slot S, class C, class... A>
  static bool take(Renderer_State& r, const ZT_Rendition& d, A... a) {
    if (!r.mask_active_for_draw(d)) return false;
    Family::template Rasteriser<S, C, true>::draw(r, d, a...);
    return true;
  }
};

// The last gate: the rasteriser draws.
struct Draw {
  static constexpr std::string_view name = "draw";
  template <class Family, ZT_Slot S, class C, class... A>
  static bool take(Renderer_State& r, const ZT_Rendition& d, A... a) {
    Family::template Rasteriser<S, C, false>::draw(r, d, a...);
    return true;
  }
};

}  // namespace gate_vocabulary
}  // namespace pixel
