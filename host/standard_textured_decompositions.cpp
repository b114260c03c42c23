#include "host/standard_textured_decompositions.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/host_patterns.h"
#include "host/screen_pieces.h"
#include "host/standard_decompositions.h"
#include "host/texel_sampling.h"
#include "host/zd_preclip.h"
#include "host/zt_renderer_data.h"

namespace {

using zd_host::Cut_Point;
using zd_host::Cut_Polygon;

// Cut lines on multiples of 8 pixels, as the ordered dither repeats: a picture
// drawn in tiles whose origins lie 8 pixels apart cuts at the same screen
// lines in every tile (each tile's coordinates are the picture's less a
// multiple of 8), so its pieces match those of one window through the same
// clips.
constexpr int64_t affine_cell = 8;
constexpr int64_t most_affine_cells = int64_t(1) << 14;
constexpr int64_t gouraud_cell = 2;
constexpr int64_t most_gouraud_cells = int64_t(1) << 18;
constexpr int32_t most_piece_points = zd_host::cut_capacity;

// What a vertex of the strip carries, and what a corner of a piece gets.
struct Values {
  double x = 0, y = 0, z = 0;
  double u = 0, v = 0, q = 0;     // the first texture parameter
  double w = 0;                   // vertex w, 0 when unknown
  double color[4] = {};           // bytes 0..3: blue, green, red, alpha
  double factor[3] = {1, 1, 1};   // light: colour × factor + offset × 255
  double offset[3] = {};
};

// A material that lights as another one does but hands out a texture of its
// own: how the host has a renderer modulate a texture by light.
class Modulating_Material : public ZT_Basic_Material {
public:
  Modulating_Material(ZT_Counted_Ptr<ZT_Basic_Material> inner, ZT_Counted_Ptr<ZT_Texture> t)
      : inner_(std::move(inner)), texture_(std::move(t)) {}
  ZT_Counted* clone() const override { return new Modulating_Material(*this); }
  ZT_Counted_Ptr<ZT_Texture> texture() const override { return texture_; }
  ZT_Light_Levels lighting(const ZT_Rendition& r, const ZT_Vector& n) const override {
    return inner_->lighting(r, n);
  }

private:
  ZT_Counted_Ptr<ZT_Basic_Material> inner_;
  ZT_Counted_Ptr<ZT_Texture> texture_;
};

template <ZT_Slot S>
constexpr ZT_Slot gouraud_slot_of() {
  switch (S) {
  case ZT_Slot::draw_2d_textured_polytriangle: return ZT_Slot::draw_2d_gouraud_polytriangle;
  case ZT_Slot::draw_dc_textured_polytriangle: return ZT_Slot::draw_dc_gouraud_polytriangle;
  case ZT_Slot::draw_2di_textured_polytriangle: return ZT_Slot::draw_2di_gouraud_polytriangle;
  default: return ZT_Slot::draw_dci_gouraud_polytriangle;
  }
}

ZT_Point to_point(const Values& c, ZT_Point*) {
  return {float(c.x), float(c.y), float(c.z)};
}
ZT_DCI_Point to_point(const Values& c, ZT_DCI_Point*) {
  return {ZD_Preclip_Round(c.x), ZD_Preclip_Round(c.y), ZD_Preclip_Round(c.z)};
}
ZT_Point_D point_d(const ZT_Point& p) { return {p.x, p.y, p.z}; }
ZT_Point_D point_d(const ZT_DCI_Point& p) { return {double(p.x), double(p.y), double(p.z)}; }

uint8_t to_byte(double v) { return uint8_t(std::clamp(std::floor(v + 0.5), 0.0, 255.0)); }

bool finite_positive(double w) { return std::isfinite(w) && w > 0; }

bool wrap_drawn_by_renderers(int32_t wrap) {
  return wrap == ZT_Wrap_None || wrap == ZT_Wrap_Repeat;
}

// The values at the point with screen weights l of the triangle t: linear on
// the screen, but for texture coordinates and w, which follow 1 / w in
// perspective.
Values corner_at(const Cut_Point& c, const Values* const (&t)[3], bool perspective) {
  const double* l = c.weight;
  double m[3] = {l[0], l[1], l[2]};
  Values out;
  out.x = c.x;
  out.y = c.y;
  auto linear = [&](const double* weights, auto field) {
    return weights[0] * field(*t[0]) + weights[1] * field(*t[1]) + weights[2] * field(*t[2]);
  };
  if (perspective) {
    const double inverse_w = l[0] / t[0]->w + l[1] / t[1]->w + l[2] / t[2]->w;
    for (int32_t i = 0; i < 3; ++i) m[i] = l[i] / t[i]->w / inverse_w;
    out.w = 1 / inverse_w;
  } else if (t[0]->w != 0 && t[1]->w != 0 && t[2]->w != 0) {
    out.w = linear(l, [](const Values& v) { return v.w; });
  }
  out.z = linear(l, [](const Values& v) { return v.z; });
  out.u = linear(m, [](const Values& v) { return v.u; });
  out.v = linear(m, [](const Values& v) { return v.v; });
  out.q = linear(m, [](const Values& v) { return v.q; });
  for (int32_t k = 0; k < 4; ++k)
    out.color[k] = linear(l, [k](const Values& v) { return v.color[k]; });
  for (int32_t k = 0; k < 3; ++k) {
    out.factor[k] = linear(l, [k](const Values& v) { return v.factor[k]; });
    out.offset[k] = linear(l, [k](const Values& v) { return v.offset[k]; });
  }
  return out;
}

// The colour a renderer modulates the texture with: the vertex colour times
// the light's factor (the offset being 0 on this path).
ZT_RGB32 modulating_color(const Values& c) {
  ZT_RGB32 out;
  out.b = to_byte(c.color[0] * c.factor[0]);
  out.g = to_byte(c.color[1] * c.factor[1]);
  out.r = to_byte(c.color[2] * c.factor[2]);
  out.a = to_byte(c.color[3]);
  return out;
}

// The colour of a texel under a corner: scaled by the corner's colour when the
// texture modulates, then lit.
ZT_RGB32 shaded(uint32_t texel, const Values& c, bool modulate, bool lit) {
  double out[4];
  for (int32_t k = 0; k < 4; ++k) {
    const double t = double((texel >> (8 * k)) & 0xFFu);
    out[k] = modulate ? t * c.color[k] / 255 : t;
    if (lit && k < 3) out[k] = c.offset[k] * 255 + out[k] * c.factor[k];
  }
  ZT_RGB32 r;
  r.b = to_byte(out[0]);
  r.g = to_byte(out[1]);
  r.r = to_byte(out[2]);
  r.a = to_byte(out[3]);
  return r;
}

template <ZT_Slot S, typename P>
class Textured_Strip {
public:
  Textured_Strip(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition)
      : renderer_(renderer), rendition_(rendition) {}

