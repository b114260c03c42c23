// A straddling triangle as the clipping rasterisers scan it: the triangle
// itself when its three vertices lie within the coordinate-safe square, else
// the triangles of its part inside the square, cut by the general triangle
// clipper, which gives the new points depths and vertex colours from the
// planes through the triangle's own.
#pragma once

#include <cstdint>

#include "triangles/clipped_scan.h"
#include "triangles/triangle_clipper.h"

namespace triangles {

// Calls paint(v) for each piece, v being its three vertices in walk
// coordinates with the depth offset added to each depth and, for Channels > 0,
// channel values channels_of(colour) from its vertex colours (colours: the
// triangle's three, or null when Channels is 0).
template <int Channels, class Channels_Of, class Paint>
inline void for_each_safe_piece(const ZT_DCI_Point* p, const ZT_RGB32* colours,
                                int32_t depth_offset, Channels_Of&& channels_of, Paint&& paint) {
  auto paint_strip = [&](int32_t n, const ZT_DCI_Point* q, const ZT_RGB32* c) {
    for (int32_t i = 0; i + 2 < n; ++i) {
      Vertex<Channels> v[3];
      for (int32_t k = 0; k < 3; ++k) {
        const ZT_DCI_Point& point = q[i + k];
        v[k].x = walk_x(point.x);
        v[k].y = walk_y(point.y);
        v[k].z = int32_t(uint32_t(point.z) + uint32_t(depth_offset));
        if constexpr (Channels > 0) v[k].channel = channels_of(c[i + k]);
      }
      paint(v);
    }
  };
  if (within_safe_square(p[0]) && within_safe_square(p[1]) && within_safe_square(p[2]))
    return paint_strip(3, p, colours);
  Clipped_Strip pieces;
  clip_triangle({p, Channels > 0 ? colours : nullptr}, coordinate_safe_square, pieces);
  paint_strip(pieces.count, pieces.points, pieces.colors);
}

}  // namespace triangles
