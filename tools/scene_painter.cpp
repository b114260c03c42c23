#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "tools/scene_painter.h"

namespace {

using Colors = Scene_Painter::Colors;

// The points as the float and the integer slots take them (the integer ones
// rounded from the float ones, as a host holding floats would round them).
std::vector<ZT_Point> float_points(int32_t n, const ZT_Point_D* p) {
  std::vector<ZT_Point> f(static_cast<std::size_t>(n));
  std::transform(p, p + n, f.begin(), to_float);
  return f;
}
std::vector<ZT_DCI_Point> integer_points(const std::vector<ZT_Point>& f) {
  std::vector<ZT_DCI_Point> q(f.size());
  std::transform(f.begin(), f.end(), q.begin(), [](const ZT_Point& x) { return rounded(x); });
  return q;
}

// How far hidden-line faces lie behind their own edges, in depth units.
constexpr int32_t hidden_line_offset = 48;

// A corner of a face in clip space, with its colour, texture coordinates and
// normal.
struct Clip_Corner {
  Vec4 clip;
  ZT_RGB32 color;
  Texcoord uv{};
  Vec3 normal{};
};

// The point where the edge a -> b crosses the near plane (w = near).
Clip_Corner crossing(const Clip_Corner& a, const Clip_Corner& b, float near) {
  const float t = (near - a.clip.w) / (b.clip.w - a.clip.w);
  auto mix = [t](float x, float y) { return x + (y - x) * t; };
  auto byte = [&](uint8_t x, uint8_t y) { return uint8_t(std::lround(mix(float(x), float(y)))); };
  return {{mix(a.clip.x, b.clip.x), mix(a.clip.y, b.clip.y), mix(a.clip.z, b.clip.z), near},
          {byte(a.color.r, b.color.r), byte(a.color.g, b.color.g), byte(a.color.b, b.color.b),
           byte(a.color.a, b.color.a)},
          {mix(a.uv[0], b.uv[0]), mix(a.uv[1], b.uv[1])},
          {mix(a.normal.x, b.normal.x), mix(a.normal.y, b.normal.y), mix(a.normal.z, b.normal.z)}};
}

// The part of the polygon in front of the near plane (w >= near), in outline
// order; out holds count + 1 corners.  A corner with a NaN w lies behind.
int32_t in_front(const Clip_Corner* in, int32_t count, float near, Clip_Corner* out) {
  int32_t m = 0;
  for (int32_t i = 0; i < count; ++i) {
    const Clip_Corner& a = in[i];
    const Clip_Corner& b = in[(i + 1) % count];
    const bool a_in = a.clip.w >= near, b_in = b.clip.w >= near;
    if (a_in) out[m++] = a;
    if (a_in != b_in) out[m++] = crossing(a, b, near);
  }
  return m;
}

// The slots of a strip or polyline kind: clipped float (DC) or integer (DCI)
// points, points anywhere as floats (2D) or integers (2DI), double points to
// pre-clip.  Polylines have no float slots.
struct Slot_Set {
  ZT_Slot dc, dci, d2, d2i, preclip;
};
template <Colors C>
constexpr Slot_Set strip_slots =
    C == Colors::rendition
        ? Slot_Set{ZT_Slot::draw_dc_polytriangle, ZT_Slot::draw_dci_polytriangle,
                   ZT_Slot::draw_2d_polytriangle, ZT_Slot::draw_2di_polytriangle,
                   ZT_Slot::draw_preclip_polytriangle}
    : C == Colors::per_piece
        ? Slot_Set{ZT_Slot::draw_dc_colorized_polytriangle,
                   ZT_Slot::draw_dci_colorized_polytriangle,
                   ZT_Slot::draw_2d_colorized_polytriangle,
                   ZT_Slot::draw_2di_colorized_polytriangle,
                   ZT_Slot::draw_preclip_colorized_polytriangle}
        : Slot_Set{ZT_Slot::draw_dc_gouraud_polytriangle, ZT_Slot::draw_dci_gouraud_polytriangle,
                   ZT_Slot::draw_2d_gouraud_polytriangle, ZT_Slot::draw_2di_gouraud_polytriangle,
                   ZT_Slot::draw_preclip_gouraud_polytriangle};
template <Colors C>
constexpr Slot_Set line_slots =
    C == Colors::rendition
        ? Slot_Set{ZT_Slot::draw_dci_polyline, ZT_Slot::draw_dci_polyline,
                   ZT_Slot::draw_2di_polyline, ZT_Slot::draw_2di_polyline,
                   ZT_Slot::draw_preclip_polyline}
    : C == Colors::per_piece
        ? Slot_Set{ZT_Slot::draw_dci_colorized_polyline, ZT_Slot::draw_dci_colorized_polyline,
                   ZT_Slot::draw_2di_colorized_polyline, ZT_Slot::draw_2di_colorized_polyline,
                   ZT_Slot::draw_preclip_colorized_polyline}
        : Slot_Set{ZT_Slot::draw_dci_gouraud_polyline, ZT_Slot::draw_dci_gouraud_polyline,
                   ZT_Slot::draw_2di_gouraud_polyline, ZT_Slot::draw_2di_gouraud_polyline,
                   ZT_Slot::draw_preclip_gouraud_polyline};

// One call of slot S with the colour arguments of kind C.
template <ZT_Slot S, Colors C, class Point>
void call(const ZT_Action_Table& t, const ZT_Rendition& r, int32_t n, const Point* p,
          const ZT_RGB32* colors, bool single) {
  if constexpr (C == Colors::rendition) t.call<S>(r, n, p);
  else if constexpr (C == Colors::per_piece) t.call<S>(r, n, p, colors, single);
  else t.call<S>(r, n, p, colors);
}

bool all_inside(const ZT_Int_Rectangle& r, int32_t n, const ZT_Point_D* p) {
  return std::all_of(p, p + n, [&](const ZT_Point_D& q) {
    return q.x >= r.left && q.x <= r.right && q.y >= r.bottom && q.y <= r.top;
  });
}
ZT_Point_D from_integer(const ZT_DCI_Point& p) { return {double(p.x), double(p.y), double(p.z)}; }

}  // namespace

