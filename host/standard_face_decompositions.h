// How the host draws faces that renderers leave to it because of their
// pattern (indices 75 and above, or below 0): the same call again, on a copy of
// the rendition that draws the host pattern through the user pattern
// (host_patterns.h).  The flat, colorized and Gouraud triangle strips of every
// point space and the four polygon actions share this decomposition.
#pragma once

#include "host/host_patterns.h"
#include "host/standard_decompositions.h"
#include "host/zt_actions.h"
#include "host/zt_renderer_data.h"

namespace zd_host {

constexpr bool is_face_slot(ZT_Slot s) {
  switch (s) {
  case ZT_Slot::draw_2d_polytriangle:
  case ZT_Slot::draw_dc_polytriangle:
  case ZT_Slot::draw_2di_polytriangle:
  case ZT_Slot::draw_dci_polytriangle:
  case ZT_Slot::draw_2d_colorized_polytriangle:
  case ZT_Slot::draw_dc_colorized_polytriangle:
  case ZT_Slot::draw_2di_colorized_polytriangle:
  case ZT_Slot::draw_dci_colorized_polytriangle:
  case ZT_Slot::draw_2d_gouraud_polytriangle:
  case ZT_Slot::draw_dc_gouraud_polytriangle:
  case ZT_Slot::draw_2di_gouraud_polytriangle:
  case ZT_Slot::draw_dci_gouraud_polytriangle:
  case ZT_Slot::draw_2d_polygon:
  case ZT_Slot::draw_dc_polygon:
  case ZT_Slot::draw_2di_polygon:
  case ZT_Slot::draw_dci_polygon: return true;
  default: return false;
  }
}

}  // namespace zd_host

template <ZT_Slot S>
  requires(zd_host::is_face_slot(S))
struct ZD_Decomposition<S> {
  static constexpr int32_t reentry_limit = 1;
  template <typename... A>
  static void run(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition, A... a) {
    const int32_t index = rendition->face->pattern_index;
    // A pattern renderers draw themselves: nothing for the host to add.
    if (index >= 0 && index < ZT_Pattern_First_Host_Only) return;
    renderer->actions.call<S>(ZD_With_Host_Pattern(rendition), a...);
  }
};
