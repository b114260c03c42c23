// What each configuration installs into the action table: one list of
// (slot, function) per family, built from the families' templates.
#pragma once

#include <span>

#include "core/configuration.h"
#include "host/zarnik11.h"

struct Slot_Installation {
  ZT_Slot slot;
  void (*function)();
};

// An entry installing f, checked against the slot's signature.
template <ZT_Slot S>
Slot_Installation install(typename ZT_Slot_Traits<S>::Function* f) {
  return {S, reinterpret_cast<void (*)()>(f)};
}
// An entry putting the host's standard action into the slot.
template <ZT_Slot S>
Slot_Installation host_action() {
  return install<S>(ZT_Slot_Traits<S>::standard);
}

// An action that does nothing, for any slot signature.
template <typename Fn>
struct Do_Nothing;
template <typename... A>
struct Do_Nothing<void(ZT_Renderer_Data*, const ZT_Rendition&, A...)> {
  static void run(ZT_Renderer_Data*, const ZT_Rendition&, A...) {}
};
template <ZT_Slot S>
Slot_Installation nothing_action() {
  return install<S>(&Do_Nothing<typename ZT_Slot_Traits<S>::Function>::run);
}
// The do-nothing function of any slot, type-erased.
void (*do_nothing_function(ZT_Slot s))();

// The families' lists.  Each family defines its own in its folder.
std::span<const Slot_Installation> triangle_actions(Configuration c);
std::span<const Slot_Installation> textured_actions(Configuration c, bool alpha_blending);
std::span<const Slot_Installation> line_actions(Configuration c);
std::span<const Slot_Installation> polygon_actions();
std::span<const Slot_Installation> image_actions(Configuration c);
std::span<const Slot_Installation> service_actions(Configuration c);
std::span<const Slot_Installation> tiling_actions();
