#include "tests/support/test_meshes.h"

#include <cmath>
#include <utility>

std::vector<Strip> grid_strips(std::mt19937& rng, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                               int32_t cols, int32_t rows) {
  const int32_t cw = (x1 - x0) / cols, ch = (y1 - y0) / rows;
  auto jitter = [&](int32_t cell) {
    const int32_t j = cell / 4;
    return j > 0 ? int32_t(rng() % uint32_t(2 * j + 1)) - j : 0;
  };
  std::vector<std::vector<ZT_DCI_Point>> v(size_t(cols + 1), std::vector<ZT_DCI_Point>(size_t(rows + 1)));
  for (int32_t i = 0; i <= cols; ++i)
    for (int32_t j = 0; j <= rows; ++j) {
      ZT_DCI_Point& p = v[size_t(i)][size_t(j)];
      p.x = i == cols ? x1 : x0 + i * cw;
      p.y = j == rows ? y1 : y0 + j * ch;
      p.z = int32_t(rng() % 60000);
      const bool side_x = i == 0 || i == cols, side_y = j == 0 || j == rows;
      if (!side_x) p.x += jitter(cw);
      if (!side_y) p.y += jitter(ch);
    }
  std::vector<Strip> strips;
  for (int32_t j = 0; j < rows; ++j) {
    const bool up_first = rng() & 1;
    Strip s;
    for (int32_t i = 0; i <= cols; ++i) {
      s.push_back(v[size_t(i)][size_t(j + (up_first ? 1 : 0))]);
      s.push_back(v[size_t(i)][size_t(j + (up_first ? 0 : 1))]);
    }
    strips.push_back(s);
  }
  return strips;
}

Polygon_Triangulations convex_polygon(std::mt19937& rng, int32_t cx, int32_t cy, int32_t r,
                                      int32_t n) {
  std::vector<ZT_DCI_Point> outline;
  const double turn = 6.283185307179586 / n;
  const double phase = double(rng() % 1000) / 1000.0 * turn;
  for (int32_t k = 0; k < n; ++k) {
    const double a = phase + k * turn;
    const double radius = r * (0.85 + 0.15 * double(rng() % 100) / 100.0);
    outline.push_back({int32_t(std::lround(cx + radius * std::cos(a))),
                       int32_t(std::lround(cy + radius * std::sin(a))), int32_t(rng() % 60000)});
  }
  Polygon_Triangulations t;
  const ZT_DCI_Point centre{cx + int32_t(rng() % 5) - 2, cy + int32_t(rng() % 5) - 2, 100};
  for (int32_t k = 0; k < n; ++k)
    t.fan.push_back({centre, outline[size_t(k)], outline[size_t((k + 1) % n)]});
  // v0, v1, v(n-1), v2, v(n-2), …
  int32_t lo = 1, hi = n - 1;
  t.zigzag.push_back(outline[0]);
  for (bool low = true; lo <= hi; low = !low) t.zigzag.push_back(outline[size_t(low ? lo++ : hi--)]);
  return t;
}

ZT_DCI_Point symmetric(ZT_DCI_Point p, int32_t size, int s) {
  if (s & 1) p.x = size - p.x;
  if (s & 2) p.y = size - p.y;
  if (s & 4) std::swap(p.x, p.y);
  return p;
}

std::vector<Triangle> triangles_of(const Strip& strip) {
  std::vector<Triangle> out;
  for (size_t i = 0; i + 2 < strip.size(); ++i) out.push_back({strip[i], strip[i + 1], strip[i + 2]});
  return out;
}
