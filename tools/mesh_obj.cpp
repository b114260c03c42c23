// Wavefront OBJ through tinyobjloader.
#include <tiny_obj_loader.h>

#include "tools/mesh_loading.h"

Mesh load_obj(const std::string& path) {
  tinyobj::ObjReaderConfig config;
  config.triangulate = true;
  config.vertex_color = false;
  // Materials are read for their texture image only; a missing .mtl file is no error.
  const std::size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  config.mtl_search_path = folder.empty() ? "./" : folder;
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
  // Texture coordinates per face corner, when the file has any; a corner
  // without one takes (0, 0).
  const std::size_t texcoord_count = attrib.texcoords.size() / 2;
  const bool textured = texcoord_count > 0;
  for (const tinyobj::shape_t& shape : reader.GetShapes()) {
    const auto& indices = shape.mesh.indices;
    std::size_t first = 0;
    for (unsigned char n : shape.mesh.num_face_vertices) {
      // Triangulation leaves faces of 3; lines or points given as faces are skipped.
      if (n == 3 && first + 3 <= indices.size()) {
        std::array<uint32_t, 3> t{};
        std::array<Texcoord, 3> uv{};
        bool valid = true;
        for (int k = 0; k < 3; ++k) {
          const tinyobj::index_t& index = indices[first + std::size_t(k)];
          int v = index.vertex_index;
          valid &= v >= 0 && std::size_t(v) < vertices;
          t[std::size_t(k)] = uint32_t(v);
          const int c = index.texcoord_index;
          if (c >= 0 && std::size_t(c) < texcoord_count)
            uv[std::size_t(k)] = {attrib.texcoords[2 * std::size_t(c)],
                                  attrib.texcoords[2 * std::size_t(c) + 1]};
        }
        if (!valid) throw Mesh_Error(path + ": a face refers to a vertex that does not exist");
        mesh.triangles.push_back(t);
        if (textured) mesh.texcoords.push_back(uv);
        if (mesh.triangles.size() > largest_mesh_triangles)
          throw Mesh_Error(path + ": more than " + std::to_string(largest_mesh_triangles) +
                           " triangles; the demo does not draw meshes this large");
      }
      first += n;
    }
  }
  // The first material that names a diffuse texture gives the mesh its image.
  for (const tinyobj::material_t& m : reader.GetMaterials())
    if (!m.diffuse_texname.empty()) {
      mesh.texture_path = m.diffuse_texname[0] == '/' ? m.diffuse_texname : folder + m.diffuse_texname;
      break;
    }
  return mesh;
}
