#include <cmath>
#include <map>
#include <numbers>
#include <utility>

#include "tools/shapes.h"

namespace {
constexpr float pi = std::numbers::pi_v<float>;

uint32_t grid_index(int ring, int side, int rings, int sides) {
  return uint32_t((ring % rings) * sides + (side % sides));
}
}  // namespace

Mesh make_torus(float major, float minor, int rings, int sides) {
  Mesh m;
  for (int r = 0; r < rings; ++r)
    for (int s = 0; s < sides; ++s) {
      const float u = 2 * pi * float(r) / float(rings), v = 2 * pi * float(s) / float(sides);
      const float ring = major + minor * std::cos(v);
      m.positions.push_back({ring * std::cos(u), minor * std::sin(v), ring * std::sin(u)});
    }
  for (int r = 0; r < rings; ++r)
    for (int s = 0; s < sides; ++s) {
      const uint32_t a = grid_index(r, s, rings, sides), b = grid_index(r + 1, s, rings, sides),
                     c = grid_index(r + 1, s + 1, rings, sides),
                     d = grid_index(r, s + 1, rings, sides);
      m.triangles.push_back({a, d, c});
      m.triangles.push_back({a, c, b});
    }
  m.compute_normals();
  return m;
}

Mesh make_icosphere(float radius, int subdivisions) {
  const float t = (1 + std::sqrt(5.0f)) / 2;
  Mesh m;
  m.positions = {{-1, t, 0}, {1, t, 0}, {-1, -t, 0}, {1, -t, 0}, {0, -1, t}, {0, 1, t},
                 {0, -1, -t}, {0, 1, -t}, {t, 0, -1}, {t, 0, 1}, {-t, 0, -1}, {-t, 0, 1}};
  m.triangles = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                 {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                 {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                 {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
  for (Vec3& p : m.positions) p = normalized(p);
  for (int level = 0; level < subdivisions; ++level) {
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> middle;
    auto middle_of = [&](uint32_t a, uint32_t b) {
      auto key = std::make_pair(std::min(a, b), std::max(a, b));
      auto [it, added] = middle.try_emplace(key, uint32_t(m.positions.size()));
      if (added) m.positions.push_back(normalized((m.positions[a] + m.positions[b]) * 0.5f));
      return it->second;
    };
    std::vector<std::array<uint32_t, 3>> finer;
    for (const auto& f : m.triangles) {
      const uint32_t ab = middle_of(f[0], f[1]), bc = middle_of(f[1], f[2]),
                     ca = middle_of(f[2], f[0]);
      finer.push_back({f[0], ab, ca});
      finer.push_back({f[1], bc, ab});
      finer.push_back({f[2], ca, bc});
      finer.push_back({ab, bc, ca});
    }
    m.triangles = std::move(finer);
  }
  for (Vec3& p : m.positions) p = p * radius;
  m.compute_normals();
  return m;
}

Mesh make_cube(float h) {
  Mesh m;
  // Four vertices per face so that each face keeps its own normal.
  const Vec3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  for (const Vec3& n : normals) {
    const Vec3 u = std::fabs(n.y) > 0 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
    const Vec3 v = cross(n, u);
    const uint32_t base = uint32_t(m.positions.size());
    for (Vec3 corner : {u * -1.0f + v * -1.0f, u + v * -1.0f, u + v, u * -1.0f + v})
      m.positions.push_back((n + corner) * h);
    m.triangles.push_back({base, base + 1, base + 2});
    m.triangles.push_back({base, base + 2, base + 3});
  }
  m.compute_normals();
  return m;
}

Mesh make_octahedron(float r) {
  Mesh m;
  m.positions = {{r, 0, 0}, {-r, 0, 0}, {0, r, 0}, {0, -r, 0}, {0, 0, r}, {0, 0, -r}};
  m.triangles = {{0, 2, 4}, {4, 2, 1}, {1, 2, 5}, {5, 2, 0},
                 {4, 3, 0}, {1, 3, 4}, {5, 3, 1}, {0, 3, 5}};
  m.compute_normals();
  return m;
}

void project_texcoords(Mesh& mesh, float scale) {
  mesh.texcoords.clear();
  for (const auto& t : mesh.triangles) {
    const Vec3 n = mesh.face_normal(t);
    const float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    std::array<Texcoord, 3> uv;
    for (std::size_t k = 0; k < 3; ++k) {
      const Vec3 p = mesh.positions[t[k]];
      if (ax >= ay && ax >= az) uv[k] = {p.z * scale, p.y * scale};
      else if (ay >= az) uv[k] = {p.x * scale, p.z * scale};
      else uv[k] = {p.x * scale, p.y * scale};
    }
    mesh.texcoords.push_back(uv);
  }
}