Scene_Painter::Scene_Painter(Host_Session& session, const Viewport& viewport,
                             const Lighting& lighting)
    : Scene_Painter(session, viewport, lighting, viewport.window()) {
  preclipped_ = false;
}

Scene_Painter::Scene_Painter(Host_Session& session, const Viewport& viewport,
                             const Lighting& lighting, const ZT_Int_Rectangle& part)
    : session_(session), viewport_(viewport), lighting_(lighting), window_(part),
      origin_(session.options().local_coordinates() ? ZT_Int_Point{0, 0}
                                                    : session.options().window_origin()),
      preclipped_(true), depth_buffer_(session.options().buffer_depth() > 0) {
  rendition_.modify()->hard_clip = window_;
  // Face patterns keep their place on the picture: their origin is the
  // picture's corner in the buffer's coordinates.
  const ZT_Int_Rectangle picture = viewport_.window();
  rendition_.modify_face()->pattern_origin = {picture.left - origin_.x,
                                              picture.bottom - origin_.y};
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
  background_ = background;
  ZT_Rendition_Data* d = rendition_.modify();
  d->rectangle_color = background;
  d->rectangle_index = index_of(background);
  rendition_.modify_face()->pattern_index = ZT_Pattern_Solid;
  actions().call<ZT_Slot::span_dc_rectangle>(rendition_);
  actions().call<ZT_Slot::clear_depth_buffer>(rendition_);
}

