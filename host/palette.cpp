#include <algorithm>
#include <climits>

#include "host/zt_palette.h"

bool ZT_Color_Cube::levels_fit(ZT_Int_RGB l) {
  return l.r >= 1 && l.g >= 1 && l.b >= 1 && int64_t(l.r) * l.g * l.b <= 256;
}

ZT_Color_Cube::ZT_Color_Cube(ZT_Int_RGB levels, float scale, int32_t base)
    : base_index(uint8_t(base)) {
  levels_ = levels_fit(levels) ? levels : ZT_Int_RGB{1, 1, 1};
  if (!(scale >= 0.0f)) scale = 0.0f;  // NaN too
  scale = std::min(scale, 1.0f);
  blue_step = 1;
  green_step = uint8_t(levels_.b);
  red_step = uint8_t(levels_.b * levels_.g);
  auto component_scale = [scale](int32_t l) {
    return int32_t(double(l - 1) * 256.0 * double(scale) / 255.0);
  };
  red_scale = component_scale(levels_.r);
  green_scale = component_scale(levels_.g);
  blue_scale = component_scale(levels_.b);
}

bool ZT_Color_Cube::valid() const {
  auto fits = [](int32_t s) { return s >= 0 && s <= largest_scale; };
  return levels_fit(levels_) && fits(red_scale) && fits(green_scale) && fits(blue_scale);
}

ZT_Palette::ZT_Palette(const ZT_Palette& o)
    : ZT_Counted(o), count_(o.count_), cube_(o.cube_) {
  std::copy(std::begin(o.colors_), std::end(o.colors_), std::begin(colors_));
}

bool ZT_Palette::set_count(int32_t n) {
  if (n < 1 || n > 256) return false;
  count_ = n;
  return true;
}

bool ZT_Palette::set_color_cube(const ZT_Color_Cube& cube) {
  if (!cube.valid()) return false;
  cube_ = cube;
  return true;
}

ZT_Palette::ZT_Palette() {
  for (int i = 0; i < 256; ++i) colors_[i] = ZT_RGB32(uint8_t(i), uint8_t(i), uint8_t(i), 255);
}

ZT_Palette* ZT_Palette::with_color_cube(ZT_Int_RGB levels, int32_t base) {
  if (!ZT_Color_Cube::levels_fit(levels)) return nullptr;
  auto* p = new ZT_Palette();
  ZT_Color_Cube cube(levels, 1.0f, base);
  ZT_Int_RGB l = cube.levels();
  auto value = [](int32_t i, int32_t n) { return uint8_t(n > 1 ? i * 255 / (n - 1) : 0); };
  for (int r = 0; r < l.r; ++r)
    for (int g = 0; g < l.g; ++g)
      for (int b = 0; b < l.b; ++b)
        p->set_color(cube.index_of(r, g, b),
                     ZT_RGB32(value(r, l.r), value(g, l.g), value(b, l.b), 255));
  p->set_color_cube(cube);
  return p;
}

int32_t ZT_Palette::closest_match(ZT_RGB32 c, bool exact_only) const {
  match_calls.fetch_add(1, std::memory_order_relaxed);
  int32_t best = 0;
  int64_t best_distance = INT64_MAX;
  for (int32_t i = 0; i < count_; ++i) {
    ZT_RGB32 p = colors_[i];
    int64_t dr = int(p.r) - c.r, dg = int(p.g) - c.g, db = int(p.b) - c.b;
    int64_t d = dr * dr + dg * dg + db * db;
    if (d < best_distance) {
      best_distance = d;
      best = i;
    }
  }
  if (exact_only && best_distance != 0) return -1;
  return best;
}
