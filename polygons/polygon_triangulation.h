// Polygons that no single strip covers: the host's contour-set triangulation,
// each triangle handed on as it is found.
#pragma once

#include <cstdint>

#include "polygons/triangle_target.h"
#include "host/zarnik11.h"

namespace polygon_detail {

struct Piece_Context {
  ZT_Renderer_Data* renderer;
  const ZT_Rendition* rendition;
  const ZT_RGB32* color;
};

template <Triangle_Target T>
void draw_piece(const ZT_Point* a, const ZT_Point* b, const ZT_Point* c, void* context) {
  const Piece_Context& piece = *static_cast<const Piece_Context*>(context);
  const ZT_Point triangle[3] = {*a, *b, *c};
  draw_through<T>(piece.renderer, *piece.rendition, 3, triangle, piece.color);
}

} // namespace polygon_detail

// Triangulates the outline p0 .. p(n-1) in the device's x, y plane (odd-even
// rule: self-intersecting outlines fill what an odd number of loops encloses)
// and draws every triangle through the target.  Outlines the host cannot
// triangulate (a coordinate that is not finite) draw nothing.
template <Triangle_Target T>
void draw_triangulated(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition, int32_t n,
                       const ZT_Point* points, const ZT_RGB32* color) {
  ZT_Contour_Set outline(n, points, false);
  ZT_Contour_Set_Data* data = outline.make_unshared();
  data->force_projection({0, 0, 1});
  polygon_detail::Piece_Context context{renderer, &rendition, color};
  data->triangulate(&polygon_detail::draw_piece<T>, &context);
}