void Scene_Painter::present() {
  ZD_Update(session_.renderer(), {window_.left - origin_.x, window_.right - origin_.x,
                                  window_.bottom - origin_.y, window_.top - origin_.y});
}

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
  std::vector<Vec4> clip(n);
  std::vector<Vec3> world(n);
  std::vector<ZT_RGB32> colors(n);
  std::vector<Vec3> world_normals(n);
  for (std::size_t i = 0; i < n; ++i) {
    clip[i] = viewport_.clip_point(model, mesh.positions[i]);
    world[i] = transform_point(model, mesh.positions[i]);
    const Vec3 normal = i < mesh.normals.size() ? mesh.normals[i] : Vec3{0, 0, 1};
    world_normals[i] = transform_direction(normals, normal);
    colors[i] = shade(lighting_, style.material, world[i], world_normals[i]);
  }
  const bool textured = style.texture && mesh.texcoords.size() == mesh.triangles.size() &&
                        (style.shading == Shading::gouraud || style.shading == Shading::flat);
  const float near = viewport_.camera().near;
  const ZT_Int_Rectangle w = window_;
  std::vector<Face> faces;
  faces.reserve(mesh.triangles.size());
  for (const auto& t : mesh.triangles) {
    // The part of the face in front of the near plane: the face, or a face
    // with a corner cut off (four corners), or nothing.
    Clip_Corner corners[3];
    for (std::size_t k = 0; k < 3; ++k) {
      corners[k] = {clip[t[k]], colors[t[k]], {}, world_normals[t[k]]};
      if (textured) corners[k].uv = mesh.texcoords[std::size_t(&t - mesh.triangles.data())][k];
    }
    Clip_Corner front[4];
    Face f{t, in_front(corners, 3, near, front), {}, {}, {}, {}, {}, 0};
    if (f.corners < 3) continue;
    double area = 0, left = INFINITY, right = -INFINITY, bottom = INFINITY, top = -INFINITY;
    for (int32_t k = 0; k < f.corners; ++k) {
      const ZT_Point_D p = viewport_.device_of(front[k].clip);
      f.device[std::size_t(k)] = p;
      f.colors[std::size_t(k)] = front[k].color;
      f.texcoords[std::size_t(k)] = front[k].uv;
      f.normals[std::size_t(k)] = front[k].normal;
      f.w[std::size_t(k)] = front[k].clip.w;
      f.depth += p.z / f.corners;
      left = std::min(left, p.x), right = std::max(right, p.x);
      bottom = std::min(bottom, p.y), top = std::max(top, p.y);
    }
    for (int32_t k = 0; k < f.corners; ++k) {
      const ZT_Point_D& a = f.device[std::size_t(k)];
      const ZT_Point_D& b = f.device[std::size_t((k + 1) % f.corners)];
      area += a.x * b.y - a.y * b.x;
    }
    // Faces wholly beyond one side of the window are not handed over at all.
    if (right < w.left - 0.5 || left > w.right + 0.5 || top < w.bottom - 0.5 ||
        bottom > w.top + 0.5)
      continue;
    if (style.cull_back_faces && !(area > 0)) continue;
    faces.push_back(f);
  }
  if (!depth_buffer_)
    std::stable_sort(faces.begin(), faces.end(),
                     [](const Face& x, const Face& y) { return x.depth > y.depth; });
  apply_style(style);
  Part_Style face_style = style;
  if (!textured) face_style.texture = nullptr;
  switch (style.shading) {
  case Shading::gouraud:
  case Shading::flat:
    if (textured) texture_faces(face_style);
    draw_faces(faces, world, face_style);
    if (textured) {
      rendition_.modify()->lighting = 0;
      rendition_.modify()->perspective = 0;
    }
    break;
  case Shading::wireframe: draw_edges(faces, clip, colors); break;
  case Shading::points: draw_vertices(faces, clip); break;
  case Shading::hidden_line: draw_hidden_lines(faces, clip, colors); break;
  }
}

template <Colors C>
void Scene_Painter::strip(int32_t n, const ZT_Point_D* p, const ZT_RGB32* colors, bool single,
                          bool integer) {
  constexpr Slot_Set s = strip_slots<C>;
  const ZT_Action_Table& t = actions();
  if (n < 3) return;
  if (preclipped_) {
    const ZT_Int_Rectangle guard = viewport_.guard();
    if (all_inside(guard, n, p)) return call<s.preclip, C>(t, rendition_, n, p, colors, single);
    // Triangle by triangle: those reaching beyond the guard band cut to it.
    for (int32_t i = 0; i + 2 < n; ++i) {
      const ZT_RGB32* c = !colors ? nullptr : C == Colors::per_piece && single ? colors : colors + i;
      if (all_inside(guard, 3, p + i)) {
        call<s.preclip, C>(t, rendition_, 3, p + i, c, true);
        continue;
      }
      int32_t m = 0;
      ZT_DCI_Point cut[ZD_Preclip_Max_Points];
      ZT_RGB32 cut_colors[ZD_Preclip_Max_Points];
      const ZT_RGB32* vertex_colors = C == Colors::per_point ? c : nullptr;
      if (!ZD_Preclip_2D_Triangle(session_.renderer(), rendition_, guard, p + i, &m, cut,
                                  vertex_colors, vertex_colors ? cut_colors : nullptr, nullptr, 0,
                                  nullptr, nullptr, nullptr, nullptr, nullptr))
        continue;
      ZT_Point_D q[ZD_Preclip_Max_Points];
      std::transform(cut, cut + m, q, from_integer);
      call<s.preclip, C>(t, rendition_, m, q, vertex_colors ? cut_colors : c, true);
    }
    return;
  }
  const std::vector<ZT_Point> f = float_points(n, p);
  const bool in_window = viewport_.inside(f.data(), n);
  if (!integer) {
    if (in_window) call<s.dc, C>(t, rendition_, n, f.data(), colors, single);
    else call<s.d2, C>(t, rendition_, n, f.data(), colors, single);
    return;
  }
  const std::vector<ZT_DCI_Point> q = integer_points(f);
  if (in_window) call<s.dci, C>(t, rendition_, n, q.data(), colors, single);
  else call<s.d2i, C>(t, rendition_, n, q.data(), colors, single);
}

