#include "tests/support/reference_pixels.h"

#include <algorithm>

uint32_t reference_blend(uint32_t stored, uint32_t source, uint32_t a) {
  uint32_t out = 0xFF000000u;
  for (int k = 0; k < 3; ++k) {
    const uint32_t s = (source >> (8 * k)) & 255, t = (stored >> (8 * k)) & 255;
    out |= ((s * a + t * (255 - a)) / 255) << (8 * k);
  }
  return out;
}

void reference_merge_word(const Software_Z_Buffer& r, uint32_t& p, uint32_t s) {
  const uint32_t bg = r.merge_background_color.word();
  uint32_t out;
  if (p == bg) out = s;
  else if (p == s) return;
  else out = p & s;
  out |= 0xFF000000u;
  p = out == bg ? r.merge_alternate_color.word() : out;
}

void reference_merge_index(const Software_Z_Buffer& r, uint32_t& p, uint32_t s) {
  if (p == r.merge_background_index) {
    p = s == r.merge_background_index ? r.merge_alternate_index : s;
    return;
  }
  if (p == s) return;
  const ZT_Palette* pal = const_cast<Software_Z_Buffer&>(r).renderer_options()->palette();
  ZT_RGB32 c = ZT_RGB32::from_word(pal->color(int32_t(p)).word() & pal->color(int32_t(s)).word());
  c.a = 255;
  const uint32_t m = uint32_t(pal->closest_match(c, false));
  p = m == r.merge_background_index ? r.merge_alternate_index : m;
}

uint32_t reference_dither(const ZT_Color_Cube& cube, ZT_RGB32 c, uint32_t t) {
  const int32_t v[3] = {int32_t(c.r) * cube.red_scale * 256, int32_t(c.g) * cube.green_scale * 256,
                        int32_t(c.b) * cube.blue_scale * 256};
  const int32_t steps[3] = {cube.red_step, cube.green_step, 1};
  int32_t index = cube.base_index;
  for (int k = 0; k < 3; ++k) index += (v[k] >> 16) * steps[k];
  int order[3] = {0, 1, 2};
  std::stable_sort(order, order + 3,
                   [&](int i, int j) { return (v[i] & 0xFFFF) > (v[j] & 0xFFFF); });
  for (int k = 0; k < 3; ++k) {
    if (t < 0xFFFFu - uint32_t(v[order[k]] & 0xFFFF)) break;
    index += steps[order[k]];
  }
  return uint32_t(index) & 255;
}

uint32_t reference_threshold(const Software_Z_Buffer& r, int32_t x, int32_t y) {
  const uintptr_t address = reinterpret_cast<uintptr_t>(r.color_buffer->rows_by_y[size_t(y)] + x);
  return SHARED.dither_table[(address & 7) + 8 * (y & 7)];
}

int reference_pattern_cover(const ZT_Face_Attributes& f, int32_t x, int32_t y) {
  const bool invert = f.pattern_flags & ZT_Pattern_Invert;
  const bool background = f.pattern_flags & ZT_Pattern_Background;
  if (f.pattern_index == 64 && !invert) return 0;
  const uint8_t* bits = ZARNIK.fill_patterns[f.pattern_index];
  int32_t pw = 8, ph = 8, row_bytes = 1;
  if (f.pattern_index == 74) {
    bits = f.user_pattern_bits.data();
    pw = f.user_pattern_width, ph = f.user_pattern_height, row_bytes = f.user_pattern_row_bytes;
  }
  const int32_t row = int32_t(((int64_t(y) - f.pattern_origin.y) % ph + ph) % ph);
  const int32_t col = int32_t(((int64_t(x) - f.pattern_origin.x) % pw + pw) % pw);
  const bool hole = (((bits[row * row_bytes + col / 8] >> (col % 8)) & 1) != 0) != invert;
  return !hole ? 0 : background ? 1 : 2;
}
