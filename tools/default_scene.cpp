#include <cmath>
#include <numbers>

#include "tools/default_scene.h"
#include "tools/shapes.h"
#include "tools/texture_images.h"

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr ZT_RGB32 background{22, 26, 38, 255};

float radians(float degrees) { return degrees * pi / 180; }

// A hue of the colour wheel (0..1) at full saturation.
ZT_RGB32 hue(float h, uint8_t alpha = 255) {
  h = h - std::floor(h);
  auto channel = [&](float offset) {
    float d = std::fabs(std::fmod(h * 6 + offset, 6.0f) - 3) - 1;
    return uint8_t(std::lround(std::clamp(d, 0.0f, 1.0f) * 255));
  };
  return ZT_RGB32(channel(0), channel(4), channel(2), alpha);
}

// A small deterministic generator, so that every run draws the same scene.
struct Sequence {
  uint32_t state = 12345;
  float next() {
    state = state * 1664525u + 1013904223u;
    return float(state >> 8) / float(1 << 24);
  }
};

// Stars in the upper part of the window: dots with their own colours, and a
// few in the rendition's current colour (no colour argument).
void draw_stars(Scene_Painter& painter) {
  const ZT_Int_Rectangle w = painter.viewport().window();
  Sequence random;
  painter.set_color({255, 255, 255, 255});
  for (int i = 0; i < 90; ++i) {
    const ZT_DCI_Point p{w.left + int32_t(random.next() * float(w.right - w.left)),
                         w.bottom + int32_t((0.62f + 0.38f * random.next()) * float(w.top - w.bottom)),
                         65535};
    const uint8_t level = uint8_t(120 + 135 * random.next());
    const ZT_RGB32 c(level, level, uint8_t(std::min(255, level + 40)), 255);
    painter.dot(p, i % 10 == 0 ? nullptr : &c);
  }
}

// A wavy ribbon far behind the objects, wider than the window: one Gouraud strip.
void draw_ribbon(Scene_Painter& painter) {
  std::vector<Vec3> points;
  std::vector<ZT_RGB32> colors;
  for (int i = 0; i <= 40; ++i) {
    const float x = -7 + 14 * float(i) / 40, y = 1.5f + 0.35f * std::sin(x * 1.3f);
    points.push_back({x, y + 0.22f, -4});
    points.push_back({x, y - 0.22f, -4});
    colors.push_back(hue(float(i) / 40));
    colors.push_back(hue(float(i) / 40 + 0.08f));
  }
  painter.draw_strip(points, colors);
}

// The floor: grid lines fading with distance, one colour per segment.
void draw_floor(Scene_Painter& painter) {
  auto fade = [](float z) {
    const uint8_t v = uint8_t(std::clamp(150 - (2.5f - z) * 14, 40.0f, 150.0f));
    return ZT_RGB32(uint8_t(v / 2), v, uint8_t(v * 0.9f), 255);
  };
  for (int i = -5; i <= 5; ++i) {
    std::vector<Vec3> across, along;
    std::vector<ZT_RGB32> across_colors, along_colors;
    const float z = float(i) * 0.7f - 0.8f;
    for (int k = -6; k <= 6; ++k) {
      across.push_back({float(k), -1.1f, z});
      along.push_back({float(i), -1.1f, -4.3f + 0.6f * float(k + 6)});
    }
    for (std::size_t k = 0; k + 1 < across.size(); ++k) {
      across_colors.push_back(fade(z));
      along_colors.push_back(fade(along[k].z));
    }
    painter.draw_polyline(across, across_colors);
    painter.draw_polyline(along, along_colors);
  }
}

Mesh pane_mesh() {
  Mesh m;
  m.positions = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
  m.triangles = {{0, 1, 2}, {0, 2, 3}};
  m.compute_normals();
  return m;
}

