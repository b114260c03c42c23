// What a triangle rasteriser takes from the renderer and the rendition once per
// call, and the walk over the triangles of a strip.
#pragma once

#include <cstdint>

#include "pixel/color_rules.h"
#include "triangles/coverage.h"
#include "pixel/frame.h"
#include "pixel/renderer_state.h"
#include "triangles/span_values.h"
#include "triangles/triangle_scan.h"

namespace triangles {

struct Strip_Context {
  Strip_Context(pixel::Renderer_State& r, const ZT_Rendition& d, bool masked)
      : renderer(r),
        rendition(d),
        frame(r.frame),
        mask(masked ? &r.active_mask() : nullptr),
        depth_offset(d->face->depth_offset),
        merge(r.merge_in_force(d)),
        merge_colors(merge ? r.merge_colors() : pixel::Merge_Colors{}) {}

  pixel::Renderer_State& renderer;
  const ZT_Rendition& rendition;
  pixel::Frame frame;
  const Frame_Buffer_Mask* mask;  // the complex-clip mask of a masked twin
  int32_t depth_offset;
  bool merge;
  pixel::Merge_Colors merge_colors;  // read only when merge is in force

  // Rows a span may lie on: the window's.  (Configuration A's rule of skipping
  // spans outside the window's rows, applied everywhere.)
  Row_Window rows() const { return {0, frame.height}; }

  // Vertices at least this far above or below the window draw nothing: within
  // it every row count and step fits 32 bits.
  static constexpr int64_t row_reach = int64_t(1) << 28;

  // The local vertices of the triangle starting at p.  False when a vertex lies
  // left or right of the window's columns (0 to width inclusive, the right end
  // of a span being excluded) or beyond the row reach: the unclipped rasterisers
  // rely on their callers clipping, and such a triangle is not drawn.
  template <int Channels>
  bool local_triangle(const ZT_DCI_Point* p, Vertex<Channels> (&v)[3]) const {
    for (int k = 0; k < 3; ++k) {
      const int64_t x = int64_t(p[k].x) - frame.origin_x;
      const int64_t y = int64_t(p[k].y) - frame.origin_y;
      if (x < 0 || x > frame.width || y < -row_reach || y > frame.height + row_reach)
        return false;
      v[k].x = int32_t(x);
      v[k].y = int32_t(y);
      v[k].z = int32_t(uint32_t(p[k].z) + uint32_t(depth_offset));
    }
    return true;
  }
};

// Calls paint(i, vertices) for every triangle i = 0 … count - 3 of the strip
// that lies where the unclipped rasterisers may draw.  The caller takes the
// triangle's colours by i, so they advance per triangle whether or not it drew.
template <int Channels, class Paint>
inline void walk_strip(const Strip_Context& s, int32_t count, const ZT_DCI_Point* p,
                       Paint&& paint) {
  for (int32_t i = 0; count > 2 && i < count - 2; ++i) {
    Vertex<Channels> v[3];
    if (s.local_triangle(p + i, v)) paint(i, v);
  }
}

// Scan-converts one triangle with a span writer, unclipped.
template <bool Depth, int Channels, class Span_Writer>
inline void paint_triangle(const Strip_Context& s, const Vertex<Channels> (&v)[3],
                           Span_Writer& writer) {
  Whole_Spans<Span_Writer> spans{writer, {}};
  scan_triangle<Depth, Channels>(v[0], v[1], v[2], s.rows(), spans);
}

// Calls draw(coverage) with the coverage the rendition's face pattern asks for,
// under the mask for a masked twin; draws nothing when the face is not filled.
template <bool Masked, class Draw>
inline void with_coverage(const Strip_Context& s, Draw&& draw) {
  Face_Pattern pattern;
  switch (face_fill(s.rendition, pattern)) {
  case Face_Fill::Nothing: return;
  case Face_Fill::Solid:
    if constexpr (Masked) draw(Masked_Coverage<Solid_Coverage>{s.mask, {}});
    else draw(Solid_Coverage{});
    return;
  case Face_Fill::Patterned:
    if constexpr (Masked) draw(Masked_Coverage<Pattern_Coverage>{s.mask, {pattern}});
    else draw(Pattern_Coverage{pattern});
    return;
  }
}

}  // namespace triangles