template <Colors C>
void Scene_Painter::line(int32_t n, const ZT_Point_D* p, const ZT_RGB32* colors) {
  constexpr Slot_Set s = line_slots<C>;
  const ZT_Action_Table& t = actions();
  if (n < 2) return;
  if (preclipped_) {
    const ZT_Int_Rectangle guard = viewport_.guard();
    if (all_inside(guard, n, p)) return call<s.preclip, C>(t, rendition_, n, p, colors, false);
    // Segment by segment: those reaching beyond the guard band cut to it.
    for (int32_t i = 0; i + 1 < n; ++i) {
      const ZT_RGB32* c = C == Colors::rendition || !colors ? nullptr : colors + i;
      uint16_t codes[2];
      if (ZD_Clip(guard, 2, p + i, codes) == 0) continue;
      ZT_DCI_Point ends[2];
      ZT_RGB32 end_colors[2];
      const ZT_RGB32* point_colors = C == Colors::per_point ? c : nullptr;
      if (!ZD_Preclip_Ends(codes, guard, p + i, ends, point_colors,
                           point_colors ? end_colors : nullptr))
        continue;
      const ZT_Point_D q[2] = {from_integer(ends[0]), from_integer(ends[1])};
      call<s.preclip, C>(t, rendition_, 2, q, point_colors ? end_colors : c, false);
    }
    return;
  }
  const std::vector<ZT_Point> f = float_points(n, p);
  const std::vector<ZT_DCI_Point> q = integer_points(f);
  if (viewport_.inside(f.data(), n)) call<s.dci, C>(t, rendition_, n, q.data(), colors, false);
  else call<s.d2i, C>(t, rendition_, n, q.data(), colors, false);
}

void Scene_Painter::texture_faces(const Part_Style& style) {
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
  rendition_.modify()->perspective = style.perspective ? 1u : 0u;
}

void Scene_Painter::textured_strip(int32_t n, const ZT_Point_D* p, const ZT_RGB32* colors,
                                   const ZT_Parameter* parameters, const float* vertex_w,
                                   const ZT_Vector* normals, bool integer) {
  using S = ZT_Slot;
  const ZT_Action_Table& t = actions();
  if (n < 3) return;
  if (preclipped_) {
    const ZT_Int_Rectangle guard = viewport_.guard();
    if (all_inside(guard, n, p))
      return t.call<S::draw_preclip_textured_polytriangle>(rendition_, n, p, colors, parameters,
                                                           1, vertex_w, normals);
    // Triangle by triangle: those reaching beyond the guard band cut to it.
    for (int32_t i = 0; i + 2 < n; ++i) {
      const ZT_Vector* v = normals ? normals + i : nullptr;
      const float* w = vertex_w ? vertex_w + i : nullptr;
      if (all_inside(guard, 3, p + i)) {
        t.call<S::draw_preclip_textured_polytriangle>(rendition_, 3, p + i, colors + i,
                                                      parameters + i, 1, w, v);
        continue;
      }
      int32_t m = 0;
      ZT_DCI_Point cut[ZD_Preclip_Max_Points];
      ZT_RGB32 cut_colors[ZD_Preclip_Max_Points];
      ZT_Parameter cut_parameters[ZD_Preclip_Max_Points];
      float cut_w[ZD_Preclip_Max_Points];
      ZT_Vector cut_normals[ZD_Preclip_Max_Points];
      if (!ZD_Preclip_2D_Triangle(session_.renderer(), rendition_, guard, p + i, &m, cut,
                                  colors + i, cut_colors, parameters + i, 1, cut_parameters, w,
                                  w ? cut_w : nullptr, v, v ? cut_normals : nullptr))
        continue;
      ZT_Point_D q[ZD_Preclip_Max_Points];
      std::transform(cut, cut + m, q, from_integer);
      t.call<S::draw_preclip_textured_polytriangle>(rendition_, m, q, cut_colors, cut_parameters,
                                                    1, w ? cut_w : nullptr,
                                                    v ? cut_normals : nullptr);
    }
    return;
  }
  const std::vector<ZT_Point> f = float_points(n, p);
  const bool in_window = viewport_.inside(f.data(), n);
  if (!integer) {
    if (in_window)
      t.call<S::draw_dc_textured_polytriangle>(rendition_, n, f.data(), colors, parameters, 1,
                                               vertex_w, normals);
    else
      t.call<S::draw_2d_textured_polytriangle>(rendition_, n, f.data(), colors, parameters, 1,
                                               vertex_w, normals);
    return;
  }
  const std::vector<ZT_DCI_Point> q = integer_points(f);
  if (in_window)
    t.call<S::draw_dci_textured_polytriangle>(rendition_, n, q.data(), colors, parameters, 1,
                                              vertex_w, normals);
  else
    t.call<S::draw_2di_textured_polytriangle>(rendition_, n, q.data(), colors, parameters, 1,
                                              vertex_w, normals);
}