void draw_objects(Scene_Painter& painter) {
  const Mat4 turn = Mat4::rotation_y(radians(35));
  // A tiled slab: a procedural texture shaded by the host's lighting.  (Where
  // the renderer leaves textures to the host, the slab and the crate are drawn
  // plain: drawn by the host, a few of their pixels come out differently in a
  // picture drawn in tiles.)
  const bool textures = painter.renderer_textures();
  Part_Style slab;
  slab.shading = Shading::flat;
  slab.rendition_color = true;
  slab.integer_points = true;
  slab.material.color = textures ? Vec3{0.85f, 0.88f, 0.95f} : Vec3{0.45f, 0.5f, 0.6f};
  slab.cull_back_faces = true;
  if (textures) slab.texture = tile_texture();
  Mesh slab_mesh = make_cube(1);
  project_texcoords(slab_mesh, 1.5f);
  painter.draw_mesh(slab_mesh,
                    Mat4::translation({0.1f, -1.1f, -1.6f}) * turn *
                        Mat4::scaling({0.85f, 0.05f, 0.85f}),
                    slab);

  // A crate lit by its face material: in configuration D the renderer lights
  // the texture itself.
  Part_Style crate;
  crate.material.color = {1.0f, 0.95f, 0.9f};
  crate.cull_back_faces = true;
  if (textures) crate.texture = crate_texture();
  crate.material_lighting = true;
  crate.integer_points = true;
  Mesh crate_mesh = make_cube(0.3f);
  project_texcoords(crate_mesh, 1 / 0.6f);
  painter.draw_mesh(crate_mesh,
                    Mat4::translation({1.15f, -0.8f, 1.25f}) * Mat4::rotation_y(radians(-30)),
                    crate);

  Part_Style cube;
  cube.shading = Shading::flat;
  cube.rendition_color = true;
  cube.material.color = {0.35f, 0.8f, 0.45f};
  cube.pattern_index = 71;  // cross hatch: holes take the contrast colour
  cube.pattern_flags = ZT_Pattern_Background;
  cube.contrast_color = {20, 70, 40, 255};
  cube.cull_back_faces = true;
  painter.draw_mesh(make_cube(0.6f), Mat4::translation({0.1f, -0.45f, -1.6f}) * turn, cube);

  Part_Style torus;
  torus.material.color = {0.95f, 0.55f, 0.2f};
  torus.cull_back_faces = true;
  painter.draw_mesh(make_torus(0.75f, 0.3f, 48, 24),
                    Mat4::translation({-1.75f, 0.0f, 0.0f}) * Mat4::rotation_x(radians(62)) *
                        Mat4::rotation_z(radians(-20)),
                    torus);

  Part_Style sphere;
  sphere.shading = Shading::flat;
  sphere.integer_points = true;
  sphere.material.color = {0.3f, 0.5f, 0.95f};
  sphere.cull_back_faces = true;
  painter.draw_mesh(make_icosphere(0.85f, 2), Mat4::translation({1.75f, 0.05f, 0.1f}), sphere);
  // A rod through the sphere: where it enters and leaves, only a depth buffer
  // draws it right (without one each mesh is only sorted in itself).
  Part_Style rod;
  rod.shading = Shading::flat;
  rod.material.color = {0.9f, 0.3f, 0.6f};
  rod.cull_back_faces = true;
  painter.draw_mesh(make_cube(1),
                    Mat4::translation({1.75f, 0.05f, 0.1f}) * Mat4::rotation_y(radians(-50)) *
                        Mat4::rotation_z(radians(28)) * Mat4::scaling({1.45f, 0.09f, 0.09f}),
                    rod);

  const Mat4 crystal = Mat4::translation({0.0f, 1.15f, 0.4f}) * Mat4::rotation_y(radians(30));
  Part_Style gem;
  gem.shading = Shading::flat;
  gem.material.color = {0.9f, 0.7f, 0.25f};
  gem.material.shininess = 12;
  gem.cull_back_faces = true;
  painter.draw_mesh(make_octahedron(0.45f), crystal, gem);
  Part_Style wire;
  wire.shading = Shading::wireframe;
  wire.material.color = {1.0f, 1.0f, 0.8f};
  painter.draw_mesh(make_octahedron(0.46f), crystal, wire);
  Part_Style marks;
  marks.shading = Shading::points;
  marks.material.color = {1.0f, 0.85f, 0.3f};
  painter.draw_mesh(make_icosphere(0.75f, 1), crystal, marks);

  Part_Style pane;
  pane.integer_points = true;
  pane.material.color = {0.3f, 0.9f, 1.0f};
  pane.material.alpha = 0.45f;
  pane.material.specular = 0.8f;
  painter.draw_mesh(pane_mesh(),
                    Mat4::translation({-1.2f, -0.2f, 1.5f}) * Mat4::rotation_y(radians(-25)) *
                        Mat4::scaling({0.9f, 0.65f, 1}),
                    pane);
}

