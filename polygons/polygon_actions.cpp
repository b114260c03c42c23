// The four polygon actions: they hold no drawing code of their own but split
// the outline into triangles and draw them through the renderer's triangle
// slots, whatever rasterisers establish put there.
#include "polygons/polygon_actions.h"

#include "pixel/action_gates.h"
#include "pixel/configuration.h"
#include "pixel/small_buffer.h"
#include "polygons/polygon_triangulation.h"
#include "triangles/convex_strip.h"

namespace {

constexpr int32_t max_strip_points = 64;

// The rendition the triangles are drawn with.  While a strip's edges are being
// drawn the renderer's edge depth offset stands in for the face's own; only
// then, and only when the two differ, is the rendition copied (copy-on-write of
// the rendition and of its face attributes).  The caller's rendition is never
// changed.
ZT_Rendition rendition_for_triangles(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition) {
  ZT_Rendition drawn = rendition;
  const int32_t offset = pixel::Renderer_State::of(renderer).edge_depth_offset;
  if (offset != 0 && offset != rendition->face->depth_offset)
    drawn.modify_face()->depth_offset = offset;
  return drawn;
}

// 2D and DC polygons of 3 or more points: 3 points are one triangle; convex
// outlines of up to 64 points become one strip built inside the call;
// everything else is triangulated by the host.
template <Triangle_Target Three, Triangle_Target Pieces>
void split_float_polygon(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition, int32_t n,
                         const ZT_Point* points, const ZT_RGB32* color) {
  const ZT_Rendition drawn = rendition_for_triangles(renderer, rendition);
  if (n == 3) {
    draw_through<Three>(renderer, drawn, 3, points, color);
  } else if (n <= max_strip_points && ZD_Rank_Polygon(n, points).value == ZD_Rank_Convex) {
    pixel::Small_Buffer<ZT_Point, max_strip_points> strip(n);
    write_convex_strip(points, n, strip.data());
    draw_through<Pieces>(renderer, drawn, n, strip.data(), color);
  } else {
    draw_triangulated<Pieces>(renderer, drawn, n, points, color);
  }
}

// 2DI and DCI polygons of 3 or more points: 3 points are one triangle of the
// integer slots; larger outlines are always triangulated, their pieces drawn
// through the float slots with the same coordinates (exact up to 2^24) and the
// call's own rendition.
template <Triangle_Target Three, Triangle_Target Pieces>
void split_integer_polygon(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition, int32_t n,
                           const ZT_DCI_Point* points, const ZT_RGB32* color) {
  if (n == 3) {
    draw_through<Three>(renderer, rendition, 3, points, color);
    return;
  }
  pixel::Small_Buffer<ZT_Point> converted(n);
  for (int32_t i = 0; i < n; ++i)
    converted[i] = {float(points[i].x), float(points[i].y), float(points[i].z)};
  draw_triangulated<Pieces>(renderer, rendition, n, converted.data(), color);
}

constexpr Triangle_Target to_2d{ZT_Slot::draw_2d_polytriangle,
                                ZT_Slot::draw_2d_colorized_polytriangle, true};
constexpr Triangle_Target to_dc{ZT_Slot::draw_dc_polytriangle,
                                ZT_Slot::draw_dc_colorized_polytriangle, true};
constexpr Triangle_Target to_2di{ZT_Slot::draw_2di_polytriangle,
                                 ZT_Slot::draw_2di_colorized_polytriangle, false};
constexpr Triangle_Target to_dci{ZT_Slot::draw_dci_polytriangle,
                                 ZT_Slot::draw_dci_colorized_polytriangle, false};

// The polygon family in the gate vocabulary: the same row in every
// configuration.  Patterns from 75 on go to the host's action with the call's
// own arguments; fewer than 3 points draw nothing; the rest is split.
bool host_pattern(const pixel::Renderer_State&, const ZT_Rendition& rendition) {
  return rendition->face->pattern_index >= ZT_Pattern_First_Host_Only;
}
constexpr char host_pattern_name[] = "pattern 75 or above: host";

template <ZT_Slot S>
struct Polygon_Rasteriser;
template <typename Point, void Split(ZT_Renderer_Data*, const ZT_Rendition&, int32_t, const Point*,
                     const ZT_RGB32*)>
struct Split_Polygon {
  static void draw(pixel::Renderer_State& r, const ZT_Rendition& rendition, int32_t n,
                   const Point* points, const ZT_RGB32* color) {
    if (n < 3 || !points) return;
    Split(&r, rendition, n, points, color);
  }
};
template <>
struct Polygon_Rasteriser<ZT_Slot::draw_2d_polygon>
    : Split_Polygon<ZT_Point, &split_float_polygon<to_2d, to_2d>> {};
template <>
struct Polygon_Rasteriser<ZT_Slot::draw_dc_polygon>
    : Split_Polygon<ZT_Point, &split_float_polygon<to_dc, to_dc>> {};
template <>
struct Polygon_Rasteriser<ZT_Slot::draw_2di_polygon>
    : Split_Polygon<ZT_DCI_Point, &split_integer_polygon<to_2di, to_2d>> {};
template <>
struct Polygon_Rasteriser<ZT_Slot::draw_dci_polygon>
    : Split_Polygon<ZT_DCI_Point, &split_integer_polygon<to_dci, to_dc>> {};

struct Polygon_Family {
  template <ZT_Slot S, class C>
  using Gates_Of = pixel::Gates<pixel::To_Host_When<&host_pattern, host_pattern_name>, pixel::Draw>;
  template <ZT_Slot S, class C, bool Masked>
  using Rasteriser = Polygon_Rasteriser<S>;
};

// Polygons draw through whatever triangle actions are installed, so one
// function serves every configuration.
template <ZT_Slot S>
Slot_Installation action() {
  return install<S>(&pixel::Gated_Action<Polygon_Family, S, pixel::Config_F>::run);
}

} // namespace

// The same four actions in every configuration.
std::span<const Slot_Installation> polygon_actions() {
  static const Slot_Installation list[] = {
      action<ZT_Slot::draw_2d_polygon>(),
      action<ZT_Slot::draw_dc_polygon>(),
      action<ZT_Slot::draw_2di_polygon>(),
      action<ZT_Slot::draw_dci_polygon>(),
  };
  return list;
}
