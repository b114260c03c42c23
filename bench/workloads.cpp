#include "bench/workloads.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zdi::bench {

namespace {

constexpr uint32_t kW16 = kWidth * 16;
constexpr uint32_t kH16 = kHeight * 16;

Bench_Vertex vertex16(int32_t x16, int32_t y16, uint32_t z, uint32_t c) {
  return {static_cast<float>(x16) / 16.0f, static_cast<float>(y16) / 16.0f, static_cast<float>(z),
          colour_word(c)};
}

// Twice the signed area, in 1/256 px^2; exact in 64 bits for any on-screen triangle.
int64_t cross16(const Bench_Vertex& a, const Bench_Vertex& b, const Bench_Vertex& c) {
  const int64_t ax = sixteenths(a.x), ay = sixteenths(a.y);
  const int64_t bx = sixteenths(b.x) - ax, by = sixteenths(b.y) - ay;
  const int64_t cx = sixteenths(c.x) - ax, cy = sixteenths(c.y) - ay;
  return bx * cy - by * cx;
}

} // namespace

std::vector<Bench_Triangle> gen_tris(uint32_t n, uint32_t sx16, uint32_t sy16) {
  Xorshift32 rng;
  std::vector<Bench_Triangle> tris;
  tris.reserve(n);
  // The jitter is at most half a leg, and the corner keeps a half leg of margin to every window
  // edge, so the legs (pointing towards the centre) never leave the window.
  const uint32_t jx = sx16 / 2, jy = sy16 / 2;
  const auto sx = static_cast<int32_t>(sx16), sy = static_cast<int32_t>(sy16);
  for (uint32_t k = 0; k < n; ++k) {
    const auto x0 = static_cast<int32_t>(jx + rng.rnd(kW16 - 2 * jx + 1));
    const auto y0 = static_cast<int32_t>(jy + rng.rnd(kH16 - 2 * jy + 1));
    const int32_t j1 = static_cast<int32_t>(rng.rnd(2 * jy + 1)) - static_cast<int32_t>(jy);
    const int32_t j2 = static_cast<int32_t>(rng.rnd(2 * jx + 1)) - static_cast<int32_t>(jx);
    const int32_t dx = x0 < static_cast<int32_t>(kW16 / 2) ? 1 : -1;
    const int32_t dy = y0 < static_cast<int32_t>(kH16 / 2) ? 1 : -1;
    const int32_t xs[3] = {x0, x0 + dx * sx, x0 + dx * j2};
    const int32_t ys[3] = {y0, y0 + dy * j1, y0 + dy * sy};
    uint32_t z[3];
    for (auto& zi : z) zi = rng.rnd(65536);
    Bench_Triangle t;
    for (int i = 0; i < 3; ++i) t.v[i] = vertex16(xs[i], ys[i], z[i], rng.next());
    tris.push_back(t);
  }
  return tris;
}

std::vector<Bench_Vertex> gen_strip(uint32_t ntri) {
  Xorshift32 rng;
  std::vector<Bench_Vertex> verts;
  verts.reserve(ntri + 2);
  for (uint32_t k = 0; k < ntri + 2; ++k) {
    const uint32_t col = k / 2, side = k % 2, row = col / 200;
    uint32_t i = col % 200;
    if (row % 2 == 1) i = 199 - i; // boustrophedon: no jump back at the end of a row
    uint32_t band = row % 376;
    if (band >= 188) band = 375 - band; // ping-pong between bottom and top
    const int32_t jx = static_cast<int32_t>(rng.rnd(33)) - 16;
    const int32_t jy = static_cast<int32_t>(rng.rnd(33)) - 16;
    const int32_t x = static_cast<int32_t>(16 * 12 + i * 80) + jx;
    const int32_t y = static_cast<int32_t>(16 * 8 + band * 64 + side * 64) + jy;
    const uint32_t z = rng.rnd(65536);
    verts.push_back(vertex16(x, y, z, rng.next()));
  }
  return verts;
}

