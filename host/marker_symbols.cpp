#include "host/marker_symbols.h"

#include <initializer_list>

namespace zd_host {

namespace {

Marker_Stroke stroke(std::initializer_list<ZT_Int_Point> points) {
  Marker_Stroke s;
  for (const ZT_Int_Point& p : points) s.offset[s.count++] = p;
  return s;
}

Marker_Fill fill(std::initializer_list<std::initializer_list<float>> points) {
  Marker_Fill f;
  for (const auto& p : points) {
    f.offset[f.count][0] = *p.begin();
    f.offset[f.count][1] = *(p.begin() + 1);
    ++f.count;
  }
  return f;
}

struct Symbols {
  Marker_Symbol symbol[marker_symbol_count];
  Symbols() {
    const Marker_Stroke across = stroke({{-3, 0}, {3, 0}}), up = stroke({{0, -3}, {0, 3}});
    const Marker_Stroke rising = stroke({{-3, -3}, {3, 3}}), falling = stroke({{-3, 3}, {3, -3}});
    symbol[0] = {2, {across, up}, 0, {}};
    symbol[1] = {4, {across, up, stroke({{-2, -2}, {2, 2}}), stroke({{-2, 2}, {2, -2}})}, 0, {}};
    symbol[2] = {1,
                 {stroke({{3, 0}, {3, 1}, {2, 2}, {1, 3}, {-1, 3}, {-2, 2}, {-3, 1}, {-3, -1},
                          {-2, -2}, {-1, -3}, {1, -3}, {2, -2}, {3, -1}, {3, 0}})},
                 0,
                 {}};
    symbol[3] = {2, {rising, falling}, 0, {}};
    symbol[4] = {1, {stroke({{-3, -3}, {3, -3}, {3, 3}, {-3, 3}, {-3, -3}})}, 0, {}};
    symbol[5] = {0, {}, 1, {fill({{-3, -3}, {4, -3}, {-3, 4}, {4, 4}})}};
    symbol[6] = {1, {stroke({{0, -3}, {3, 0}, {0, 3}, {-3, 0}, {0, -3}})}, 0, {}};
    symbol[7] = {0, {}, 1, {fill({{0.5f, -3}, {4, 0.5f}, {-3, 0.5f}, {0.5f, 4}})}};
    symbol[8] = {1, {stroke({{-3, -3}, {3, -3}, {0, 3}, {-3, -3}})}, 0, {}};
    symbol[9] = {0, {}, 1, {fill({{-3, -3}, {4, -3}, {0.5f, 4}})}};
  }
};

}  // namespace

const Marker_Symbol& marker_symbol(int32_t style) {
  static const Symbols symbols;
  const int32_t k = style >= 1 && style <= marker_symbol_count ? style - 1 : 0;
  return symbols.symbol[k];
}

}  // namespace zd_host
