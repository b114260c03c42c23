#include "tests/support/reference_textured.h"

#include <algorithm>
#include <cmath>

#include "tests/support/reference_pixels.h"

namespace {

struct Vertex {
  int64_t x, y, z, u, v;
  int64_t c[4];  // colour values (8.8 starts (c << 8) + 0x80); lit: the factors
  float s[3];    // lit: the offsets, as they travel
};

struct Draw {
  const Test_Host& host;
  Software_Z_Buffer& r;
  const ZT_Rendition_Data& d;
  char variant;
  bool modulated, lit;
  const ZT_Image_Data& image;
  bool u_repeat, v_repeat;
  Reference_Image& out;
  int32_t w, h;
};

int32_t step_of(int64_t delta, int32_t shift, int32_t n) {
  return n == 0 ? int32_t(delta) : int32_t((delta * (int64_t(1) << shift)) / n);
}

int64_t channel_divide(int64_t d, int32_t n) {
  if (n == 0 || n == 1) return d;
  if (n == 2 || n == 4 || n == 8) return d >> (n == 2 ? 1 : n == 4 ? 2 : 3);  // floor
  return d / n;  // truncating
}

int64_t clamp_zero(int64_t v) { return v < 0 ? 0 : v; }

// Values of the edge a -> b at row y.  Slots: 0 x, 1 depth, 2 U, 3 V,
// 4.. colours (8.8).
int64_t edge_at(const Vertex& a, const Vertex& b, int64_t y, int slot) {
  const int32_t rows = int32_t(b.y - a.y);
  const int64_t k = y - a.y;
  switch (slot) {
  case 0: return uint32_t((a.x << 16) + 0x8000 + k * step_of(b.x - a.x, 16, rows));
  case 1:
    return uint32_t((a.z << 15) + 0x4000 +
                    k * step_of(int32_t(uint32_t(b.z) - uint32_t(a.z)), 15, rows));
  case 2: return uint32_t((a.u << 16) + 0x8000 + k * step_of(b.u - a.u, 16, rows));
  case 3: return uint32_t((a.v << 16) + 0x8000 + k * step_of(b.v - a.v, 16, rows));
  default: {
    const int c = slot - 4;
    return (a.c[c] << 8) + 0x80 + k * (step_of(b.c[c] - a.c[c], 16, rows) >> 8);
  }
  }
}
float offset_at(const Vertex& a, const Vertex& b, int64_t y, int k) {
  return a.s[k] + float(y - a.y) * ((b.s[k] - a.s[k]) / float(b.y - a.y));
}

uint32_t texel(const Draw& a, uint32_t ui, uint32_t vi) {
  const uint32_t wm = uint32_t(a.image.width - 1), hm = uint32_t(a.image.height - 1);
  const uint8_t* row = a.image.rows_in_memory_order[hm - (vi & hm)];
  return reinterpret_cast<const uint32_t*>(row)[ui & wm];
}

// One pixel.  c2: the colour values doubled (mean: the sum of the walkers'),
// s: lit offsets as integers.
void put(const Draw& a, int32_t x, int32_t y, uint32_t z, uint32_t ui, uint32_t vi,
         const int64_t* c2, const int64_t* s, bool patterned) {
  const size_t at = size_t(x) + size_t(a.w) * size_t(y);
  uint16_t& stored = a.out.depth[at];
  uint32_t& p = a.out.color[at];
  const int cover = patterned ? reference_pattern_cover(*a.d.face, x, y) : 0;
  if (cover == 2 || z > stored) return;
  const bool mapped = a.variant == 'O' || a.variant == 'A';
  if (cover == 1) {
    const uint32_t contrast = mapped ? a.d.contrast_index : a.d.contrast_color.word();
    if (a.variant == 'E') {
      const uint32_t alpha = contrast >> 24;
      if (alpha == 255) p = contrast;
      else if (alpha != 0) p = reference_blend(p, contrast, alpha);
    } else {
      p = contrast;
    }
    stored = uint16_t(z);
    return;
  }
  if ((!a.u_repeat && ui >= uint32_t(a.image.width)) ||
      (!a.v_repeat && vi >= uint32_t(a.image.height)))
    return;
  const uint32_t t = texel(a, ui, vi);
  auto byte = [&](int k) { return int64_t((t >> (8 * k)) & 255); };
  auto product = [&](int k) { return clamp_zero((byte(k) * c2[k]) >> 17); };
  if (a.variant == 'F') {
    p = a.modulated ? 0xFF000000u | uint32_t(product(2) << 16 | product(1) << 8 | product(0)) : t;
  } else if (a.variant == 'E') {
    const int64_t alpha = a.modulated ? product(3) : byte(3);
    const uint32_t source =
        a.modulated ? 0xFF000000u | uint32_t(product(2) << 16 | product(1) << 8 | product(0)) : t;
    if (alpha == 255) p = source;
    else if (alpha != 0) p = reference_blend(p, source, uint32_t(alpha));
  } else {
    if (a.variant == 'A' && byte(3) == 0) return;
    const ZT_Color_Cube& cube = a.r.color_cube;
    const int64_t scale[3] = {cube.blue_scale, cube.green_scale, cube.red_scale};
    const int64_t threshold = reference_threshold(a.r, x, y);
    int64_t level[3];
    for (int k = 0; k < 3; ++k) {
      if (a.lit) {
        const int64_t sum = ((byte(k) * (c2[k] / 2) + s[k]) >> 8) + threshold;
        level[k] = sum < 0 ? 0 : std::min(sum >> 16, scale[k]);
      } else {
        const int64_t weight = a.modulated ? clamp_zero(c2[k] / 2) : scale[k] * 0xFF00 + 0x80;
        level[k] = ((int64_t(int32_t(uint32_t(byte(k) * weight))) >> 8) + threshold) >> 16;
      }
    }
    p = uint32_t(cube.base_index + cube.red_step * level[2] + cube.green_step * level[1] +
                 level[0]) & 255;
  }
  stored = uint16_t(z);
}

// One triangle; clip: its pixels only inside this local rectangle, solid and
// linear (a straddling triangle of a 2DI strip), else the DCI rules.
void triangle(const Draw& a, const Vertex (&in)[3], const ZT_Int_Rectangle* clip) {
  Vertex v[3] = {in[0], in[1], in[2]};
  std::stable_sort(v, v + 3, [](const Vertex& p, const Vertex& q) { return p.y < q.y; });
  const Vertex &top = v[0], &mid = v[1], &bot = v[2];
  const ZT_Face_Attributes& f = *a.d.face;
  const bool invert = f.pattern_flags & ZT_Pattern_Invert;
  const bool solid = clip || (f.pattern_index == 64 && !invert);
  const bool mean_of_two = solid && !clip && (a.variant == 'E' || a.variant == 'F');
  const int colours = a.lit ? 3 : a.modulated ? (a.variant == 'E' ? 4 : 3) : 0;
  ZT_Int_Rectangle window{0, a.w - 1, 0, a.h - 1};
  if (clip) window = *clip;
  for (int64_t y = std::max<int64_t>(top.y, window.bottom);
       y < std::min<int64_t>(bot.y, int64_t(window.top) + 1); ++y) {
    const bool upper = y < mid.y;
    const Vertex& short_from = upper ? top : mid;
    const Vertex& short_to = upper ? mid : bot;
    bool short_left;
    if (upper)
      short_left = !(step_of(mid.x - top.x, 16, int32_t(mid.y - top.y)) >
                     step_of(bot.x - top.x, 16, int32_t(bot.y - top.y)));
    else
      short_left = int32_t(edge_at(mid, bot, mid.y, 0)) < int32_t(edge_at(top, bot, mid.y, 0));
    int64_t lv[8], rv[8];
    float ls[3] = {}, rs[3] = {};
    for (int slot = 0; slot < 4 + colours; ++slot) {
      const int64_t long_value = edge_at(top, bot, y, slot);
      const int64_t short_value = edge_at(short_from, short_to, y, slot);
      lv[slot] = short_left ? short_value : long_value;
      rv[slot] = short_left ? long_value : short_value;
    }
    for (int k = 0; a.lit && k < 3; ++k) {
      const float long_value = offset_at(top, bot, y, k);
      const float short_value = offset_at(short_from, short_to, y, k);
      ls[k] = short_left ? short_value : long_value;
      rs[k] = short_left ? long_value : short_value;
    }
    // Edge x as a signed value: a straddling triangle's vertices may lie left of
    // the window.
    const int32_t xl = int32_t(lv[0]) >> 16, n = (int32_t(rv[0]) >> 16) - xl;
    for (int32_t k = 0; k < n; ++k) {
      const int64_t x = xl + k;
      if (clip && (x < clip->left || x > clip->right)) continue;
      const bool mean = mean_of_two && n == 2 && k == 1;
      const int64_t zl = (lv[1] >> 15) & 0xFFFF, zr = (rv[1] >> 15) & 0xFFFF;
      int64_t z = ((zl << 15) + 0x4000 + k * int64_t(step_of(zr - zl, 15, n))) >> 15;
      if (mean) z = ((lv[1] >> 1) + (rv[1] >> 1)) >> 15;
      uint32_t texel_at[2];
      for (int axis = 0; axis < 2; ++axis) {
        // The walkers' upper 16 bits, unsigned: a span from 0xFFFE to 0 steps
        // by 2 (the shifted difference wraps in 32 bits), not by -65534.
        const int64_t l = lv[2 + axis] >> 16, r = rv[2 + axis] >> 16;
        const int32_t step = int32_t(uint32_t(r - l) << 16) / n;
        int64_t value = (l << 16) + 0x8000 + k * int64_t(step);
        if (mean) value = (lv[2 + axis] + rv[2 + axis]) >> 1;
        texel_at[axis] = (uint32_t(value) >> 16) & 0xFFFF;
      }
      int64_t c2[4] = {}, s[3] = {};
      for (int c = 0; c < colours; ++c)
        c2[c] = mean ? lv[4 + c] + rv[4 + c]
                     : 2 * (lv[4 + c] + k * channel_divide(rv[4 + c] - lv[4 + c], n));
      for (int c = 0; a.lit && c < 3; ++c) {
        const int64_t l = int64_t(ls[c]), r = int64_t(rs[c]);
        s[c] = l + k * channel_divide(r - l, n);
      }
      put(a, int32_t(x), int32_t(y), uint32_t(z) & 0xFFFF, texel_at[0], texel_at[1], c2, s,
          !solid);
    }
  }
}

}  // namespace

