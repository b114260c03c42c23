// Wavefront OBJ: checked line by line first, so that every fault names the
// file, the line and the reason (tinyobjloader reads "nan" and words that are
// no numbers as 0, and wraps references beyond 64 bits); then read through
// tinyobjloader, with the texture coordinates and the first material's
// texture image.
#include <tiny_obj_loader.h>

#include <charconv>
#include <fstream>

#include "tools/mesh_loading.h"
#include "tools/mesh_text.h"

namespace {

// A corner word ("v", "v/vt", "v//vn" or "v/vt/vn"): every reference a whole
// number, the vertex one not 0; the vertex reference, resolved (0-based;
// negative counts back from the vertices read so far).
int64_t corner_vertex(std::string_view word, int64_t vertices_so_far, const std::string& path,
                      std::size_t line) {
  auto whole = [&](std::string_view part, bool may_be_empty) -> int64_t {
    if (part.empty() && may_be_empty) return 0;
    int64_t v = 0;
    const auto [stop, error] = std::from_chars(part.data(), part.data() + part.size(), v);
    if (error == std::errc::result_out_of_range)
      throw mesh_error(path, line, "the reference \"" + std::string(part) + "\" is out of range");
    if (part.empty() || error != std::errc() || stop != part.data() + part.size())
      throw mesh_error(path, line, "\"" + std::string(word) + "\" is not a vertex reference");
    return v;
  };
  const std::size_t slash = word.find('/');
  const int64_t v = whole(word.substr(0, slash), false);
  if (slash != std::string_view::npos) {
    const std::string_view rest = word.substr(slash + 1);
    const std::size_t second = rest.find('/');
    whole(rest.substr(0, second), true);
    if (second != std::string_view::npos) whole(rest.substr(second + 1), true);
  }
  if (v == 0) throw mesh_error(path, line, "vertex references start at 1, not 0");
  return v > 0 ? v - 1 : vertices_so_far + v;
}

// Vertices ("v") and texture coordinates ("vt") must be numbers, not NaN;
// faces must refer to vertices that exist.
void check_obj_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Mesh_Error("cannot open " + path);
  struct Reference {
    int64_t vertex;
    std::size_t line;
  };
  std::vector<Reference> references;
  int64_t vertices = 0;
  for_each_line_of_words(in, [&](const std::vector<std::string_view>& words, std::size_t line) {
    const bool position = words[0] == "v", texcoord = words[0] == "vt";
    if (position || texcoord) {
      const std::size_t needed = position ? 3 : 1;
      if (words.size() < needed + 1)
        throw mesh_error(path, line, position ? "a vertex needs three coordinates"
                                              : "a texture coordinate needs a number");
      for (std::size_t k = 1; k <= std::min<std::size_t>(words.size() - 1, 3); ++k) {
        float c;
        if (std::string why = read_coordinate(words[k], c); !why.empty())
          throw mesh_error(path, line, why);
      }
      if (position) ++vertices;
    } else if (words[0] == "f") {
      for (std::size_t k = 1; k < words.size(); ++k)
        references.push_back({corner_vertex(words[k], vertices, path, line), line});
    }
  });
  for (const Reference& r : references)
    if (r.vertex < 0 || r.vertex >= vertices)
      throw mesh_error(path, r.line, "a face refers to a vertex that does not exist");
}

}  // namespace

Mesh load_obj(const std::string& path) {
  check_obj_text(path);
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
