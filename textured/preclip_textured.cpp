// The pre-clipped textured strips: double-precision device points that may lie
// anywhere, drawn through the 2DI textured action as the action table holds
// it.  One function serves every configuration.
//
// For one call (pixel/window_local_call.h: origin (0, 0), local rendition),
// the walk of the pre-clipped strips with the textured arguments carried
// along:
//   - the host's outcodes of the points against the far rectangle;
//   - every point inside: the whole strip, converted, in one call with the
//     call's colours, parameters, vertex w and normals;
//   - every point beyond one common side: nothing;
//   - otherwise, when the call brings no vertex w and the rendition asks for
//     perspective (any bit of its word), each point's w from the rendition's
//     transform (the point through the transform's adjoint and back through
//     the transform); then a run of inside triangles goes converted in one
//     call, a triangle beyond one side is skipped, and any other triangle is
//     cut by the host to the far rectangle, its colours, parameters (every one
//     of a vertex's group), vertex w and normals following the cut points.
// Points advance by one, colours by one, parameters by the parameter width,
// vertex w and normals by one, each only when given.
#include <algorithm>
#include <cstdint>
#include <cstddef>

#include "pixel/small_buffer.h"
#include "pixel/window_local_call.h"
#include "textured/textured_actions.h"
#include "triangles/strip_outcodes.h"

namespace textured {
namespace {

// The per-vertex arrays of a call from vertex i on (null where not given).
struct Vertex_Arrays {
  const ZT_RGB32* colours;
  const ZT_Parameter* parameters;
  int32_t width;
  const float* w;
  const ZT_Vector* normals;

  Vertex_Arrays from(int32_t i) const {
    const std::size_t group = width > 0 ? std::size_t(i) * std::size_t(width) : 0;
    return {colours ? colours + i : nullptr, parameters ? parameters + group : nullptr, width,
            w ? w + i : nullptr, normals ? normals + i : nullptr};
  }
};

void draw_2di(const pixel::Renderer_State& r, const ZT_Rendition& d, int32_t n,
              const ZT_DCI_Point* points, const Vertex_Arrays& a) {
  r.actions.call<ZT_Slot::draw_2di_textured_polytriangle>(d, n, points, a.colours, a.parameters,
                                                          a.width, a.w, a.normals);
}

void preclip_textured(ZT_Renderer_Data* renderer, const ZT_Rendition& caller, int32_t count,
                      const ZT_Point_D* points, const ZT_RGB32* colours,
                      const ZT_Parameter* parameters, int32_t width, const float* vertex_w,
                      const ZT_Vector* normals) {
  if (count < 3 || points == nullptr) return;
  pixel::Renderer_State& r = pixel::Renderer_State::of(renderer);
  const pixel::Window_Local_Call call(r, caller);
  const ZT_Rendition& d = call.rendition();
  triangles::Strip_Outcodes codes(call.far_rectangle(), count, points);
  if (codes.nothing_visible()) return;
  pixel::Small_Buffer<ZT_DCI_Point> local(count);
  const auto converted = [&](int32_t i, int32_t n) {
    for (int32_t k = i; k < i + n; ++k) local[k] = call.local_point(points[k]);
    return static_cast<const ZT_DCI_Point*>(local.data() + i);
  };
  Vertex_Arrays arrays{colours, parameters, width, vertex_w, normals};
  if (codes.all_inside()) return draw_2di(r, d, count, converted(0, count), arrays);

  // Vertex w the perspective asks for and the call does not bring.
  pixel::Small_Buffer<float> made_w(count);
  if (!vertex_w && d->perspective != 0 && d->transform) {
    const ZT_Counted_Ptr<ZT_Matrix> adjoint = d->transform->adjoint();
    for (int32_t k = 0; k < count; ++k) {
      ZT_Point_D model;
      adjoint->transform(points[k], &model);
      made_w[k] = d->transform->transform(model);
    }
    arrays.w = made_w.data();
  }
  // The cut points' attributes: up to ZD_Preclip_Max_Points, parameters in
  // groups of the call's width.
  const int32_t group = std::max(width, 1);
  ZT_DCI_Point cut[ZD_Preclip_Max_Points];
  ZT_RGB32 cut_colours[ZD_Preclip_Max_Points];
  float cut_w[ZD_Preclip_Max_Points];
  ZT_Vector cut_normals[ZD_Preclip_Max_Points];
  pixel::Small_Buffer<ZT_Parameter> cut_parameters(ZD_Preclip_Max_Points * group);
  codes.walk(
      [&](int32_t i, int32_t n) { draw_2di(r, d, n, converted(i, n), arrays.from(i)); },
      [&](int32_t i) {
        const ZT_Point_D triangle[3] = {call.translated(points[i]), call.translated(points[i + 1]),
                                        call.translated(points[i + 2])};
        const Vertex_Arrays in = arrays.from(i);
        int32_t n = 0;
        if (!ZD_Preclip_2D_Triangle(renderer, d, pixel::local_far_rectangle, triangle, &n, cut,
                                    in.colours, in.colours ? cut_colours : nullptr, in.parameters,
                                    width, in.parameters ? cut_parameters.data() : nullptr, in.w,
                                    in.w ? cut_w : nullptr, in.normals,
                                    in.normals ? cut_normals : nullptr))
          return;
        draw_2di(r, d, n, cut,
                 {in.colours ? cut_colours : nullptr,
                  in.parameters ? cut_parameters.data() : nullptr, width, in.w ? cut_w : nullptr,
                  in.normals ? cut_normals : nullptr});
      });
}

}  // namespace
}  // namespace textured

std::span<const Slot_Installation> preclip_textured_actions() {
  static const Slot_Installation list[] = {
      install<ZT_Slot::draw_preclip_textured_polytriangle>(&textured::preclip_textured),
  };
  return list;
}
