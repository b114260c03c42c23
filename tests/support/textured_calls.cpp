#include "tests/support/textured_calls.h"

#include <stdexcept>

void draw_textured(Test_Host& host, ZT_Slot s, const Textured_Points& c) {
  const ZT_Rendition& d = host.rendition;
  ZT_Action_Table& a = host.actions();
  const Point_List& p = c.points;
  const ZT_RGB32* colours = p.colours.empty() ? nullptr : p.colours.data();
  const ZT_Parameter* parameters = c.parameters.empty() ? nullptr : c.parameters.data();
  const float* w = c.w.empty() ? nullptr : c.w.data();
  const ZT_Vector* normals = c.normals.empty() ? nullptr : c.normals.data();
  switch (s) {
  case ZT_Slot::draw_2d_textured_polytriangle:
    return a.call<ZT_Slot::draw_2d_textured_polytriangle>(d, p.count, p.floats.data(), colours,
                                                          parameters, c.width, w, normals);
  case ZT_Slot::draw_dc_textured_polytriangle:
    return a.call<ZT_Slot::draw_dc_textured_polytriangle>(d, p.count, p.floats.data(), colours,
                                                          parameters, c.width, w, normals);
  case ZT_Slot::draw_2di_textured_polytriangle:
    return a.call<ZT_Slot::draw_2di_textured_polytriangle>(d, p.count, p.integer.data(), colours,
                                                           parameters, c.width, w, normals);
  case ZT_Slot::draw_dci_textured_polytriangle:
    return a.call<ZT_Slot::draw_dci_textured_polytriangle>(d, p.count, p.integer.data(), colours,
                                                           parameters, c.width, w, normals);
  default: throw std::logic_error("not a textured slot");
  }
}

std::vector<ZT_Slot> textured_slots() {
  return {ZT_Slot::draw_2d_textured_polytriangle, ZT_Slot::draw_dc_textured_polytriangle,
          ZT_Slot::draw_2di_textured_polytriangle, ZT_Slot::draw_dci_textured_polytriangle};
}

ZT_Counted_Ptr<ZT_Texture> make_texture(int32_t width, int32_t height,
                                        const std::vector<uint32_t>& texels, int32_t u_wrap,
                                        int32_t v_wrap, bool modulate) {
  ZT_Counted_Ptr<ZT_Texture> t(new ZT_Texture(
      ZT_Shared_Image(width, height, ZT_Image_Format_RGB32, 0, texels.data(), false)));
  t->u_wrap = u_wrap;
  t->v_wrap = v_wrap;
  t->modulate = modulate ? 1 : 0;
  return t;
}

void use_texture(Test_Host& host, ZT_Counted_Ptr<ZT_Texture> texture) {
  host.rendition.modify_face()->set_texture(std::move(texture));
}

char textured_variant(const Test_Host& host) {
  const char c = configuration_letter(host.r().configuration);
  if (c != 'D') return c;
  return const_cast<Test_Host&>(host).r().renderer_options()->alpha_blending() ? 'A' : 'O';
}

void establish_variant(Test_Host& host, char variant, int32_t width, int32_t height,
                       ZT_Int_Point origin) {
  Window_Setup s;
  s.width = width;
  s.height = height;
  s.origin = origin;
  s.buffer_depth = 16;
  s.color_system = variant == 'E' || variant == 'F' ? 1 : 0;
  s.alpha_blending = variant == 'E' || variant == 'A';
  host.establish(s);
  host.fill_color(0);
  host.fill_depth(0xFFFF);
}

ZT_Counted_Ptr<ZT_Texture> random_texture(std::mt19937& rng) {
  const int32_t width = 1 << (rng() % 7), height = 1 << (rng() % 7);
  std::vector<uint32_t> texels(size_t(width * height));
  for (uint32_t& t : texels) {
    t = rng();
    const uint32_t pick = rng() % 6;
    if (pick == 0) t &= 0x00FFFFFFu;
    if (pick == 1) t |= 0xFF000000u;
  }
  return make_texture(width, height, texels, rng() % 2 ? ZT_Wrap_Repeat : ZT_Wrap_None,
                      rng() % 2 ? ZT_Wrap_Repeat : ZT_Wrap_None, rng() % 2 == 0);
}

void randomise_texturing(std::mt19937& rng, Textured_Points& c) {
  const int32_t n = int32_t(c.points.integer.size());
  c.width = 1 + int32_t(rng() % 3);
  c.parameters.resize(size_t(n * c.width));
  auto coordinate = [&] { return float(int32_t(rng() % 4000) - 1000) / 1000.0f; };
  for (ZT_Parameter& p : c.parameters) p = {coordinate(), coordinate(), coordinate()};
  c.points.colours.clear();
  if (rng() % 3 != 0)
    for (int32_t i = 0; i < n; ++i) c.points.colours.push_back(ZT_RGB32::from_word(rng()));
  c.normals.clear();
  for (int32_t i = 0; i < n; ++i)
    c.normals.push_back({float(int32_t(rng() % 200) - 100), float(int32_t(rng() % 200) - 100),
                         float(rng() % 100)});
}
