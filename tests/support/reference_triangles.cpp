#include "tests/support/reference_triangles.h"

#include <algorithm>

#include "core/mask_cache.h"
#include "tests/support/reference_pixels.h"

namespace {

enum class Depth_Kind { None, By_Mode, Fixed_By_Flag, Fixed_Always };

// Everything the reference knows about one draw.
struct Draw {
  const Test_Host& host;
  Software_Z_Buffer& r;
  const ZT_Rendition_Data& d;
  char config;
  Reference_Kind kind;
  const Frame_Buffer_Mask* mask;
  Reference_Image& image;
  int32_t w, h;
  // For the 2DI actions: the hard-clip rectangle in local coordinates.
  const ZT_Int_Rectangle* clip = nullptr;
};

uint32_t shifted(int64_t v) { return uint32_t(v); }  // the low 32 bits

// (delta << shift) / n as a plain division, truncating toward zero.
int32_t step_of(int64_t delta, int32_t shift, int32_t n) {
  return n == 0 ? int32_t(delta) : int32_t((delta * (int64_t(1) << shift)) / n);
}
uint32_t threshold(const Draw& a, int32_t x, int32_t y) {
  return reference_threshold(a.r, x, y);
}

Depth_Kind depth_kind(const Draw& a) {
  if (a.config < 'D') return Depth_Kind::None;
  if (a.kind == Reference_Kind::Gouraud || a.config == 'D') return Depth_Kind::Fixed_Always;
  if (a.config == 'E') return Depth_Kind::Fixed_By_Flag;
  return a.mask ? Depth_Kind::Fixed_Always : Depth_Kind::By_Mode;
}

bool depth_passes(const Draw& a, uint32_t z, uint16_t& stored) {
  const Depth_Kind k = depth_kind(a);
  if (k == Depth_Kind::None) return true;
  bool pass = z <= stored;
  if (k == Depth_Kind::By_Mode) {
    if (a.r.depth_test_mode == 1) pass = z < stored;
    if (a.r.depth_test_mode == 5) pass = z > stored;
  }
  if (!pass) return false;
  if (k == Depth_Kind::Fixed_Always || a.r.depth_write) stored = uint16_t(z);
  return true;
}

// What a pixel shows: 0 the triangle's colour, 1 the contrast colour, 2 nothing.
int coverage(const Draw& a, int32_t x, int32_t y) {
  if (a.mask && a.mask->excludes(x, y)) return 2;
  return reference_pattern_cover(*a.d.face, x, y);
}

// Writes one covered pixel.  value: the triangle's word (flat, colorized), or
// the interpolated channels (Gouraud).
void put_pixel(const Draw& a, int32_t x, int32_t y, uint32_t z, uint32_t word,
               const int64_t* channel) {
  const int cover = coverage(a, x, y);
  if (cover == 2) return;
  const size_t at = size_t(x) + size_t(a.w) * size_t(y);
  uint16_t dummy = 0;
  if (!depth_passes(a, z, a.config >= 'D' ? a.image.depth[at] : dummy)) return;
  uint32_t& p = a.image.color[at];
  const bool mapped = a.config == 'C' || a.config == 'D';
  const bool merge = a.r.force_merge || a.d.drawing_mode == 20;
  const uint32_t contrast = mapped ? a.d.contrast_index : a.d.contrast_color.word();
  if (cover == 1) {
    if (a.config == 'E' && a.kind == Reference_Kind::Gouraud) {
      uint32_t al = contrast >> 24;
      if (al == 255) p = contrast;
      else if (al > 0) p = reference_blend(p, contrast, al);
    } else if (a.config == 'E') {
      p = reference_blend(p, contrast, contrast >> 24);
    } else if (merge && ((a.config == 'A' && a.kind == Reference_Kind::Colorized) ||
                         (a.config == 'C' && a.kind == Reference_Kind::Flat))) {
      if (mapped) reference_merge_index(a.r, p, contrast);
      else reference_merge_word(a.r, p, contrast | 0xFF000000u);
    } else {
      p = contrast;
    }
    return;
  }
  if (a.kind == Reference_Kind::Gouraud) {
    const int64_t c0 = channel[0] >> 16, c1 = channel[1] >> 16, c2 = channel[2] >> 16;
    if (mapped) {
      const ZT_Color_Cube& cube = a.r.color_cube;
      const int64_t t = threshold(a, x, y);
      const int64_t lr = ((int32_t(channel[0]) >> 8) + t) >> 16;
      const int64_t lg = ((int32_t(channel[1]) >> 8) + t) >> 16;
      const int64_t lb = ((int32_t(channel[2]) >> 8) + t) >> 16;
      p = uint32_t(cube.base_index + lr * cube.red_step + lg * cube.green_step + lb) & 255;
      return;
    }
    const uint32_t rgb = 0xFF000000u | uint32_t(c2) << 16 | uint32_t(c1) << 8 | uint32_t(c0);
    if (a.config == 'A' || a.config == 'E') {
      const int64_t alpha = channel[3] >> 16;
      if (alpha == 255) p = rgb;
      else if (alpha > 0) p = reference_blend(p, rgb, uint32_t(alpha));
    } else {
      p = rgb;
    }
    return;
  }
  if (a.kind == Reference_Kind::Flat) {  // C and D
    if (a.config == 'C' && merge) reference_merge_index(a.r, p, a.d.current_index);
    else p = a.d.current_index;
    return;
  }
  switch (a.config) {
  case 'A':
    if (merge) reference_merge_word(a.r, p, word | 0xFF000000u);
    else p = reference_blend(p, word, word >> 24);  // alpha 255 blends to the word itself
    return;
  case 'E': p = reference_blend(p, word, word >> 24); return;
  case 'C':
  case 'D':
    p = reference_dither(a.r.color_cube, ZT_RGB32::from_word(word), threshold(a, x, y));
    return;
  default: p = word;
  }
}

struct Vertex {
  int64_t x, y, z;
  int64_t c[4];
};

// The value of an edge from a to b (rows apart) at row y, per channel slot:
// 0 x (16.16), 1 depth (17.15), 2.. channels.
uint32_t edge_value(const Vertex& a, const Vertex& b, int64_t y, int slot) {
  const int32_t rows = int32_t(b.y - a.y);
  const int64_t from = slot == 0 ? a.x : slot == 1 ? a.z : a.c[slot - 2];
  const int64_t to = slot == 0 ? b.x : slot == 1 ? b.z : b.c[slot - 2];
  const int32_t shift = slot == 1 ? 15 : 16;
  const int64_t start = (from << shift) + (int64_t(1) << (shift - 1));
  const int32_t delta = int32_t(uint32_t(to) - uint32_t(from));
  return shifted(start + (y - a.y) * step_of(delta, shift, rows));
}

// linear: every span by the linear rule, only pixels inside a.clip drawn.
void triangle(const Draw& a, const Vertex (&in)[3], uint32_t word, bool linear) {
  Vertex v[3] = {in[0], in[1], in[2]};
  std::stable_sort(v, v + 3, [](const Vertex& p, const Vertex& q) { return p.y < q.y; });
  const Vertex &top = v[0], &mid = v[1], &bot = v[2];
  const int slots = a.kind == Reference_Kind::Gouraud ? 2 + 4 : 2;
  ZT_Int_Rectangle rows{0, a.w - 1, 0, a.h - 1};
  if (linear) rows = *a.clip;
  const int64_t first = std::max<int64_t>(top.y, rows.bottom);
  for (int64_t y = first; y < std::min<int64_t>(bot.y, int64_t(rows.top) + 1); ++y) {
    uint32_t lv[6], sv[6];
    const bool upper = y < mid.y;
    for (int s = 0; s < slots; ++s) {
      lv[s] = edge_value(top, bot, y, s);
      sv[s] = upper ? edge_value(top, mid, y, s) : edge_value(mid, bot, y, s);
    }
    bool short_left;
    if (upper) {
      const int32_t rows = int32_t(mid.y - top.y), long_rows = int32_t(bot.y - top.y);
      short_left = !(step_of(mid.x - top.x, 16, rows) > step_of(bot.x - top.x, 16, long_rows));
    } else {
      // Positions are signed here (x may lie left of the window); within the
      // window the unsigned compare of the rasterisers agrees.
      short_left =
          int32_t(edge_value(mid, bot, mid.y, 0)) < int32_t(edge_value(top, bot, mid.y, 0));
    }
    const uint32_t* left = short_left ? sv : lv;
    const uint32_t* right = short_left ? lv : sv;
    const int32_t xl = int32_t(left[0]) >> 16, count = (int32_t(right[0]) >> 16) - xl;
    for (int32_t k = 0; k < count; ++k) {
      const int64_t x = xl + k;
      if (linear && (x < rows.left || x > rows.right)) continue;
      const bool mean = count == 2 && k == 1 && !linear;
      if (count == 2 && k == 1 && linear && x < a.w) {
        a.image.linear_second_of_two.resize(size_t(a.w) * size_t(a.h));
        a.image.linear_second_of_two[size_t(x) + size_t(a.w) * size_t(y)] = 1;
      }
      const int64_t zl = (left[1] >> 15) & 0xFFFF, zr = (right[1] >> 15) & 0xFFFF;
      int64_t z = (((zl << 15) + 0x4000) + k * int64_t(step_of(zr - zl, 15, count))) >> 15;
      if (mean) z = (int64_t(left[1] >> 1) + (right[1] >> 1)) >> 15;
      int64_t channel[4] = {};
      for (int c = 0; c + 2 < slots; ++c) {
        const int64_t cl = int32_t(left[c + 2]) >> 16, cr = int32_t(right[c + 2]) >> 16;
        channel[c] = shifted((cl << 16) + 0x8000 + k * int64_t(step_of(cr - cl, 16, count)));
        if (mean) channel[c] = (int64_t(left[c + 2]) + right[c + 2]) >> 1;
      }
      put_pixel(a, int32_t(x), int32_t(y), uint32_t(z) & 0xFFFF, word, channel);
    }
  }
}

bool near_constant(const ZT_RGB32* c) {
  auto close = [](int a, int b) { return a - b >= -3 && a - b <= 3; };
  return close(c[0].r, c[1].r) && close(c[0].g, c[1].g) && close(c[0].b, c[1].b) &&
         close(c[1].r, c[2].r) && close(c[1].g, c[2].g) && close(c[1].b, c[2].b);
}

void strip(Draw a, int32_t n, const ZT_DCI_Point* p, const ZT_RGB32* colours, bool single) {
  const ZT_Face_Attributes& f = *a.d.face;
  const bool invert = f.pattern_flags & ZT_Pattern_Invert;
  if (!(f.pattern_flags & ZT_Pattern_Background) &&
      ((f.pattern_index == 0 && !invert) || (f.pattern_index == 64 && invert)))
    return;
  if (a.kind == Reference_Kind::Colorized && a.config == 'A' && !a.mask && single &&
      colours[0].a == 0)
    return;
  for (int32_t i = 0; i + 2 < n; ++i) {
    Vertex v[3];
    bool inside = true, inside_clip = true;
    for (int k = 0; k < 3; ++k) {
      const ZT_DCI_Point& q = p[i + k];
      v[k] = {int64_t(q.x) - a.r.window_origin().x, int64_t(q.y) - a.r.window_origin().y,
              int64_t(int32_t(uint32_t(q.z) + uint32_t(f.depth_offset))), {}};
      inside = inside && v[k].x >= 0 && v[k].x <= a.w && v[k].y >= -(1 << 28) &&
               v[k].y <= a.h + (1 << 28);
      if (a.clip)
        inside_clip = inside_clip && v[k].x >= a.clip->left && v[k].x <= a.clip->right &&
                      v[k].y >= a.clip->bottom && v[k].y <= a.clip->top;
      if (a.kind == Reference_Kind::Gouraud) {
        const ZT_RGB32 c = colours[i + k];
        const ZT_Color_Cube& cube = a.r.color_cube;
        if (a.config == 'C' || a.config == 'D')
          v[k].c[0] = c.r * cube.red_scale, v[k].c[1] = c.g * cube.green_scale,
          v[k].c[2] = c.b * cube.blue_scale;
        else v[k].c[0] = c.b, v[k].c[1] = c.g, v[k].c[2] = c.r, v[k].c[3] = c.a;
      }
    }
    if (!inside && !a.clip) continue;
    if (a.kind == Reference_Kind::Gouraud && near_constant(colours + i)) {
      Draw flat = a;
      flat.kind = Reference_Kind::Colorized;
      strip(flat, 3, p + i, colours + i, true);
      continue;
    }
    triangle(a, v, a.kind == Reference_Kind::Colorized ? colours[single ? 0 : i].word() : 0,
             a.clip && !inside_clip);
  }
}

}  // namespace

