#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "tools/mesh.h"

Vec3 Mesh::face_normal(const std::array<uint32_t, 3>& t) const {
  const Vec3 a = positions[t[0]], b = positions[t[1]], c = positions[t[2]];
  return cross(b - a, c - a);
}

void Mesh::compute_normals() {
  normals.assign(positions.size(), Vec3{});
  for (const auto& t : triangles) {
    Vec3 n = face_normal(t);  // its length is twice the area: area weighting
    if (!std::isfinite(n.x) || !std::isfinite(n.y) || !std::isfinite(n.z)) continue;
    for (uint32_t i : t) normals[i] = normals[i] + n;
  }
  for (Vec3& n : normals) n = length(n) > 0 ? normalized(n) : Vec3{0, 0, 1};
}

float Mesh_Bounds::radius() const { return length(high - low) * 0.5f; }

Mesh_Bounds bounds_of(const Mesh& mesh) {
  Mesh_Bounds b;
  bool first = true;
  for (const auto& t : mesh.triangles)
    for (uint32_t i : t) {
      const Vec3 p = mesh.positions[i];
      if (first) b.low = b.high = p;
      b.low = {std::min(b.low.x, p.x), std::min(b.low.y, p.y), std::min(b.low.z, p.z)};
      b.high = {std::max(b.high.x, p.x), std::max(b.high.y, p.y), std::max(b.high.z, p.z)};
      first = false;
    }
  return b;
}

Mesh_Report prepare_mesh(Mesh& mesh, const std::string& name) {
  Mesh_Report report;
  auto finite = [](Vec3 p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); };
  std::vector<std::array<uint32_t, 3>> kept;
  std::vector<std::array<Texcoord, 3>> kept_texcoords;
  kept.reserve(mesh.triangles.size());
  const bool textured = mesh.texcoords.size() == mesh.triangles.size();
  std::map<std::pair<uint32_t, uint32_t>, uint32_t> edge_uses;
  for (const auto& t : mesh.triangles) {
    for (uint32_t i : t)
      if (i >= mesh.positions.size())
        throw Mesh_Error(name + ": a face refers to vertex " + std::to_string(i + 1) +
                         " but there are only " + std::to_string(mesh.positions.size()));
    if (!finite(mesh.positions[t[0]]) || !finite(mesh.positions[t[1]]) ||
        !finite(mesh.positions[t[2]])) {
      ++report.non_finite_faces;
      continue;
    }
    if (t[0] == t[1] || t[1] == t[2] || t[0] == t[2] || length(mesh.face_normal(t)) == 0)
      ++report.degenerate_faces;
    for (int e = 0; e < 3; ++e) {
      uint32_t a = t[std::size_t(e)], b = t[std::size_t((e + 1) % 3)];
      if (a != b) ++edge_uses[{std::min(a, b), std::max(a, b)}];
    }
    if (textured) kept_texcoords.push_back(mesh.texcoords[std::size_t(&t - mesh.triangles.data())]);
    kept.push_back(t);
  }
  for (const auto& [edge, uses] : edge_uses)
    if (uses > 2) ++report.non_manifold_edges;
  mesh.triangles = std::move(kept);
  mesh.texcoords = std::move(kept_texcoords);
  if (mesh.triangles.empty())
    throw Mesh_Error(name + ": the mesh has no faces to draw" +
                     (report.non_finite_faces ? " (every face has a coordinate that is not a "
                                                "finite number)"
                                              : ""));
  const Mesh_Bounds b = bounds_of(mesh);
  if (!std::isfinite(b.radius()))
    throw Mesh_Error(name + ": the mesh is too large to frame (its extent overflows a float)");
  if (!(b.radius() > 0))
    throw Mesh_Error(name + ": the mesh has no extent (all its vertices coincide)");
  mesh.compute_normals();
  return report;
}
