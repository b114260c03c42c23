#include <algorithm>
#include <cstring>

#include "trace/zd_trace_arguments.h"

namespace zd_trace {

int32_t colors_in_call(ZT_Slot s, int32_t count, bool single) {
  switch (s) {
  case ZT_Slot::draw_2d_polygon:
  case ZT_Slot::draw_dc_polygon:
  case ZT_Slot::draw_2di_polygon:
  case ZT_Slot::draw_dci_polygon: return 1;
  case ZT_Slot::draw_2di_colorized_polyline:
  case ZT_Slot::draw_dci_colorized_polyline:
  case ZT_Slot::draw_preclip_colorized_polyline: return single ? 1 : std::max(count - 1, 0);
  case ZT_Slot::draw_2d_colorized_polytriangle:
  case ZT_Slot::draw_dc_colorized_polytriangle:
  case ZT_Slot::draw_2di_colorized_polytriangle:
  case ZT_Slot::draw_dci_colorized_polytriangle:
  case ZT_Slot::draw_preclip_colorized_polytriangle: return single ? 1 : std::max(count - 2, 0);
  default: return std::max(count, 0);
  }
}

bool colors_required(ZT_Slot s) {
  const char* name = ZT_slot_name(s);
  const bool shaded = std::strstr(name, "colorized") || std::strstr(name, "gouraud");
  return shaded && (std::strstr(name, "polytriangle") || std::strstr(name, "polyline"));
}

}  // namespace zd_trace