Reference_Image reference_snapshot(const Test_Host& host) {
  return {host.snapshot(), {}};
}

namespace {

void reference_strip(const Test_Host& host, Reference_Kind kind, int32_t count,
                     const ZT_DCI_Point* points, const ZT_RGB32* colours, bool single,
                     const ZT_Int_Rectangle* clip, Reference_Image& image) {
  Test_Host& h = const_cast<Test_Host&>(host);
  Software_Z_Buffer& r = h.r();
  const ZT_Rendition_Data& d = *host.rendition;
  char config = configuration_letter(r.configuration);
  const bool merge = r.force_merge || d.drawing_mode == 20;
  ZT_RGB32 current = d.current_color;
  if (kind == Reference_Kind::Flat && config != 'C' && config != 'D') {
    kind = Reference_Kind::Colorized;
    colours = &current;
    single = true;
    if (config == 'B' && merge) current.a = 255;
  }
  if (config == 'B' && merge && kind == Reference_Kind::Colorized) config = 'A';
  const bool masked = config != 'E' && r.mask_active_for_draw(host.rendition);
  Draw a{host, r, d, config, kind, masked ? r.mask_cache->head : nullptr, image,
         r.color_buffer->width, r.color_buffer->height, clip};
  strip(a, count, points, colours, single);
}

}  // namespace

void reference_dci_strip(const Test_Host& host, Reference_Kind kind, const Point_List& strip,
                         Reference_Image& image) {
  reference_strip(host, kind, strip.count, strip.integer.data(), strip.colours.data(),
                  strip.single, nullptr, image);
}

void reference_2di_strip(const Test_Host& host, Reference_Kind kind, const Point_List& strip,
                         Reference_Image& image) {
  const ZT_Int_Rectangle& c = host.rendition->hard_clip;
  const ZT_Int_Point o = host.r().window_origin();
  const ZT_Int_Rectangle local{c.left - o.x, c.right - o.x, c.bottom - o.y, c.top - o.y};
  reference_strip(host, kind, strip.count, strip.integer.data(), strip.colours.data(),
                  strip.single, &local, image);
}