void Scene_Painter::draw_face(const Face& f, const std::vector<Vec3>& world,
                              const Part_Style& style) {
  // Four corners go as the strip 0, 1, 3, 2.
  const int32_t n = f.corners;
  const int order[4] = {0, 1, n == 4 ? 3 : 2, 2};
  ZT_Point_D p[4];
  ZT_RGB32 c[4];
  for (int32_t k = 0; k < n; ++k) {
    p[k] = f.device[std::size_t(order[k])];
    c[k] = f.colors[std::size_t(order[k])];
  }
  if (style.texture) {
    // Texels modulated by the shaded colours (flat: the first corner's), or
    // by the material's colour under the face material's light.
    ZT_Parameter uv[4];
    ZT_Vector normals[4];
    float w[4];
    const ZT_RGB32 surface = to_rgb32(style.material.color, 1);
    for (int32_t k = 0; k < n; ++k) {
      const std::size_t corner = std::size_t(order[k]);
      uv[k] = {f.texcoords[corner][0], f.texcoords[corner][1], 0};
      const Vec3 v = f.normals[corner];
      normals[k] = {v.x, v.y, v.z};
      w[k] = f.w[corner];
      if (style.material_lighting) c[k] = surface;
      else if (style.shading == Shading::flat) c[k] = c[0];
    }
    return textured_strip(n, p, c, uv, style.perspective ? w : nullptr,
                          style.material_lighting ? normals : nullptr, style.integer_points);
  }
  if (style.shading == Shading::gouraud)
    return strip<Colors::per_point>(n, p, c, false, style.integer_points);
  const auto& v = f.vertices;
  const Vec3 centroid = (world[v[0]] + world[v[1]] + world[v[2]]) * (1.0f / 3);
  const ZT_RGB32 color = shade(lighting_, style.material, centroid,
                               cross(world[v[1]] - world[v[0]], world[v[2]] - world[v[0]]));
  if (style.rendition_color) {
    set_color(color);
    strip<Colors::rendition>(n, p, nullptr, false, style.integer_points);
  } else {
    strip<Colors::per_piece>(n, p, &color, true, style.integer_points);
  }
}

void Scene_Painter::draw_faces(const std::vector<Face>& faces, const std::vector<Vec3>& world,
                               const Part_Style& style) {
  for (const Face& f : faces) draw_face(f, world, style);
}

void Scene_Painter::draw_edges(const std::vector<Face>& faces, const std::vector<Vec4>& clip,
                               const std::vector<ZT_RGB32>& vertex_colors) {
  // Each edge once, in the order of the faces, its part in front of the near
  // plane, from its lower vertex index to its higher (so that an edge drawn
  // for each of its faces lights the same pixels every time).
  const float near = viewport_.camera().near;
  std::map<std::pair<uint32_t, uint32_t>, bool> drawn;
  for (const Face& f : faces)
    for (int e = 0; e < 3; ++e) {
      const uint32_t u = f.vertices[std::size_t(e)], v = f.vertices[std::size_t((e + 1) % 3)];
      const uint32_t a = std::min(u, v), b = std::max(u, v);
      if (a == b || !drawn.try_emplace({a, b}, true).second) continue;
      Clip_Corner ends[2] = {{clip[a], vertex_colors[a]}, {clip[b], vertex_colors[b]}};
      if (!(ends[0].clip.w >= near) && !(ends[1].clip.w >= near)) continue;
      for (int k = 0; k < 2; ++k)
        if (!(ends[k].clip.w >= near)) ends[k] = crossing(ends[1 - k], ends[k], near);
      const ZT_Point_D p[2] = {viewport_.device_of(ends[0].clip),
                               viewport_.device_of(ends[1].clip)};
      const ZT_RGB32 c[2] = {ends[0].color, ends[1].color};
      line<Colors::per_point>(2, p, c);
    }
}

