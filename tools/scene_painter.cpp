#include <algorithm>
#include <map>
#include <utility>

#include "tools/scene_painter.h"

Scene_Painter::Scene_Painter(Host_Session& session, const Viewport& viewport,
                             const Lighting& lighting)
    : session_(session), viewport_(viewport), lighting_(lighting) {
  rendition_.modify()->hard_clip = viewport_.window();
}

uint8_t Scene_Painter::index_of(ZT_RGB32 c) const {
  const ZT_Palette* p = session_.options().palette();
  return p ? uint8_t(p->closest_match(c, false)) : 0;
}

void Scene_Painter::set_color(ZT_RGB32 c) {
  ZT_Rendition_Data* d = rendition_.modify();
  d->current_color = c;
  d->current_index = index_of(c);
}

void Scene_Painter::clear(ZT_RGB32 background) {
  ZT_Rendition_Data* d = rendition_.modify();
  d->rectangle_color = background;
  d->rectangle_index = index_of(background);
  rendition_.modify_face()->pattern_index = ZT_Pattern_Solid;
  actions().call<ZT_Slot::span_dc_rectangle>(rendition_);
  actions().call<ZT_Slot::clear_depth_buffer>(rendition_);
}

void Scene_Painter::present() { ZD_Update(session_.renderer(), viewport_.buffer()); }

void Scene_Painter::apply_style(const Part_Style& style) {
  ZT_Rendition_Data* d = rendition_.modify();
  // Translucent parts ask opaque configurations to hand them to the blending ones.
  d->advanced_options = style.material.alpha < 1
                            ? (d->advanced_options | ZT_Advanced_Transparency)
                            : (d->advanced_options & ~uint32_t(ZT_Advanced_Transparency));
  d->contrast_color = style.contrast_color;
  d->contrast_index = index_of(style.contrast_color);
  ZT_Face_Attributes* f = rendition_.modify_face();
  f->pattern_index = style.pattern_index;
  f->pattern_flags = style.pattern_flags;
  set_color(to_rgb32(style.material.color, style.material.alpha));
}

void Scene_Painter::draw_mesh(const Mesh& mesh, const Mat4& model, const Part_Style& style) {
  const std::size_t n = mesh.positions.size();
  const Mat4 normals = normal_matrix(model);
  std::vector<ZT_Point> device(n);
  std::vector<bool> visible(n);
  std::vector<Vec3> world(n);
  std::vector<ZT_RGB32> colors(n);
  std::vector<Vec3> world_normals(n);
  for (std::size_t i = 0; i < n; ++i) {
    const auto d = viewport_.device(model, mesh.positions[i]);
    visible[i] = d.has_value();
    if (d) device[i] = *d;
    world[i] = transform_point(model, mesh.positions[i]);
    const Vec3 normal = i < mesh.normals.size() ? mesh.normals[i] : Vec3{0, 0, 1};
    world_normals[i] = transform_direction(normals, normal);
    colors[i] = shade(lighting_, style.material, world[i], world_normals[i]);
  }
  const ZT_Int_Rectangle w = viewport_.window();
  std::vector<Face> faces;
  faces.reserve(mesh.triangles.size());
  for (const auto& t : mesh.triangles) {
    if (!visible[t[0]] || !visible[t[1]] || !visible[t[2]]) continue;
    const ZT_Point a = device[t[0]], b = device[t[1]], c = device[t[2]];
    // Faces wholly beyond one side of the window are not handed over at all.
    if (std::max({a.x, b.x, c.x}) < float(w.left) - 0.5f ||
        std::min({a.x, b.x, c.x}) > float(w.right) + 0.5f ||
        std::max({a.y, b.y, c.y}) < float(w.bottom) - 0.5f ||
        std::min({a.y, b.y, c.y}) > float(w.top) + 0.5f)
      continue;
    const float area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (style.cull_back_faces && area <= 0) continue;
    faces.push_back({t, (a.z + b.z + c.z) / 3, std::size_t(&t - mesh.triangles.data())});
  }
  std::stable_sort(faces.begin(), faces.end(),
                   [](const Face& x, const Face& y) { return x.depth > y.depth; });
  apply_style(style);
  switch (style.shading) {
  case Shading::gouraud:
  case Shading::flat:
    if (style.texture && mesh.texcoords.size() == mesh.triangles.size())
      draw_textured_faces(faces, device, colors, world_normals, mesh, style);
    else
      draw_faces(faces, device, colors, world, style);
    break;
  case Shading::wireframe: draw_edges(faces, device, colors, style); break;
  case Shading::points: draw_vertices(faces, device, style); break;
  }
}

