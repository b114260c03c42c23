// Where a polygon's triangles go: a pair of triangle slots of the renderer's
// action table, the plain one for a polygon in the rendition's current colour
// and the colorized one for a polygon with a colour of its own.
#pragma once

#include <cstdint>

#include "host/zarnik11.h"

struct Triangle_Target {
  ZT_Slot plain;
  ZT_Slot colorized;
  // The single-colour flag the colorized slot is called with.  With false the
  // slot still takes color[0] for a strip of one triangle.
  bool single;
};

// Draws a strip of n points through the target, in whatever rasteriser
// establish installed there.
template <Triangle_Target T, typename Point>
void draw_through(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition, int32_t n,
                  const Point* points, const ZT_RGB32* color) {
  if (color)
    renderer->actions.call<T.colorized>(rendition, n, points, color, T.single);
  else
    renderer->actions.call<T.plain>(rendition, n, points);
}
