#include "host/zt_rendition.h"

ZT_Rendition_Data::ZT_Rendition_Data() : face(new ZT_Face_Attributes()) {}

ZT_Rendition::ZT_Rendition() : data_(new ZT_Rendition_Data()) {}

void ZT_Face_Attributes::set_texture(ZT_Counted_Ptr<ZT_Texture> t) {
  if (!material) material = ZT_Counted_Ptr<ZT_Basic_Material>(new ZT_Basic_Material());
  ZT_Basic_Material* m = material.make_unshared();
  m->surface_texture = std::move(t);
}

ZT_Face_Attributes* ZT_Rendition::modify_face() { return modify()->face.make_unshared(); }

void ZT_Rendition::set_hard_clip_unrestricted(const ZT_Int_Rectangle& r, bool) {
  modify()->hard_clip = r;
}
void ZT_Rendition::set_color(ZT_RGB32 c, bool) { modify()->current_color = c; }
void ZT_Rendition::set_advanced_options(uint32_t options) { modify()->advanced_options = options; }

ZT_Contour_Set ZT_Rendition::shifted_complex_clip() const {
  const ZT_Rendition_Data& d = *data_;
  if (d.complex_clip.empty()) return d.complex_clip;
  int32_t dx = d.clip_offset_x, dy = d.clip_offset_y;
  uint32_t stamp = d.complex_clip.change_stamp();
  if (d.shifted_clip_cache.empty() || d.shifted_clip_source_stamp != stamp ||
      d.shifted_clip_dx != dx || d.shifted_clip_dy != dy) {
    std::vector<std::vector<ZT_Point>> moved = d.complex_clip->contours;
    for (auto& contour : moved)
      for (auto& p : contour) {
        p.x += float(dx);
        p.y += float(dy);
      }
    d.shifted_clip_cache = ZT_Contour_Set(std::move(moved));
    d.shifted_clip_source_stamp = stamp;
    d.shifted_clip_dx = dx;
    d.shifted_clip_dy = dy;
  }
  return d.shifted_clip_cache;
}