namespace {

// One triangle through the slot family a part asks for: the DC/DCI slot when it
// lies in the window, the 2D/2DI slot when it crosses an edge.
template <ZT_Slot In_Float, ZT_Slot Out_Float, ZT_Slot In_Int, ZT_Slot Out_Int,
          typename... Colors>
void triangle(const ZT_Action_Table& table, const ZT_Rendition& r, const ZT_Point (&p)[3],
              bool inside, bool integer, Colors... colors) {
  if (integer) {
    const ZT_DCI_Point q[3] = {rounded(p[0]), rounded(p[1]), rounded(p[2])};
    if (inside) table.call<In_Int>(r, 3, q, colors...);
    else table.call<Out_Int>(r, 3, q, colors...);
  } else if (inside) {
    table.call<In_Float>(r, 3, p, colors...);
  } else {
    table.call<Out_Float>(r, 3, p, colors...);
  }
}

}  // namespace

void Scene_Painter::draw_faces(const std::vector<Face>& faces,
                               const std::vector<ZT_Point>& device,
                               const std::vector<ZT_RGB32>& vertex_colors,
                               const std::vector<Vec3>& world, const Part_Style& style) {
  using S = ZT_Slot;
  for (const Face& f : faces) {
    const auto& v = f.vertices;
    const ZT_Point p[3] = {device[v[0]], device[v[1]], device[v[2]]};
    const bool inside = viewport_.inside(p, 3);
    if (style.shading == Shading::gouraud) {
      const ZT_RGB32 c[3] = {vertex_colors[v[0]], vertex_colors[v[1]], vertex_colors[v[2]]};
      triangle<S::draw_dc_gouraud_polytriangle, S::draw_2d_gouraud_polytriangle,
               S::draw_dci_gouraud_polytriangle, S::draw_2di_gouraud_polytriangle>(
          actions(), rendition_, p, inside, style.integer_points, static_cast<const ZT_RGB32*>(c));
      continue;
    }
    const Vec3 centroid = (world[v[0]] + world[v[1]] + world[v[2]]) * (1.0f / 3);
    const ZT_RGB32 color = shade(lighting_, style.material, centroid,
                                 cross(world[v[1]] - world[v[0]], world[v[2]] - world[v[0]]));
    if (style.rendition_color) {
      set_color(color);
      triangle<S::draw_dc_polytriangle, S::draw_2d_polytriangle, S::draw_dci_polytriangle,
               S::draw_2di_polytriangle>(actions(), rendition_, p, inside, style.integer_points);
    } else {
      triangle<S::draw_dc_colorized_polytriangle, S::draw_2d_colorized_polytriangle,
               S::draw_dci_colorized_polytriangle, S::draw_2di_colorized_polytriangle>(
          actions(), rendition_, p, inside, style.integer_points, &color, false);
    }
  }
}

void Scene_Painter::draw_textured_faces(const std::vector<Face>& faces,
                                        const std::vector<ZT_Point>& device,
                                        const std::vector<ZT_RGB32>& vertex_colors,
                                        const std::vector<Vec3>& world_normals, const Mesh& mesh,
                                        const Part_Style& style) {
  using S = ZT_Slot;
  ZT_Face_Attributes* face = rendition_.modify_face();
  face->set_texture(style.texture);
  if (style.material_lighting) {
    // The material's light: the scene's key light and ambient level.
    ZT_Basic_Material& m = *face->material.make_unshared();
    const Vec3 towards = lighting_.lights.empty() ? Vec3{0, 0, 1} : lighting_.lights[0].towards;
    m.light_direction = {towards.x, towards.y, towards.z};
    m.ambient = {{lighting_.ambient.z * 1.6f, lighting_.ambient.y * 1.6f, lighting_.ambient.x * 1.6f}};
    m.diffuse = {{0.85f, 0.85f, 0.85f}};
  }
  rendition_.modify()->lighting = style.material_lighting ? 1 : 0;
  const ZT_RGB32 surface = to_rgb32(style.material.color, 1);
  for (const Face& f : faces) {
    const auto& v = f.vertices;
    const ZT_Point p[3] = {device[v[0]], device[v[1]], device[v[2]]};
    const auto& uv = mesh.texcoords[f.triangle];
    const ZT_Parameter parameters[3] = {
        {uv[0][0], uv[0][1], 0}, {uv[1][0], uv[1][1], 0}, {uv[2][0], uv[2][1], 0}};
    ZT_RGB32 c[3] = {vertex_colors[v[0]], vertex_colors[v[1]], vertex_colors[v[2]]};
    ZT_Vector normals[3] = {};
    if (style.material_lighting) {
      for (int k = 0; k < 3; ++k) {
        const Vec3 n = world_normals[v[std::size_t(k)]];
        normals[k] = {n.x, n.y, n.z};
        c[k] = surface;
      }
    } else if (style.shading == Shading::flat) {
      c[1] = c[2] = c[0];
    }
    const ZT_Vector* given_normals = style.material_lighting ? normals : nullptr;
    triangle<S::draw_dc_textured_polytriangle, S::draw_2d_textured_polytriangle,
             S::draw_dci_textured_polytriangle, S::draw_2di_textured_polytriangle>(
        actions(), rendition_, p, viewport_.inside(p, 3), style.integer_points,
        static_cast<const ZT_RGB32*>(c), static_cast<const ZT_Parameter*>(parameters), int32_t(1),
        static_cast<const float*>(nullptr), given_normals);
  }
  rendition_.modify()->lighting = 0;
}