  void draw(int32_t count, const P* points, const ZT_RGB32* colors,
            const ZT_Parameter* parameters, int32_t width, const float* vertex_w,
            const ZT_Vector* normals) {
    const ZT_Rendition_Data& d = *rendition_;
    ZT_Rendition local = ZD_With_Host_Pattern(rendition_);
    if (local->advanced_options & ZT_Advanced_Strip_Edges)
      local.modify()->advanced_options &= ~uint32_t(ZT_Advanced_Strip_Edges);
    const ZT_Counted_Ptr<ZT_Basic_Material> material = d.face->material;
    texture_ = d.face->texture();
    if (!texture_) texture_ = ZT_Counted_Ptr<ZT_Texture>(new ZT_Texture());
    modulate_ = texture_->modulate && colors;
    lit_ = d.lighting != 0 && normals && material;
    perspective_ = (d.perspective & 1u) != 0;

    vertices_.assign(std::size_t(count), Values());
    ZT_Counted_Ptr<ZT_Matrix> adjoint = d.transform ? d.transform->adjoint() : nullptr;
    for (int32_t i = 0; i < count; ++i) {
      Values& v = vertices_[std::size_t(i)];
      const ZT_Point_D p = point_d(points[i]);
      v.x = p.x, v.y = p.y, v.z = p.z;
      if (parameters && width > 0) {
        const ZT_Parameter& t = parameters[std::size_t(i) * std::size_t(width)];
        v.u = t.u, v.v = t.v, v.q = t.w;
      }
      for (int32_t k = 0; k < 4; ++k)
        v.color[k] = modulate_ ? double((colors[i].word() >> (8 * k)) & 0xFFu) : 255.0;
      if (vertex_w) {
        v.w = vertex_w[i];
      } else if (adjoint) {
        ZT_Point_D model;
        adjoint->transform(p, &model);
        v.w = d.transform->transform(model);
      }
    }
    bool emission = false;
    if (lit_) {
      ZT_Rendition white = local, black = local;
      white.set_color(ZT_RGB32(255, 255, 255, 255), false);
      black.set_color(ZT_RGB32(0, 0, 0, 255), false);
      for (int32_t i = 0; i < count; ++i) {
        const ZT_Light_Levels on_white = material->lighting(white, normals[i]);
        const ZT_Light_Levels on_black = material->lighting(black, normals[i]);
        Values& v = vertices_[std::size_t(i)];
        for (int32_t k = 0; k < 3; ++k) {
          v.factor[k] = on_white[k] - on_black[k];
          v.offset[k] = on_black[k];
          emission = emission || on_black[k] != 0;
        }
      }
    }

    const bool through_textured_slot =
        ZD_Standard_Nesting::depth_of(S) <= 1 && !renderer_->actions.holds_standard(S) &&
        d.depth_test_active && !texture_->fallback && wrap_drawn_by_renderers(texture_->u_wrap) &&
        wrap_drawn_by_renderers(texture_->v_wrap) && !emission;
    if (!through_textured_slot) {
      const int64_t cell = zd_host::cell_for(d.hard_clip, gouraud_cell, most_gouraud_cells);
      ZT_Texel_Image image(*texture_);
      for_each_piece(cell, [&](const Cut_Polygon& piece, const Values* const (&t)[3], bool p) {
        gouraud_piece(local, image, piece, t, p);
      });
      return;
    }

    ZT_Rendition textured = local;
    if (perspective_) textured.modify()->perspective &= ~1u;
    if (lit_) {
      textured.modify()->lighting = 0;
      if (!texture_->modulate) {
        ZT_Counted_Ptr<ZT_Texture> modulating(static_cast<ZT_Texture*>(texture_->clone()));
        modulating->modulate = 1;
        textured.modify_face()->material = ZT_Counted_Ptr<ZT_Basic_Material>(
            new Modulating_Material(material, modulating));
      }
    }
    if (!perspective_) {
      // Only the colours change, if anything.
      std::vector<ZT_RGB32> lit_colors;
      if (lit_)
        for (const Values& v : vertices_) lit_colors.push_back(modulating_color(v));
      renderer_->actions.call<S>(textured, count, points, lit_ ? lit_colors.data() : colors,
                                 parameters, width, vertex_w, lit_ ? nullptr : normals);
      return;
    }
    const bool with_colors = lit_ || colors;
    const int64_t cell = zd_host::cell_for(d.hard_clip, affine_cell, most_affine_cells);
    for_each_piece(cell, [&](const Cut_Polygon& piece, const Values* const (&t)[3], bool p) {
      textured_piece(textured, piece, t, p, with_colors);
    });
  }

private:
  // Calls piece(polygon, triangle, perspective) for each piece of each
  // triangle of the strip inside the hard clip.
  template <typename Piece>
  void for_each_piece(int64_t cell, Piece&& piece) {
    const ZT_Int_Rectangle& clip = rendition_->hard_clip;
    for (std::size_t i = 0; i + 2 < vertices_.size(); ++i) {
      const Values* const t[3] = {&vertices_[i], &vertices_[i + 1], &vertices_[i + 2]};
      const bool perspective = perspective_ && finite_positive(t[0]->w) &&
                               finite_positive(t[1]->w) && finite_positive(t[2]->w);
      zd_host::for_each_screen_piece({t[0]->x, t[1]->x, t[2]->x}, {t[0]->y, t[1]->y, t[2]->y},
                                     clip, cell,
                                     [&](const Cut_Polygon& p) { piece(p, t, perspective); });
    }
  }

