// Drawing a triangle strip's edges instead of filling it (the strip-edges bit
// of the advanced options, honoured by the depth-buffered true-colour triangle
// actions).
#pragma once

#include <cstdint>

#include "pixel/renderer_state.h"

namespace triangles {

// Draws, with configuration F's one-pixel polyline whatever the current
// configuration: the polyline through all points, then the one through the
// even-numbered points p[0], p[2], …, then (more than three points) the one
// through the odd-numbered points.  The polylines see a copy of the rendition
// without the strip-edges bit (and without advanced options above bit 9), and
// the renderer's edge depth offset holds the rendition's depth offset while
// they draw.
void draw_strip_edges(pixel::Renderer_State& r, const ZT_Rendition& d, int32_t count,
                      const ZT_DCI_Point* points);
// The same from float points, rounded (x, y and z) first.
void draw_strip_edges(pixel::Renderer_State& r, const ZT_Rendition& d, int32_t count,
                      const ZT_Point* points);

// The same with another polyline, so that the three calls can be watched.
using Strip_Edge_Polyline = void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t,
                                 const ZT_DCI_Point*);
void draw_strip_edges_with(Strip_Edge_Polyline* polyline, pixel::Renderer_State& r,
                           const ZT_Rendition& d, int32_t count, const ZT_DCI_Point* points);

}  // namespace triangles