void Scene_Painter::draw_edges(const std::vector<Face>& faces, const std::vector<ZT_Point>& device,
                               const std::vector<ZT_RGB32>& vertex_colors, const Part_Style&) {
  // Each edge once, in the order of the faces (far first).
  std::map<std::pair<uint32_t, uint32_t>, bool> drawn;
  for (const Face& f : faces)
    for (int e = 0; e < 3; ++e) {
      const uint32_t a = f.vertices[std::size_t(e)], b = f.vertices[std::size_t((e + 1) % 3)];
      if (a == b || !drawn.try_emplace({std::min(a, b), std::max(a, b)}, true).second) continue;
      const ZT_Point ends[2] = {device[a], device[b]};
      const ZT_DCI_Point q[2] = {rounded(ends[0]), rounded(ends[1])};
      const ZT_RGB32 c[2] = {vertex_colors[a], vertex_colors[b]};
      if (viewport_.inside(ends, 2)) actions().call<ZT_Slot::draw_dci_gouraud_polyline>(rendition_, 2, q, c);
      else actions().call<ZT_Slot::draw_2di_gouraud_polyline>(rendition_, 2, q, c);
    }
}

void Scene_Painter::draw_vertices(const std::vector<Face>& faces,
                                  const std::vector<ZT_Point>& device, const Part_Style&) {
  std::vector<bool> seen(device.size());
  std::vector<ZT_DCI_Point> points;
  for (const Face& f : faces)
    for (uint32_t v : f.vertices)
      if (!seen[v]) {
        seen[v] = true;
        points.push_back(rounded(device[v]));
      }
  // The polymarker skips points outside the hard clip itself.
  actions().call<ZT_Slot::draw_2di_polymarker>(rendition_, int32_t(points.size()), points.data());
}

void Scene_Painter::draw_strip(const std::vector<Vec3>& points,
                               const std::vector<ZT_RGB32>& colors) {
  std::vector<ZT_Point> device;
  for (const Vec3& p : points) {
    const auto d = viewport_.device(Mat4::identity(), p);
    if (!d) return;
    device.push_back(*d);
  }
  const int32_t n = int32_t(device.size());
  if (viewport_.inside(device.data(), n))
    actions().call<ZT_Slot::draw_dc_gouraud_polytriangle>(rendition_, n, device.data(), colors.data());
  else
    actions().call<ZT_Slot::draw_2d_gouraud_polytriangle>(rendition_, n, device.data(), colors.data());
}

void Scene_Painter::draw_polyline(const std::vector<Vec3>& points,
                                  const std::vector<ZT_RGB32>& colors) {
  std::vector<ZT_Point> device;
  std::vector<ZT_DCI_Point> q;
  for (const Vec3& p : points) {
    const auto d = viewport_.device(Mat4::identity(), p);
    if (!d) return;
    device.push_back(*d);
    q.push_back(rounded(*d));
  }
  const int32_t n = int32_t(q.size());
  if (viewport_.inside(device.data(), n))
    actions().call<ZT_Slot::draw_dci_colorized_polyline>(rendition_, n, q.data(), colors.data(), false);
  else
    actions().call<ZT_Slot::draw_2di_colorized_polyline>(rendition_, n, q.data(), colors.data(), false);
}