std::vector<Bench_Line> gen_lines(uint32_t n) {
  Xorshift32 rng;
  std::vector<Bench_Line> lines;
  lines.reserve(n);
  for (uint32_t k = 0; k < n; ++k) {
    Bench_Line l;
    l.x0 = 30 + static_cast<int32_t>(rng.rnd(kWidth - 60));
    l.y0 = 30 + static_cast<int32_t>(rng.rnd(kHeight - 60));
    l.x1 = l.x0 + static_cast<int32_t>(rng.rnd(61)) - 30;
    l.y1 = l.y0 + static_cast<int32_t>(rng.rnd(61)) - 30;
    l.z0 = static_cast<uint16_t>(rng.rnd(65536));
    l.z1 = static_cast<uint16_t>(rng.rnd(65536));
    l.color = colour_word(rng.next());
    lines.push_back(l);
  }
  return lines;
}

std::vector<Bench_Point> gen_points(uint32_t n) {
  Xorshift32 rng;
  std::vector<Bench_Point> points;
  points.reserve(n);
  for (uint32_t k = 0; k < n; ++k) {
    Bench_Point p;
    p.x = static_cast<int32_t>(rng.rnd(kWidth));
    p.y = static_cast<int32_t>(rng.rnd(kHeight));
    p.z = static_cast<uint16_t>(rng.rnd(65536));
    p.color = colour_word(rng.next());
    points.push_back(p);
  }
  return points;
}

std::vector<uint32_t> gen_texture() {
  Xorshift32 rng;
  std::vector<uint32_t> texels(kTextureSide * kTextureSide);
  // The raw value is taken as the BGRA word itself, made opaque.
  for (auto& t : texels) t = rng.next() | 0xFF000000u;
  return texels;
}

std::vector<Bench_Image_Pos> gen_image_positions(int side, uint32_t count) {
  Xorshift32 rng;
  std::vector<Bench_Image_Pos> pos;
  pos.reserve(count);
  for (uint32_t k = 0; k < count; ++k) {
    const auto x = static_cast<int32_t>(rng.rnd(static_cast<uint32_t>(kWidth - side + 1)));
    const auto y = static_cast<int32_t>(rng.rnd(static_cast<uint32_t>(kHeight - side + 1)));
    pos.push_back({x, y});
  }
  return pos;
}

std::vector<Bench_Vertex> line_vertices(std::span<const Bench_Line> lines) {
  std::vector<Bench_Vertex> v;
  v.reserve(lines.size() * 2);
  for (const auto& l : lines) {
    v.push_back({static_cast<float>(l.x0) + 0.5f, static_cast<float>(l.y0) + 0.5f,
                 static_cast<float>(l.z0), l.color});
    v.push_back({static_cast<float>(l.x1) + 0.5f, static_cast<float>(l.y1) + 0.5f,
                 static_cast<float>(l.z1), l.color});
  }
  return v;
}

std::vector<Bench_Vertex> point_vertices(std::span<const Bench_Point> points) {
  std::vector<Bench_Vertex> v;
  v.reserve(points.size());
  for (const auto& p : points)
    v.push_back({static_cast<float>(p.x) + 0.5f, static_cast<float>(p.y) + 0.5f,
                 static_cast<float>(p.z), p.color});
  return v;
}

std::vector<Bench_Texcoord> texcoords_for(std::span<const Bench_Vertex> vertices) {
  std::vector<Bench_Texcoord> tc;
  tc.reserve(vertices.size());
  for (const auto& v : vertices) tc.push_back({v.x / kTextureSide, v.y / kTextureSide});
  return tc;
}

double triangle_area(const Bench_Triangle& t) {
  return static_cast<double>(std::llabs(cross16(t.v[0], t.v[1], t.v[2]))) / 512.0;
}

double total_area(std::span<const Bench_Triangle> tris) {
  int64_t twice = 0;
  for (const auto& t : tris) twice += std::llabs(cross16(t.v[0], t.v[1], t.v[2]));
  return static_cast<double>(twice) / 512.0;
}

double strip_area(std::span<const Bench_Vertex> strip) {
  int64_t twice = 0;
  for (size_t k = 0; k + 2 < strip.size(); ++k)
    twice += std::llabs(cross16(strip[k], strip[k + 1], strip[k + 2]));
  return static_cast<double>(twice) / 512.0;
}

uint32_t nominal_pixels(const Bench_Line& l) {
  return static_cast<uint32_t>(std::max(std::abs(l.x1 - l.x0), std::abs(l.y1 - l.y0)));
}

