#include "tests/support/random_strips.h"

#include <algorithm>
#include <cstring>

void fill_random(Test_Host& host, std::mt19937& rng) {
  const Software_Z_Buffer& r = host.r();
  const bool mapped = host.mapped(), depth = !r.depth_buffer.empty();
  const uint32_t background = mapped ? r.merge_background_index : r.merge_background_color.word();
  for (int32_t y = 0; y < r.window_size.y; ++y) {
    uint8_t* colours = r.color_buffer->rows_by_y[size_t(y)];
    uint8_t* depths = depth ? r.depth_buffer->rows_by_y[size_t(y)] : nullptr;
    for (int32_t x = 0; x < r.window_size.x; ++x) {
      const uint32_t pick = rng(), c = (pick & 3) == 0 ? background : rng();
      const uint16_t z = (pick & 12) == 0 ? 0xFFFF : uint16_t(pick >> 16);
      if (mapped) colours[x] = uint8_t(c);
      else std::memcpy(colours + 4 * x, &c, 4);
      if (depths) std::memcpy(depths + 2 * x, &z, 2);
    }
  }
  host.rearm_fences();
}

ZT_RGB32 random_colour(std::mt19937& rng) {
  const uint32_t alpha_pick = rng() % 4;
  ZT_RGB32 c = ZT_RGB32::from_word(rng());
  if (alpha_pick == 0) c.a = 255;
  if (alpha_pick == 1) c.a = 0;
  return c;
}

void randomise_state(Test_Host& host, std::mt19937& rng) {
  const int32_t w = host.r().color_buffer->width, h = host.r().color_buffer->height;
  ZT_Rendition_Data* d = host.rendition.modify();
  d->depth_test_active = 1;
  d->advanced_options = 0;
  d->drawing_mode = (rng() % 4) == 0 ? ZT_Drawing_Mode_Merge : 0;
  d->current_color = random_colour(rng);
  d->current_index = uint8_t(rng());
  d->contrast_color = random_colour(rng);
  d->contrast_index = uint8_t(rng());
  d->complex_clip = ZT_Contour_Set();
  if (rng() % 3 == 0) {
    ZT_Point q[4];
    for (ZT_Point& p : q) p = {float(rng() % uint32_t(w)), float(rng() % uint32_t(h)), 0};
    d->complex_clip = ZT_Contour_Set(4, q, false);
  }
  ZT_Face_Attributes* f = host.rendition.modify_face();
  const uint32_t pick = rng() % 6;
  f->pattern_index = pick < 2 ? 64 : pick == 2 ? 74 : pick == 3 ? 0 : int32_t(rng() % 74);
  f->pattern_flags = rng() % 4;
  f->pattern_origin = {int32_t(rng() % 40) - 20, int32_t(rng() % 40) - 20};
  f->user_pattern_width = 1 + int32_t(rng() % 13);
  f->user_pattern_height = 1 + int32_t(rng() % 5);
  f->user_pattern_row_bytes = (f->user_pattern_width + 7) / 8 + int32_t(rng() % 2);
  f->user_pattern_bits.resize(size_t(f->user_pattern_height * f->user_pattern_row_bytes));
  for (uint8_t& b : f->user_pattern_bits) b = uint8_t(rng());
  f->depth_offset = int32_t(rng() % 600) - 300;
  host.r().depth_test_mode = int32_t(rng() % 6);
  host.r().depth_write = uint8_t(rng() % 2);
}

std::vector<ZT_DCI_Point> random_strip(std::mt19937& rng, int32_t n, Point_Range r) {
  const uint32_t w = uint32_t(r.x1 - r.x0 + 1), h = uint32_t(r.y1 - r.y0 + 1);
  std::vector<ZT_DCI_Point> p;
  for (int32_t i = 0; i < n; ++i) {
    if (i > 0 && rng() % 8 == 0) p.push_back(p.back());  // degenerate triangles
    else if (i > 0 && rng() % 8 == 0) p.push_back({p.back().x + 3, p.back().y, 900});
    else
      p.push_back({r.x0 + int32_t(rng() % w), r.y0 + int32_t(rng() % h),
                   300 + int32_t(rng() % 64936)});
  }
  return p;
}

std::vector<ZT_RGB32> random_colours(std::mt19937& rng, int32_t n, Reference_Kind kind) {
  std::vector<ZT_RGB32> c;
  for (int32_t i = 0; i < n; ++i) {
    ZT_RGB32 v = random_colour(rng);
    if (kind == Reference_Kind::Gouraud && i > 0 && rng() % 3 == 0) {  // nearly uniform
      v = c.back();
      v.r = uint8_t(std::clamp(v.r + int32_t(rng() % 7) - 3, 0, 255));
      v.b = uint8_t(std::clamp(v.b + int32_t(rng() % 9) - 4, 0, 255));
    }
    c.push_back(v);
  }
  return c;
}

ZT_Slot strip_slot(Reference_Kind kind, bool points_anywhere, bool float_points) {
  using S = ZT_Slot;
  const S slots[3][2][2] = {
      {{S::draw_dci_polytriangle, S::draw_dc_polytriangle},
       {S::draw_2di_polytriangle, S::draw_2d_polytriangle}},
      {{S::draw_dci_colorized_polytriangle, S::draw_dc_colorized_polytriangle},
       {S::draw_2di_colorized_polytriangle, S::draw_2d_colorized_polytriangle}},
      {{S::draw_dci_gouraud_polytriangle, S::draw_dc_gouraud_polytriangle},
       {S::draw_2di_gouraud_polytriangle, S::draw_2d_gouraud_polytriangle}}};
  return slots[int(kind)][points_anywhere][float_points];
}