  void textured_piece(const ZT_Rendition& rendition, const Cut_Polygon& piece,
                      const Values* const (&t)[3], bool perspective, bool with_colors) {
    P points[most_piece_points];
    ZT_RGB32 colors[most_piece_points];
    ZT_Parameter parameters[most_piece_points];
    float w[most_piece_points];
    bool all_w = true;
    for (int32_t k = 0; k < piece.n; ++k) {
      const Values c = corner_at(piece.v[zd_host::strip_index(k, piece.n)], t, perspective);
      points[k] = to_point(c, static_cast<P*>(nullptr));
      parameters[k] = {float(c.u), float(c.v), float(c.q)};
      w[k] = float(c.w);
      all_w = all_w && c.w != 0;
      colors[k] = modulating_color(c);
    }
    renderer_->actions.call<S>(rendition, piece.n, static_cast<const P*>(points),
                               with_colors ? static_cast<const ZT_RGB32*>(colors) : nullptr,
                               static_cast<const ZT_Parameter*>(parameters), int32_t(1),
                               all_w ? static_cast<const float*>(w) : nullptr,
                               static_cast<const ZT_Vector*>(nullptr));
  }

  void gouraud_piece(const ZT_Rendition& rendition, const ZT_Texel_Image& image,
                     const Cut_Polygon& piece, const Values* const (&t)[3], bool perspective) {
    const int32_t u_wrap = texture_->u_wrap, v_wrap = texture_->v_wrap;
    if (u_wrap == ZT_Wrap_None || v_wrap == ZT_Wrap_None) {
      Cut_Point centre{0, 0, {0, 0, 0}};
      for (int32_t k = 0; k < piece.n; ++k)
        for (int32_t i = 0; i < 3; ++i) centre.weight[i] += piece.v[k].weight[i] / piece.n;
      const Values c = corner_at(centre, t, perspective);
      if (!zd_host::sample_texel(image, u_wrap, v_wrap, c.u, c.v).inside) return;
    }
    P points[most_piece_points];
    ZT_RGB32 colors[most_piece_points];
    for (int32_t k = 0; k < piece.n; ++k) {
      const Values c = corner_at(piece.v[zd_host::strip_index(k, piece.n)], t, perspective);
      points[k] = to_point(c, static_cast<P*>(nullptr));
      colors[k] = shaded(zd_host::sample_texel(image, u_wrap, v_wrap, c.u, c.v).texel, c,
                         modulate_, lit_);
    }
    renderer_->actions.call<gouraud_slot_of<S>()>(rendition, piece.n,
                                                  static_cast<const P*>(points),
                                                  static_cast<const ZT_RGB32*>(colors));
  }