void reference_textured_strip(const Test_Host& host, const Textured_Points& call,
                              bool points_anywhere, Reference_Image& image) {
  Software_Z_Buffer& r = const_cast<Test_Host&>(host).r();
  const ZT_Rendition_Data& d = *host.rendition;
  const ZT_Counted_Ptr<ZT_Texture> texture = d.face->texture();
  const ZT_Shared_Image held = texture->image(0, 0);
  const Point_List& p = call.points;
  const bool lit = d.lighting != 0 && !call.normals.empty();
  Draw a{host, r, d, textured_variant(host), texture->modulate && !p.colours.empty(), lit,
         *held.data(), texture->u_wrap == ZT_Wrap_Repeat, texture->v_wrap == ZT_Wrap_Repeat,
         image, r.color_buffer->width, r.color_buffer->height};
  const ZT_Face_Attributes& f = *d.face;
  const bool invert = f.pattern_flags & ZT_Pattern_Invert;
  const bool fills_nothing = !(f.pattern_flags & ZT_Pattern_Background) &&
                             ((f.pattern_index == 0 && !invert) || (f.pattern_index == 64 && invert));
  const ZT_Int_Point o = r.window_origin();
  const ZT_Int_Rectangle& hc = d.hard_clip;
  const ZT_Int_Rectangle clip{hc.left - o.x, hc.right - o.x, hc.bottom - o.y, hc.top - o.y};
  const ZT_Color_Cube& cube = r.color_cube;
  const int32_t scale[3] = {cube.blue_scale, cube.green_scale, cube.red_scale};
  ZT_Rendition white = host.rendition, black = host.rendition;
  white.set_color(ZT_RGB32(255, 255, 255, 255), false);
  black.set_color(ZT_RGB32(0, 0, 0, 255), false);
  for (int32_t i = 0; i + 2 < p.count; ++i) {
    Vertex v[3];
    bool in_window = true, in_clip = true, beyond = true;
    uint32_t beyond_sides = 15;
    for (int k = 0; k < 3; ++k) {
      const int32_t j = i + k;
      const ZT_DCI_Point& q = p.integer[size_t(j)];
      Vertex& u = v[k];
      u.x = int64_t(q.x) - o.x;
      u.y = int64_t(q.y) - o.y;
      u.z = int32_t(uint32_t(q.z) + uint32_t(f.depth_offset));
      const ZT_Parameter t =
          call.parameters.empty() ? ZT_Parameter{} : call.parameters[size_t(j * call.width)];
      u.u = int64_t(std::trunc(t.u * float(a.image.width)));
      u.v = int64_t(std::trunc(t.v * float(a.image.height)));
      const ZT_RGB32 c = p.colours.empty() ? ZT_RGB32() : p.colours[size_t(j)];
      const int64_t bytes[4] = {c.b, c.g, c.r, c.a};
      for (int ch = 0; ch < 4; ++ch)
        u.c[ch] = a.variant == 'E' || a.variant == 'F' ? bytes[ch] : bytes[ch] * scale[ch % 3];
      if (lit) {
        const ZT_Light_Levels on = f.material->lighting(white, call.normals[size_t(j)]);
        const ZT_Light_Levels off = f.material->lighting(black, call.normals[size_t(j)]);
        for (int ch = 0; ch < 3; ++ch) {
          const float level = std::clamp(on[ch], 0.0f, 32.0f);
          u.c[ch] = a.modulated ? int64_t(float(scale[ch] * bytes[ch]) * level)
                                : int64_t(level * float(scale[ch]) * 255.0f);
          u.s[ch] = std::clamp(off[ch], 0.0f, 32.0f) * 255.0f * float(scale[ch]) * 65280.0f;
        }
      }
      in_window = in_window && u.x >= 0 && u.x <= a.w;
      const bool inside = u.x >= clip.left && u.x <= clip.right && u.y >= clip.bottom &&
                          u.y <= clip.top;
      in_clip = in_clip && inside;
      beyond_sides &= (u.x < clip.left ? 1 : 0) | (u.x > clip.right ? 2 : 0) |
                      (u.y < clip.bottom ? 4 : 0) | (u.y > clip.top ? 8 : 0);
    }
    beyond = beyond_sides != 0;
    if (points_anywhere && !in_clip) {
      if (!beyond) triangle(a, v, &clip);
      continue;
    }
    if (in_window && !fills_nothing) triangle(a, v, nullptr);
  }
}
