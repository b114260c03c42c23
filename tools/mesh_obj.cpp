// Wavefront OBJ through tinyobjloader.
#include <tiny_obj_loader.h>

#include "tools/mesh_loading.h"

Mesh load_obj(const std::string& path) {
  tinyobj::ObjReaderConfig config;
  config.triangulate = true;
  config.vertex_color = false;
  config.mtl_search_path = "";  // materials are not used; missing .mtl files are no error
  tinyobj::ObjReader reader;
  if (!reader.ParseFromFile(path, config)) {
    std::string why = reader.Error();
    while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
    throw Mesh_Error(path + ": not a readable OBJ file" + (why.empty() ? "" : ": " + why));
  }
  const tinyobj::attrib_t& attrib = reader.GetAttrib();
  Mesh mesh;
  const std::size_t vertices = attrib.vertices.size() / 3;
  mesh.positions.reserve(vertices);
  for (std::size_t i = 0; i < vertices; ++i)
    mesh.positions.push_back(
        {attrib.vertices[3 * i], attrib.vertices[3 * i + 1], attrib.vertices[3 * i + 2]});
  for (const tinyobj::shape_t& shape : reader.GetShapes()) {
    const auto& indices = shape.mesh.indices;
    std::size_t first = 0;
    for (unsigned char n : shape.mesh.num_face_vertices) {
      // Triangulation leaves faces of 3; lines or points given as faces are skipped.
      if (n == 3 && first + 3 <= indices.size()) {
        std::array<uint32_t, 3> t{};
        bool valid = true;
        for (int k = 0; k < 3; ++k) {
          int v = indices[first + std::size_t(k)].vertex_index;
          valid &= v >= 0 && std::size_t(v) < vertices;
          t[std::size_t(k)] = uint32_t(v);
        }
        if (!valid) throw Mesh_Error(path + ": a face refers to a vertex that does not exist");
        mesh.triangles.push_back(t);
        if (mesh.triangles.size() > largest_mesh_triangles)
          throw Mesh_Error(path + ": more than " + std::to_string(largest_mesh_triangles) +
                           " triangles; the demo does not draw meshes this large");
      }
      first += n;
    }
  }
  return mesh;
}
