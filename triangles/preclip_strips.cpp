// The pre-clipped triangle strips: double-precision device points that may lie
// anywhere, drawn through the 2DI action of their kind as the action table
// holds it.  The same functions serve every configuration.
//
// For one call (pixel/window_local_call.h: origin (0, 0), local rendition):
//   - the host's outcodes of the points against the far rectangle;
//   - every point inside: the whole strip, converted, in one call;
//   - every point beyond one common side: nothing;
//   - otherwise the strip walk of the 2DI actions (strip_outcodes.h): a run of
//     inside triangles goes converted in one call with the colours at its
//     start; a triangle beyond one side is skipped; any other triangle is cut
//     by the host to the far rectangle (ZD_Preclip_2D_Triangle, in local
//     coordinates) and what remains goes as a strip of its own: colorized
//     with the triangle's colour as the single colour, Gouraud with the
//     colours of the cut points.
// Colours advance per triangle (colorized, single clear) or per point
// (Gouraud), whatever happened to the triangle.  Fewer than three points, no
// points or no colours where the kind needs them draw nothing.
#include <cstdint>

#include "pixel/small_buffer.h"
#include "pixel/window_local_call.h"
#include "triangles/strip_outcodes.h"
#include "triangles/triangle_actions.h"

namespace triangles {
namespace {

// What the kinds differ in: the slot they hand on to, the arguments of a run
// of points i .. i + n - 1, and those of the strip a cut triangle i left.
struct Flat_Strip {
  static constexpr ZT_Slot slot = ZT_Slot::draw_2di_polytriangle;
  bool missing() const { return false; }
  const ZT_RGB32* vertex_colours(int32_t) const { return nullptr; }
  void run(const ZT_Action_Table& t, const ZT_Rendition& d, int32_t, int32_t n,
           const ZT_DCI_Point* p) const {
    t.call<slot>(d, n, p);
  }
  void cut(const ZT_Action_Table& t, const ZT_Rendition& d, int32_t, int32_t n,
           const ZT_DCI_Point* p, const ZT_RGB32*) const {
    t.call<slot>(d, n, p);
  }
};

struct Colorized_Strip {
  static constexpr ZT_Slot slot = ZT_Slot::draw_2di_colorized_polytriangle;
  const ZT_RGB32* colours;
  bool single;
  bool missing() const { return colours == nullptr; }
  const ZT_RGB32* vertex_colours(int32_t) const { return nullptr; }
  void run(const ZT_Action_Table& t, const ZT_Rendition& d, int32_t i, int32_t n,
           const ZT_DCI_Point* p) const {
    t.call<slot>(d, n, p, single ? colours : colours + i, single);
  }
  void cut(const ZT_Action_Table& t, const ZT_Rendition& d, int32_t i, int32_t n,
           const ZT_DCI_Point* p, const ZT_RGB32*) const {
    t.call<slot>(d, n, p, single ? colours : colours + i, true);
  }
};

struct Gouraud_Strip {
  static constexpr ZT_Slot slot = ZT_Slot::draw_2di_gouraud_polytriangle;
  const ZT_RGB32* colours;
  bool missing() const { return colours == nullptr; }
  const ZT_RGB32* vertex_colours(int32_t i) const { return colours + i; }
  void run(const ZT_Action_Table& t, const ZT_Rendition& d, int32_t i, int32_t n,
           const ZT_DCI_Point* p) const {
    t.call<slot>(d, n, p, colours + i);
  }
  void cut(const ZT_Action_Table& t, const ZT_Rendition& d, int32_t, int32_t n,
           const ZT_DCI_Point* p, const ZT_RGB32* cut_colours) const {
    t.call<slot>(d, n, p, cut_colours);
  }
};

template <class Kind>
void draw_preclipped(ZT_Renderer_Data* renderer, const ZT_Rendition& caller, int32_t count,
                     const ZT_Point_D* points, const Kind& kind) {
  if (count < 3 || points == nullptr || kind.missing()) return;
  pixel::Renderer_State& r = pixel::Renderer_State::of(renderer);
  const pixel::Window_Local_Call call(r, caller);
  const ZT_Rendition& d = call.rendition();
  Strip_Outcodes codes(call.far_rectangle(), count, points);
  if (codes.nothing_visible()) return;
  pixel::Small_Buffer<ZT_DCI_Point> local(count);
  const auto converted = [&](int32_t i, int32_t n) {
    for (int32_t k = i; k < i + n; ++k) local[k] = call.local_point(points[k]);
    return static_cast<const ZT_DCI_Point*>(local.data() + i);
  };
  if (codes.all_inside()) return kind.run(r.actions, d, 0, count, converted(0, count));
  codes.walk([&](int32_t i, int32_t n) { kind.run(r.actions, d, i, n, converted(i, n)); },
             [&](int32_t i) {
               const ZT_Point_D triangle[3] = {call.translated(points[i]),
                                               call.translated(points[i + 1]),
                                               call.translated(points[i + 2])};
               const ZT_RGB32* colours = kind.vertex_colours(i);
               int32_t n = 0;
               ZT_DCI_Point cut[ZD_Preclip_Max_Points];
               ZT_RGB32 cut_colours[ZD_Preclip_Max_Points];
               if (ZD_Preclip_2D_Triangle(renderer, d, pixel::local_far_rectangle, triangle, &n,
                                          cut, colours, colours ? cut_colours : nullptr, nullptr,
                                          0, nullptr, nullptr, nullptr, nullptr, nullptr))
                 kind.cut(r.actions, d, i, n, cut, cut_colours);
             });
}

void flat(ZT_Renderer_Data* r, const ZT_Rendition& d, int32_t count, const ZT_Point_D* points) {
  draw_preclipped(r, d, count, points, Flat_Strip{});
}
void colorized(ZT_Renderer_Data* r, const ZT_Rendition& d, int32_t count,
               const ZT_Point_D* points, const ZT_RGB32* colours, bool single) {
  draw_preclipped(r, d, count, points, Colorized_Strip{colours, single});
}
void gouraud(ZT_Renderer_Data* r, const ZT_Rendition& d, int32_t count, const ZT_Point_D* points,
             const ZT_RGB32* colours) {
  draw_preclipped(r, d, count, points, Gouraud_Strip{colours});
}

}  // namespace
}  // namespace triangles

std::span<const Slot_Installation> preclip_triangle_actions() {
  static const Slot_Installation list[] = {
      install<ZT_Slot::draw_preclip_polytriangle>(&triangles::flat),
      install<ZT_Slot::draw_preclip_colorized_polytriangle>(&triangles::colorized),
      install<ZT_Slot::draw_preclip_gouraud_polytriangle>(&triangles::gouraud),
  };
  return list;
}