// --- Catalogue --------------------------------------------------------------------------------

namespace {

using D = Bench_Data;
using W = Bench_Draw;

// clang-format off
constexpr Workload_Def kDefs[] = {
    // name                    data         draw                  depth  flat   tex    count
    {"T_small_flat",          D::small,    W::batch,             true,  true,  false, 200'000},
    {"T_small_gouraud",       D::small,    W::batch,             true,  false, false, 200'000},
    {"T_small_flat_nodepth",  D::small,    W::batch,             false, true,  false, 200'000},
    {"T_medium_gouraud",      D::medium,   W::batch,             true,  false, false, 50'000},
    {"T_large_flat",          D::large,    W::batch,             true,  true,  false, 500},
    {"T_large_gouraud",       D::large,    W::batch,             true,  false, false, 500},
    {"T_large_flat_nodepth",  D::large,    W::batch,             false, true,  false, 500},
    {"T_strip",               D::strip,    W::batch,             true,  false, false, 200'000},
    {"L_lines",               D::lines,    W::batch,             true,  true,  false, 200'000},
    {"P_points",              D::points,   W::batch,             true,  true,  false, 500'000},
    {"X_medium_tex",          D::medium,   W::batch,             true,  false, true,  50'000},
    {"X_large_tex",           D::large,    W::batch,             true,  false, true,  500},
    {"X_calls_1tri",          D::small,    W::call_per_triangle, true,  true,  false, 20'000},
    {"X_image64_drawpixels",  D::image64,  W::draw_pixels,       false, false, false, 2'000},
    {"X_image256_drawpixels", D::image256, W::draw_pixels,       false, false, false, 100},
    {"X_flush_1point",        D::points,   W::flush_per_point,   true,  true,  false, 200},
    {"C_clear",               D::none,     W::clear,             false, false, false, 100},
};
// clang-format on

} // namespace

std::span<const Workload_Def> workload_defs() {
  return kDefs;
}

const Workload_Def* find_workload(std::string_view name) {
  for (const auto& d : kDefs)
    if (d.name == name) return &d;
  return nullptr;
}

std::vector<std::string> split_names(std::string_view list) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= list.size()) {
    const size_t comma = std::min(list.find(',', start), list.size());
    if (comma > start) out.emplace_back(list.substr(start, comma - start));
    start = comma + 1;
  }
  return out;
}

int image_side(Bench_Data set) {
  return set == Bench_Data::image256 ? 256 : 64;
}

std::span<const Bench_Triangle> Workload_Data::small() {
  if (small_.empty()) small_ = gen_tris(kSmallSet);
  return small_;
}
std::span<const Bench_Triangle> Workload_Data::medium() {
  if (medium_.empty()) medium_ = gen_tris(kMediumSet);
  return medium_;
}
std::span<const Bench_Triangle> Workload_Data::large() {
  if (large_.empty()) large_ = gen_tris(kLargeSet);
  return large_;
}
std::span<const Bench_Triangle> Workload_Data::tris(Bench_Data set) {
  switch (set) {
  case Bench_Data::small:
    return small();
  case Bench_Data::medium:
    return medium();
  case Bench_Data::large:
    return large();
  default:
    return {};
  }
}
std::span<const Bench_Vertex> Workload_Data::strip() {
  if (strip_.empty()) strip_ = gen_strip();
  return strip_;
}
std::span<const Bench_Line> Workload_Data::lines() {
  if (lines_.empty()) lines_ = gen_lines();
  return lines_;
}
std::span<const Bench_Point> Workload_Data::points() {
  if (points_.empty()) points_ = gen_points();
  return points_;
}
std::span<const uint32_t> Workload_Data::texture() {
  if (texture_.empty()) texture_ = gen_texture();
  return texture_;
}
std::span<const Bench_Image_Pos> Workload_Data::image_positions(Bench_Data set) {
  auto& v = set == Bench_Data::image256 ? image256_ : image64_;
  if (v.empty()) {
    const auto* def = find_workload(set == Bench_Data::image256 ? "X_image256_drawpixels"
                                                                : "X_image64_drawpixels");
    v = gen_image_positions(image_side(set), def->count);
  }
  return v;
}

} // namespace zdi::bench
