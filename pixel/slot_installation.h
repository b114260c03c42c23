// What a family installs into the action table, as data: a list of (slot,
// function), each function checked against its slot's signature.  Establish
// (the renderer object) installs the lists of the configuration it chose.
#pragma once

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
