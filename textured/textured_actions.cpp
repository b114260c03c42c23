// What each configuration installs into the textured triangle slots: the
// actions of its variant's dispatch rows (textured_dispatch.h).  Configuration
// D takes its opaque or its alpha variant as the alpha-blending option says;
// A, B and C install none, leaving the host's standard actions.
#include "textured/textured_actions.h"

#include "textured/textured_dispatch.h"

namespace {

using textured::Textured_Action;

template <ZT_Slot S, class V>
Slot_Installation action() {
  return install<S>(&Textured_Action<S, V>::run);
}

template <class V>
std::span<const Slot_Installation> installs() {
  static const Slot_Installation list[] = {
      action<ZT_Slot::draw_2d_textured_polytriangle, V>(),
      action<ZT_Slot::draw_dc_textured_polytriangle, V>(),
      action<ZT_Slot::draw_2di_textured_polytriangle, V>(),
      action<ZT_Slot::draw_dci_textured_polytriangle, V>(),
  };
  return list;
}

}  // namespace

std::span<const Slot_Installation> textured_actions(Configuration c, bool alpha_blending) {
  switch (c) {
  case Configuration::D:
    return alpha_blending ? installs<textured::D_Alpha>() : installs<textured::D_Opaque>();
  case Configuration::E: return installs<textured::Variant_E>();
  case Configuration::F: return installs<textured::Variant_F>();
  default: return {};
  }
}
