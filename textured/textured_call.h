// What a textured rasteriser takes from the renderer, the rendition and the
// texture once per call, and how a strip point becomes a textured vertex.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "pixel/frame.h"
#include "pixel/renderer_state.h"
#include "textured/texel_fetch.h"
#include "textured/texel_span.h"
#include "textured/textured_variants.h"
#include "triangles/clipped_scan.h"

namespace textured {

// The texture coordinates of a strip's vertices: vertex i reads the first
// parameter of its own width-long group, parameters[i × width].  A call
// without parameters (or with a negative width) gives every vertex (0, 0).
class Texel_Parameters {
public:
  Texel_Parameters(const ZT_Parameter* first, int32_t width) {
    if (first && width >= 0) {
      first_ = first;
      width_ = std::size_t(width);
    }
  }
  const ZT_Parameter& of(int32_t i) const { return first_[std::size_t(i) * width_]; }
  // The parameters from vertex i on.
  Texel_Parameters from(int32_t i) const { return Texel_Parameters(&of(i), width_); }

private:
  Texel_Parameters(const ZT_Parameter* first, std::size_t width) : first_(first), width_(width) {}
  static constexpr ZT_Parameter origin{};
  const ZT_Parameter* first_ = &origin;
  std::size_t width_ = 0;
};

struct Textured_Call {
  Textured_Call(pixel::Renderer_State& r, const ZT_Rendition& d, const ZT_Texture& texture)
      : renderer(r),
        rendition(d),
        frame(r.frame),
        image(texture),
        depth_offset(d->face->depth_offset) {}

  pixel::Renderer_State& renderer;
  const ZT_Rendition& rendition;
  pixel::Frame frame;
  Texel_Image image;  // held until the call ends
  int32_t depth_offset;

  // Rows an unclipped span may lie on: the window's.
  triangles::Row_Window rows() const { return {0, frame.height}; }
  bool has_buffers() const { return frame.has_color() && frame.depth_rows != nullptr; }

  // Vertices at least this far above or below the window draw nothing: within
  // it every row count and step fits 32 bits.
  static constexpr int64_t row_reach = int64_t(1) << 28;

  // The local position of point p (its depth with the face's depth offset).
  // False when it lies left or right of the window's columns (0 to width
  // inclusive, a span's right end being excluded) or beyond the row reach: the
  // unclipped rasterisers rely on their callers clipping, and a triangle with
  // such a vertex is not drawn.
  template <class Vertex>
  bool place(const ZT_DCI_Point& p, Vertex& v) const {
    const int64_t x = int64_t(p.x) - frame.origin_x;
    const int64_t y = int64_t(p.y) - frame.origin_y;
    if (x < 0 || x > frame.width || y < -row_reach || y > frame.height + row_reach) return false;
    v.x = int32_t(x);
    v.y = int32_t(y);
    v.z = int32_t(uint32_t(p.z) + uint32_t(depth_offset));
    return true;
  }
  // The same in the walk coordinates of the clipped-triangle rasteriser (p
  // lies within the coordinate-safe square).
  template <class Vertex>
  void place_for_clipping(const ZT_DCI_Point& p, Vertex& v) const {
    v.x = triangles::walk_x(p.x);
    v.y = triangles::walk_y(p.y);
    v.z = int32_t(uint32_t(p.z) + uint32_t(depth_offset));
  }
  // Texel coordinates, once per vertex: U = trunc(u × width), V = trunc(v × height).
  template <class Vertex>
  void texel_coordinates(const ZT_Parameter& t, Vertex& v) const {
    v.extra.u = texel_coordinate(t.u, image.width());
    v.extra.v = texel_coordinate(t.v, image.height());
  }
};

// The colour values of a vertex colour on a modulated strip: its bytes (E
// adds the alpha), or in D each byte times the cube's scale for its channel.
template <class V, int Colours>
std::array<int32_t, Colours> colour_values(const ZT_Color_Cube& cube, ZT_RGB32 c) {
  if constexpr (Colours == 0) return {};
  else if constexpr (V::mapped)
    return {c.b * cube.blue_scale, c.g * cube.green_scale, c.r * cube.red_scale};
  else if constexpr (Colours == 4) return {c.b, c.g, c.r, c.a};
  else return {c.b, c.g, c.r};
}

// Calls paint(i, a, b, c) for every triangle i of the strip whose vertices
// make(j, vertex) could place, each point made once, in strip order.
template <class Vertex, class Make, class Paint>
inline void walk_textured_strip(int32_t count, Make&& make, Paint&& paint) {
  Vertex ring[3];
  bool placed[3] = {false, false, false};
  for (int32_t j = 0, slot = 0; j < count; ++j, slot = slot == 2 ? 0 : slot + 1) {
    placed[slot] = make(j, ring[slot]);
    if (j < 2 || !(placed[0] && placed[1] && placed[2])) continue;
    // slot holds point j; the two before it lie in the slots before it.
    const int a = slot == 2 ? 0 : slot + 1, b = a == 2 ? 0 : a + 1;
    paint(j - 2, ring[a], ring[b], ring[slot]);
  }
}

}  // namespace textured