// An image in the upper-left corner: a colour wheel fading out at its rim.  True
// colour buffers take it as RGB32, palette buffers as indices.
void draw_image(Scene_Painter& painter) {
  constexpr int32_t size = 64;
  const ZT_Int_Rectangle w = painter.viewport().window();
  const ZT_DCI_Point start{w.left + 10, w.top - 10, 0};
  const ZT_DCI_Point end{start.x + size - 1, start.y - size + 1, 0};
  if (end.x > w.right || end.y < w.bottom) return;
  std::vector<ZT_RGB32> pixels(size * size);
  for (int32_t row = 0; row < size; ++row)
    for (int32_t column = 0; column < size; ++column) {
      const float dx = float(column) - 31.5f, dy = 31.5f - float(row);
      const float r = std::sqrt(dx * dx + dy * dy) / 32;
      const float fade = std::clamp((1.05f - r) * 4, 0.0f, 1.0f);
      pixels[std::size_t(row * size + column)] =
          hue(std::atan2(dy, dx) / (2 * pi), uint8_t(fade * 255));
    }
  if (painter.palette()) {
    std::vector<uint8_t> indices;
    for (ZT_RGB32 c : pixels) indices.push_back(painter.index_of(c.a < 128 ? background : c));
    painter.actions().call<ZT_Slot::draw_dci_index8_image>(painter.rendition(), &start, &end,
                                                           size, indices.data());
  } else {
    // The wheel's rim is translucent: opaque configurations are asked to blend it.
    ZT_Rendition_Data* d = painter.rendition().modify();
    const uint32_t before = d->advanced_options;
    d->advanced_options = before | ZT_Advanced_Transparency;
    painter.actions().call<ZT_Slot::draw_dci_rgb32_image>(painter.rendition(), &start, &end,
                                                          size * 4, pixels.data(), 0, nullptr);
    painter.rendition().modify()->advanced_options = before;
  }
}

// Polygons in the lower-right corner: a convex hexagon in its own colour and a
// concave star in the rendition's colour.
void draw_polygons(Scene_Painter& painter) {
  const ZT_Int_Rectangle w = painter.viewport().window();
  const float cx = float(w.right) - 46, cy = float(w.bottom) + 50;
  std::vector<ZT_Point> hexagon(6), star(10);
  for (int i = 0; i < 6; ++i)
    hexagon[i] = {cx + 30 * std::cos(float(i) * pi / 3), cy + 30 * std::sin(float(i) * pi / 3), 0};
  for (int i = 0; i < 10; ++i) {
    const float r = i % 2 ? 11.0f : 26.0f, a = pi / 2 + float(i) * pi / 5;
    star[i] = {cx - 70 + r * std::cos(a), cy + r * std::sin(a), 0};
  }
  const ZT_RGB32 amber{240, 170, 40, 255};
  painter.polygon(hexagon, &amber);
  painter.set_color({230, 80, 160, 255});
  painter.polygon(star, nullptr);
}

// Geometry reaching beyond the window: a banner strip across the lower-left
// corner, a wave and a line from edge to edge.  The 2D and 2DI slots (the
// pre-clipped ones in a tile) clip it.
void draw_across_edges(Scene_Painter& painter) {
  const ZT_Int_Rectangle w = painter.viewport().window();
  const double left = w.left, bottom = w.bottom;
  const std::vector<ZT_Point_D> banner = {{left - 60, bottom + 70, 0}, {left - 40, bottom + 100, 0},
                                          {left + 40, bottom - 30, 0}, {left + 70, bottom - 5, 0},
                                          {left + 90, bottom - 80, 0}, {left + 130, bottom - 60, 0}};
  painter.colorized_strip(banner, {{200, 60, 60, 255}, {230, 230, 230, 255},
                                   {200, 60, 60, 255}, {230, 230, 230, 255}});
  std::vector<ZT_Point_D> wave;
  std::vector<ZT_RGB32> wave_colors;
  for (int i = 0; i <= 48; ++i) {
    const float x = float(left) - 40 + float(w.right - w.left + 80) * float(i) / 48;
    wave.push_back({double(int32_t(x)),
                    double(int32_t(float(bottom) + 22 + 12 * std::sin(float(i) * 0.5f))), 0});
    wave_colors.push_back(hue(float(i) / 48));
  }
  painter.gouraud_polyline(wave, wave_colors);
  painter.set_color({150, 160, 190, 255});
  painter.polyline({{left - 30, w.top - 120.0, 0}, {left + 150, w.top + 40.0, 0}});
}

