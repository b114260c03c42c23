// Drawing a scene the way a host does: transform and light on the host side,
// then hand device-space primitives to the renderer through its action table.
// Triangles whose points lie in the window go to the DC (or DCI) slots; those
// crossing its edges go to the 2D (or 2DI) slots, which clip.  Without a depth
// buffer the host must draw back to front, so faces are sorted far to near.
#pragma once

#include <vector>

#include "tools/host_session.h"
#include "tools/lighting.h"
#include "tools/mesh.h"
#include "tools/viewport.h"

enum class Shading { gouraud, flat, wireframe, points };

struct Part_Style {
  Shading shading = Shading::gouraud;
  Material material;
  bool integer_points = false;   // DCI / 2DI slots instead of DC / 2D
  bool rendition_color = false;  // flat faces through the flat slot, colour in the rendition
  int32_t pattern_index = ZT_Pattern_Solid;
  uint32_t pattern_flags = 0;
  ZT_RGB32 contrast_color{0, 0, 0, 255};
  bool cull_back_faces = false;  // for closed meshes wound counter-clockwise outside
  // A texture for meshes with texture coordinates (gouraud and flat shading):
  // the texels are modulated by the shaded colours, through the textured slots.
  ZT_Counted_Ptr<ZT_Texture> texture;
  // The face material lights the texture instead (rendition lighting on,
  // normals passed, the material's colour as vertex colours): configuration D
  // draws such faces itself, the others leave them to the host.
  bool material_lighting = false;
};

class Scene_Painter {
public:
  Scene_Painter(Host_Session& session, const Viewport& viewport, const Lighting& lighting);

  // The background through span_dc_rectangle over the window, then the depth
  // buffer through clear_depth_buffer.
  void clear(ZT_RGB32 background);
  void draw_mesh(const Mesh& mesh, const Mat4& model, const Part_Style& style);
  // A strip of world points with one colour per point, in one Gouraud call.
  void draw_strip(const std::vector<Vec3>& points, const std::vector<ZT_RGB32>& colors);
  // A polyline of world points with one colour per segment.
  void draw_polyline(const std::vector<Vec3>& points, const std::vector<ZT_RGB32>& colors);
  // Presents the whole window.
  void present();

  // For device-space drawing: the rendition (hard clip = window), the renderer's
  // table and the current colour in both forms (true colour and palette index).
  ZT_Rendition& rendition() { return rendition_; }
  const ZT_Action_Table& actions() const { return session_.renderer()->actions; }
  void set_color(ZT_RGB32 c);
  uint8_t index_of(ZT_RGB32 c) const;
  const Viewport& viewport() const { return viewport_; }
  bool palette() const { return session_.options().color_system() != 1; }

private:
  struct Face {
    std::array<uint32_t, 3> vertices;
    float depth;  // mean device depth: sorting key, far first
    std::size_t triangle;  // its index in the mesh
  };
  void apply_style(const Part_Style& style);
  void draw_faces(const std::vector<Face>& faces, const std::vector<ZT_Point>& device,
                  const std::vector<ZT_RGB32>& vertex_colors, const std::vector<Vec3>& world,
                  const Part_Style& style);
  void draw_textured_faces(const std::vector<Face>& faces, const std::vector<ZT_Point>& device,
                           const std::vector<ZT_RGB32>& vertex_colors,
                           const std::vector<Vec3>& world_normals, const Mesh& mesh,
                           const Part_Style& style);
  void draw_edges(const std::vector<Face>& faces, const std::vector<ZT_Point>& device,
                  const std::vector<ZT_RGB32>& vertex_colors, const Part_Style& style);
  void draw_vertices(const std::vector<Face>& faces, const std::vector<ZT_Point>& device,
                     const Part_Style& style);

  Host_Session& session_;
  Viewport viewport_;
  Lighting lighting_;
  ZT_Rendition rendition_;
};