  ZT_Renderer_Data* renderer_;
  const ZT_Rendition& rendition_;
  std::vector<Values> vertices_;
  ZT_Counted_Ptr<ZT_Texture> texture_;
  bool modulate_ = false, lit_ = false, perspective_ = false;
};

}  // namespace

template <ZT_Slot S, typename P>
void ZD_Draw_Host_Textured(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition,
                           int32_t count, const P* points, const ZT_RGB32* colors,
                           const ZT_Parameter* parameters, int32_t parameter_width,
                           const float* vertex_w, const ZT_Vector* normals) {
  if (count < 3 || !points) return;
  Textured_Strip<S, P>(renderer, rendition)
      .draw(count, points, colors, parameters, parameter_width, vertex_w, normals);
}

template void ZD_Draw_Host_Textured<ZT_Slot::draw_2d_textured_polytriangle, ZT_Point>(
    ZT_Renderer_Data*, const ZT_Rendition&, int32_t, const ZT_Point*, const ZT_RGB32*,
    const ZT_Parameter*, int32_t, const float*, const ZT_Vector*);
template void ZD_Draw_Host_Textured<ZT_Slot::draw_dc_textured_polytriangle, ZT_Point>(
    ZT_Renderer_Data*, const ZT_Rendition&, int32_t, const ZT_Point*, const ZT_RGB32*,
    const ZT_Parameter*, int32_t, const float*, const ZT_Vector*);
template void ZD_Draw_Host_Textured<ZT_Slot::draw_2di_textured_polytriangle, ZT_DCI_Point>(
    ZT_Renderer_Data*, const ZT_Rendition&, int32_t, const ZT_DCI_Point*, const ZT_RGB32*,
    const ZT_Parameter*, int32_t, const float*, const ZT_Vector*);
template void ZD_Draw_Host_Textured<ZT_Slot::draw_dci_textured_polytriangle, ZT_DCI_Point>(
    ZT_Renderer_Data*, const ZT_Rendition&, int32_t, const ZT_DCI_Point*, const ZT_RGB32*,
    const ZT_Parameter*, int32_t, const float*, const ZT_Vector*);
