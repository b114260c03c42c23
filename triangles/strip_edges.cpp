#include "triangles/strip_edges.h"

#include "pixel/fixed_point.h"
#include "pixel/small_buffer.h"
#include "lines/strip_edge_lines.h"

namespace triangles {

namespace {
// Options the edge polylines may see: the strip-edges bit (5) and every bit
// above bit 9 are cleared.
constexpr uint32_t edge_options_mask = 0x3DF;
}  // namespace

void draw_strip_edges_with(Strip_Edge_Polyline* polyline, pixel::Renderer_State& r,
                           const ZT_Rendition& d, int32_t count, const ZT_DCI_Point* points) {
  ZT_Rendition edges = d;
  edges.set_advanced_options(d->advanced_options & edge_options_mask);
  r.edge_depth_offset = d->face->depth_offset;

  polyline(&r, edges, count, points);
  const int32_t evens = count > 0 ? (count + 1) / 2 : 0;
  pixel::Small_Buffer<ZT_DCI_Point> every_other(evens);
  for (int32_t k = 0; k < evens; ++k) every_other[k] = points[2 * k];
  polyline(&r, edges, evens, every_other.data());
  if (count > 3) {
    const int32_t odds = count / 2;
    for (int32_t k = 0; k < odds; ++k) every_other[k] = points[2 * k + 1];
    polyline(&r, edges, odds, every_other.data());
  }
  r.edge_depth_offset = 0;
}

void draw_strip_edges(pixel::Renderer_State& r, const ZT_Rendition& d, int32_t count,
                      const ZT_DCI_Point* points) {
  draw_strip_edges_with(&draw_2di_polyline_configuration_F, r, d, count, points);
}

void draw_strip_edges(pixel::Renderer_State& r, const ZT_Rendition& d, int32_t count,
                      const ZT_Point* points) {
  pixel::Small_Buffer<ZT_DCI_Point> rounded(count);
  if (count > 0) pixel::round_device_points_xyz(points, count, rounded.data());
  draw_strip_edges(r, d, count, rounded.data());
}

}  // namespace triangles
