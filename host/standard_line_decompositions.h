// How the host draws the lines and markers renderers leave to it.
//
// Polylines reach the host when their rendition asks for a style (line style
// non-zero) or a width (line weight above 1).  The host draws them on a copy
// of the rendition whose line style is 0 and weight 1:
//   - the style splits the polyline into dashes (line_pieces.h);
//   - a line of weight 1 or less is drawn dash by dash through the renderer's
//     2DI polyline action of the same kind (plain, colorized, Gouraud);
//   - a wide line (weights above 4096 count as 4096) is drawn as quads through
//     the renderer's 2DI triangle strips: plain lines as flat strips in the
//     rendition's colour, colorized lines as colorized strips in the colour of
//     the segment each quad belongs to, Gouraud lines as Gouraud strips with
//     the colours of the points each corner was made from.  The strips draw on
//     a copy whose face is solid, without depth offset, without the strip-edges
//     and transparency bits: a line is not a face.
// Colours and depths of points made between the original ones are
// interpolated along their segment.
//
// Polymarkers reach the host when the marker style is non-zero: each point
// gets the style's symbol (marker_symbols.h), outlines through the 2DI
// polyline action, fills through the 2D triangle strip on the face copy
// above, all at the point's depth in the rendition's colour.
#pragma once

#include <cstdint>

#include "host/standard_decompositions.h"
#include "host/zt_actions.h"

enum class ZD_Line_Colors { Plain, Per_Segment, Per_Vertex };

// The host's drawing of a styled or wide polyline (see above).  colors: one
// per segment (Per_Segment; colors[0] for all when single) or per point
// (Per_Vertex); unused for Plain.
void ZD_Draw_Host_Polyline(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition,
                           int32_t count, const ZT_DCI_Point* points, const ZT_RGB32* colors,
                           bool single, ZD_Line_Colors kind);
// The host's drawing of symbol markers.
void ZD_Draw_Host_Polymarker(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition,
                             int32_t count, const ZT_DCI_Point* points);

namespace zd_host {
template <ZT_Slot S>
constexpr bool is_polyline_slot =
    S == ZT_Slot::draw_2di_polyline || S == ZT_Slot::draw_dci_polyline ||
    S == ZT_Slot::draw_2di_colorized_polyline || S == ZT_Slot::draw_dci_colorized_polyline ||
    S == ZT_Slot::draw_2di_gouraud_polyline || S == ZT_Slot::draw_dci_gouraud_polyline;
}

template <ZT_Slot S>
  requires(zd_host::is_polyline_slot<S>)
struct ZD_Decomposition<S> {
  static constexpr int32_t reentry_limit = 1;
  static void run(ZT_Renderer_Data* r, const ZT_Rendition& d, int32_t count,
                  const ZT_DCI_Point* points) {
    ZD_Draw_Host_Polyline(r, d, count, points, nullptr, true, ZD_Line_Colors::Plain);
  }
  static void run(ZT_Renderer_Data* r, const ZT_Rendition& d, int32_t count,
                  const ZT_DCI_Point* points, const ZT_RGB32* colors, bool single) {
    ZD_Draw_Host_Polyline(r, d, count, points, colors, single, ZD_Line_Colors::Per_Segment);
  }
  static void run(ZT_Renderer_Data* r, const ZT_Rendition& d, int32_t count,
                  const ZT_DCI_Point* points, const ZT_RGB32* colors) {
    ZD_Draw_Host_Polyline(r, d, count, points, colors, false, ZD_Line_Colors::Per_Vertex);
  }
};

template <>
struct ZD_Decomposition<ZT_Slot::draw_2di_polymarker> {
  static constexpr int32_t reentry_limit = 1;
  static void run(ZT_Renderer_Data* r, const ZT_Rendition& d, int32_t count,
                  const ZT_DCI_Point* points) {
    ZD_Draw_Host_Polymarker(r, d, count, points);
  }
};
