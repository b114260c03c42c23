// A triangle mesh as the demo draws it: positions and triangles by index, with
// per-vertex normals derived from the faces.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/matrix.h"

// A mesh that cannot be read or drawn; the message says why.
struct Mesh_Error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Texture coordinates (u, v): 0 to 1 across an image, v growing upward.
using Texcoord = std::array<float, 2>;

struct Mesh {
  std::vector<Vec3> positions;
  std::vector<std::array<uint32_t, 3>> triangles;
  std::vector<Vec3> normals;  // one per position, after compute_normals
  // Texture coordinates of each triangle's corners, parallel to triangles;
  // empty when the mesh has none.
  std::vector<std::array<Texcoord, 3>> texcoords;
  // An image the mesh's material names for its surface (an OBJ's map_Kd), or empty.
  std::string texture_path;

  // Area-weighted vertex normals.  Degenerate faces add nothing; a vertex of
  // degenerate faces only gets (0, 0, 1).
  void compute_normals();
  Vec3 face_normal(const std::array<uint32_t, 3>& t) const;  // zero for a degenerate face
};

struct Mesh_Bounds {
  Vec3 low, high;
  Vec3 center() const { return (low + high) * 0.5f; }
  float radius() const;  // half the diagonal
};
Mesh_Bounds bounds_of(const Mesh& mesh);

// What a loader found wrong but could carry on with.
struct Mesh_Report {
  std::size_t degenerate_faces = 0;    // repeated vertices or zero area: kept, draw nothing
  std::size_t non_finite_faces = 0;    // a coordinate NaN or infinite: dropped
  std::size_t non_manifold_edges = 0;  // shared by more than two faces: kept, drawn two-sided
};

// Drops faces with non-finite coordinates, counts the others, computes normals.
// Throws Mesh_Error when nothing drawable remains.
Mesh_Report prepare_mesh(Mesh& mesh, const std::string& name);