// What the renderer hands to the host, drawn by the host's standard routines
// through the renderer's simpler slots: a wide zig-zag on the floor, a dashed
// orbit round the sphere, and a row of the ten marker symbols.
void draw_host_drawn(Scene_Painter& painter) {
  ZT_Rendition_Data* d = painter.rendition().modify();
  d->line_weight = 5;
  const std::vector<Vec3> zigzag = {{-0.5f, -1.1f, 0.45f}, {-0.1f, -1.1f, 1.05f},
                                    {0.3f, -1.1f, 0.45f},  {0.7f, -1.1f, 1.05f},
                                    {1.1f, -1.1f, 0.45f}};
  painter.draw_polyline(zigzag, std::vector<ZT_RGB32>(4, ZT_RGB32(250, 200, 60, 255)));
  d = painter.rendition().modify();
  d->line_weight = 1;
  d->line_style = 0x00FF00FF;  // dashes of 8 with gaps of 8
  std::vector<Vec3> orbit;
  for (int i = 0; i <= 64; ++i) {
    const float a = 2 * pi * float(i) / 64;
    orbit.push_back({1.75f + 1.25f * std::cos(a), -1.1f, 0.1f + 1.0f * std::sin(a)});
  }
  painter.draw_polyline(orbit, std::vector<ZT_RGB32>(64, ZT_RGB32(235, 235, 255, 255)));
  painter.rendition().modify()->line_style = 0;

  const ZT_Int_Rectangle w = painter.viewport().window();
  for (int32_t style = 1; style <= 10; ++style) {
    const ZT_DCI_Point p{w.left + 292 + 18 * style, w.bottom + 62, 0};
    painter.set_color(hue(float(style) / 10));
    painter.rendition().modify()->marker_style = style;
    painter.actions().call<ZT_Slot::draw_2di_polymarker>(painter.rendition(), 1, &p);
  }
  painter.rendition().modify()->marker_style = 0;
}

}  // namespace

Camera default_scene_camera(float yaw, float pitch, float zoom) {
  return orbit_camera({0, 0.15f, 0}, 6.2f / std::max(zoom, 0.01f), yaw, 14 + pitch);
}

void draw_default_scene(Scene_Painter& painter) {
  painter.clear(background);
  draw_stars(painter);
  draw_ribbon(painter);
  draw_checkered_floor(painter);
  draw_floor(painter);
  draw_objects(painter);
  draw_host_drawn(painter);
  draw_image(painter);
  draw_polygons(painter);
  draw_across_edges(painter);
  painter.present();
}

Floor_Quad checkered_floor() { return {-4.2f, 4.2f, -4.3f, 2.9f, -1.115f, 1.2f}; }

// A checkered floor under the grid: one big quad whose texture repeats, seen
// at a grazing angle, so that its squares show whether the texture follows
// the perspective.  No renderer draws perspective-correct textures itself: the
// host cuts the quad into pieces small enough to draw affine.
void draw_checkered_floor(Scene_Painter& painter) {
  Part_Style floor;
  floor.material.color = {0.95f, 0.95f, 0.95f};
  floor.integer_points = true;
  floor.texture = checker_texture();
  floor.perspective = true;
  const Floor_Quad q = checkered_floor();
  Mesh m;
  m.positions = {{q.left, q.height, q.back}, {q.right, q.height, q.back},
                 {q.right, q.height, q.front}, {q.left, q.height, q.front}};
  m.triangles = {{0, 2, 1}, {0, 3, 2}};
  m.normals = {{0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}};
  for (const auto& t : m.triangles) {
    std::array<Texcoord, 3> uv;
    for (std::size_t k = 0; k < 3; ++k) {
      const Vec3& p = m.positions[t[k]];
      uv[k] = {(p.x - q.left) / q.repeat, (p.z - q.back) / q.repeat};
    }
    m.texcoords.push_back(uv);
  }
  painter.draw_mesh(m, Mat4::identity(), floor);
}

Camera mesh_camera(const Mesh& mesh, float yaw, float pitch, float zoom) {
  const Mesh_Bounds b = bounds_of(mesh);
  // Far enough that the bounding sphere fits the 45° view, with a margin.
  const float distance = b.radius() / std::sin(radians(22.5f)) * 1.08f / std::max(zoom, 0.01f);
  return orbit_camera(b.center(), distance, 30 + yaw, 20 + pitch);
}

void draw_mesh_scene(Scene_Painter& painter, const Mesh& mesh, Shading shading,
                     ZT_Counted_Ptr<ZT_Texture> texture) {
  painter.clear(background);
  Part_Style style;
  style.shading = shading;
  style.material.color = {0.85f, 0.78f, 0.65f};
  if (texture) {
    style.texture = std::move(texture);
    style.material.color = {1, 1, 1};
  }
  painter.draw_mesh(mesh, Mat4::identity(), style);
  painter.present();
}
