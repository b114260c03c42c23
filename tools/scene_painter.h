// Drawing a scene the way a host does: transform, clip at the near plane and
// light on the host side, then hand device-space primitives to the renderer
// through its action table.
//
// Where they go depends on what the painter draws:
//   - the viewport's whole window: triangles whose points lie in the window go
//     to the DC (or DCI) slots, those crossing its edges to the 2D (or 2DI)
//     slots, which clip;
//   - a part of the viewport's picture (a tile): every triangle and polyline
//     goes in double-precision device coordinates to the pre-clipped slots,
//     which bring it into the window's local coordinates, and the part is the
//     hard clip.  What reaches beyond a guard band around the picture
//     (Viewport::guard) is cut to it first, the same way for every part, so
//     that no part's window cuts it in a way of its own: a cut point rounds to
//     a pixel, and an edge through it bends by a fraction of a pixel, which
//     shows where the edge passes near a pixel's centre.
// With a depth buffer a mesh is drawn in its own order and the depth buffer
// decides what is seen; without one the host must draw back to front, so
// faces are sorted far to near.
#pragma once

#include <array>
#include <vector>

#include "tools/host_session.h"
#include "tools/lighting.h"
#include "tools/mesh.h"
#include "tools/viewport.h"

// hidden_line: faces in the background colour, pushed back by the face depth
// offset, and their edges on top.
enum class Shading { gouraud, flat, wireframe, points, hidden_line };

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
  // Textured faces ask for perspective-correct texture coordinates: the
  // rendition's perspective word is set and every corner carries its w.  No
  // renderer draws such faces itself; the host cuts them into pieces small
  // enough to draw affine (through the renderer's textured slot where it has
  // one, as texel-coloured Gouraud pieces where not).
  bool perspective = false;
};

class Scene_Painter {
public:
  // Draws into the viewport's window.
  Scene_Painter(Host_Session& session, const Viewport& viewport, const Lighting& lighting);
  // Draws the part of the viewport's picture within part (device pixels within
  // the session's window: a tile's window, or a tile of a larger window),
  // through the pre-clipped slots.
  Scene_Painter(Host_Session& session, const Viewport& viewport, const Lighting& lighting,
                const ZT_Int_Rectangle& part);

  // The background through span_dc_rectangle over the window, then the depth
  // buffer through clear_depth_buffer.
  void clear(ZT_RGB32 background);
  void draw_mesh(const Mesh& mesh, const Mat4& model, const Part_Style& style);
  // A strip of world points with one colour per point, in one Gouraud call.
  void draw_strip(const std::vector<Vec3>& points, const std::vector<ZT_RGB32>& colors);
  // A polyline of world points with one colour per segment.
  void draw_polyline(const std::vector<Vec3>& points, const std::vector<ZT_RGB32>& colors);
  // Presents what the painter draws.
  void present();

  // Device-space drawing.  The rendition's hard clip is the painter's window.
  ZT_Rendition& rendition() { return rendition_; }
  const ZT_Action_Table& actions() const { return session_.renderer()->actions; }
  void set_color(ZT_RGB32 c);
  uint8_t index_of(ZT_RGB32 c) const;
  const Viewport& viewport() const { return viewport_; }
  bool palette() const { return session_.options().color_system() != 1; }
  // True when the renderer draws textured strips itself (its textured slots
  // hold its own actions, not the host's).
  bool renderer_textures() const {
    return !actions().holds_standard(ZT_Slot::draw_dc_textured_polytriangle);
  }
  // A dot, skipped when it lies outside the painter's window (the DCI slot
  // takes only points in the window).
  void dot(const ZT_DCI_Point& p, const ZT_RGB32* color);
  // Device-space strips and polylines through the slots of the painter's
  // window: one colour per triangle, one per point, the rendition's colour.
  void colorized_strip(const std::vector<ZT_Point_D>& points, const std::vector<ZT_RGB32>& colors);
  void gouraud_polyline(const std::vector<ZT_Point_D>& points,
                        const std::vector<ZT_RGB32>& colors);
  void polyline(const std::vector<ZT_Point_D>& points);
  // A polygon (null colour: the rendition's), through the DC slot when it lies
  // in the viewport's window and the 2D slot otherwise or in a tile.
  void polygon(const std::vector<ZT_Point>& points, const ZT_RGB32* color);

  // How strips and polylines take their colours: the rendition's, one per
  // piece (triangle of a strip, segment of a polyline), one per point.
  enum class Colors { rendition, per_piece, per_point };

private:
  struct Face {
    std::array<uint32_t, 3> vertices;
    int32_t corners;  // 3, or 4 where the near plane cut a corner off
    std::array<ZT_Point_D, 4> device;
    std::array<ZT_RGB32, 4> colors;
    std::array<Texcoord, 4> texcoords;  // textured parts
    std::array<Vec3, 4> normals;        // parts lit by their face material
    std::array<float, 4> w;             // clip-space w: perspective-correct textures
    double depth;  // mean device depth: sorting key, far first
  };
  void apply_style(const Part_Style& style);
  void draw_faces(const std::vector<Face>& faces, const std::vector<Vec3>& world,
                  const Part_Style& style);
  void draw_face(const Face& f, const std::vector<Vec3>& world, const Part_Style& style);
  // The face material and lighting switch of a textured part (and back).
  void texture_faces(const Part_Style& style);
  void textured_strip(int32_t count, const ZT_Point_D* points, const ZT_RGB32* colors,
                      const ZT_Parameter* parameters, const float* vertex_w,
                      const ZT_Vector* normals, bool integer);
  void draw_edges(const std::vector<Face>& faces, const std::vector<Vec4>& clip,
                  const std::vector<ZT_RGB32>& vertex_colors);
  void draw_vertices(const std::vector<Face>& faces, const std::vector<Vec4>& clip);
  void draw_hidden_lines(const std::vector<Face>& faces, const std::vector<Vec4>& clip,
                         const std::vector<ZT_RGB32>& vertex_colors);
  template <Colors C>
  void strip(int32_t count, const ZT_Point_D* points, const ZT_RGB32* colors, bool single,
             bool integer);
  template <Colors C>
  void line(int32_t count, const ZT_Point_D* points, const ZT_RGB32* colors);

  Host_Session& session_;
  Viewport viewport_;
  Lighting lighting_;
  ZT_Int_Rectangle window_;  // the device pixels drawn
  ZT_Int_Point origin_;      // the device coordinate of the buffer's pixel (0, 0)
  bool preclipped_;          // a part: everything through the pre-clipped slots
  bool depth_buffer_;
  ZT_RGB32 background_{0, 0, 0, 255};
  ZT_Rendition rendition_;
};