void Scene_Painter::draw_vertices(const std::vector<Face>& faces, const std::vector<Vec4>& clip) {
  const float near = viewport_.camera().near;
  std::vector<bool> seen(clip.size());
  std::vector<ZT_DCI_Point> points;
  for (const Face& f : faces)
    for (uint32_t v : f.vertices)
      if (!seen[v] && clip[v].w >= near) {
        seen[v] = true;
        points.push_back(rounded(to_float(viewport_.device_of(clip[v]))));
      }
  // The polymarker skips points outside the hard clip itself.
  actions().call<ZT_Slot::draw_2di_polymarker>(rendition_, int32_t(points.size()), points.data());
}

void Scene_Painter::draw_hidden_lines(const std::vector<Face>& faces, const std::vector<Vec4>& clip,
                                      const std::vector<ZT_RGB32>& vertex_colors) {
  // Faces in the background colour, pushed behind their own edges.
  const ZT_RGB32 edges = rendition_->current_color;
  set_color(background_);
  rendition_.modify_face()->depth_offset = hidden_line_offset;
  auto fill_face = [&](const Face& f) {
    const int32_t n = f.corners;
    const ZT_Point_D p[4] = {f.device[0], f.device[1], f.device[n == 4 ? 3 : 2], f.device[2]};
    strip<Colors::rendition>(n, p, nullptr, false, false);
  };
  if (depth_buffer_) {
    // The depth buffer hides the edges behind faces.
    for (const Face& f : faces) fill_face(f);
    rendition_.modify_face()->depth_offset = 0;
    draw_edges(faces, clip, vertex_colors);
  } else {
    // Far to near, each face covers what lies behind it, then its edges.
    for (const Face& f : faces) {
      rendition_.modify_face()->depth_offset = hidden_line_offset;
      fill_face(f);
      rendition_.modify_face()->depth_offset = 0;
      draw_edges({f}, clip, vertex_colors);
    }
  }
  set_color(edges);
}

void Scene_Painter::draw_strip(const std::vector<Vec3>& points,
                               const std::vector<ZT_RGB32>& colors) {
  std::vector<ZT_Point_D> device;
  for (const Vec3& p : points) {
    const auto d = viewport_.device_point(Mat4::identity(), p);
    if (!d) return;
    device.push_back(*d);
  }
  strip<Colors::per_point>(int32_t(device.size()), device.data(), colors.data(), false, false);
}

void Scene_Painter::draw_polyline(const std::vector<Vec3>& points,
                                  const std::vector<ZT_RGB32>& colors) {
  std::vector<ZT_Point_D> device;
  for (const Vec3& p : points) {
    const auto d = viewport_.device_point(Mat4::identity(), p);
    if (!d) return;
    device.push_back(*d);
  }
  line<Colors::per_piece>(int32_t(device.size()), device.data(), colors.data());
}

void Scene_Painter::dot(const ZT_DCI_Point& p, const ZT_RGB32* color) {
  if (p.x < window_.left || p.x > window_.right || p.y < window_.bottom || p.y > window_.top)
    return;
  actions().call<ZT_Slot::draw_dci_dot>(rendition_, &p, color);
}

void Scene_Painter::colorized_strip(const std::vector<ZT_Point_D>& points,
                                    const std::vector<ZT_RGB32>& colors) {
  strip<Colors::per_piece>(int32_t(points.size()), points.data(), colors.data(), false, false);
}

void Scene_Painter::gouraud_polyline(const std::vector<ZT_Point_D>& points,
                                     const std::vector<ZT_RGB32>& colors) {
  line<Colors::per_point>(int32_t(points.size()), points.data(), colors.data());
}

void Scene_Painter::polyline(const std::vector<ZT_Point_D>& points) {
  line<Colors::rendition>(int32_t(points.size()), points.data(), nullptr);
}

void Scene_Painter::polygon(const std::vector<ZT_Point>& points, const ZT_RGB32* color) {
  const int32_t n = int32_t(points.size());
  if (!preclipped_ && viewport_.inside(points.data(), n))
    actions().call<ZT_Slot::draw_dc_polygon>(rendition_, n, points.data(), color);
  else
    actions().call<ZT_Slot::draw_2d_polygon>(rendition_, n, points.data(), color);
}
