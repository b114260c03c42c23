// STL, binary and ASCII.  A binary file is an 80-byte header, a 32-bit triangle
// count and 50 bytes per triangle (normal, three vertices, attribute word); an
// ASCII file starts with "solid" and lists "vertex x y z" lines in threes.  Some
// binary files also start with "solid", so the size decides: a file whose size
// is exactly 84 + 50 × count is binary.
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

#include "tools/mesh_loading.h"
#include "tools/mesh_text.h"

namespace {

// STL repeats every vertex per face; shared positions are merged so that
// vertex normals smooth across faces.  Positions are ordered as keys, so no
// NaN may reach the merger: the readers refuse NaN coordinates first.
class Vertex_Merger {
public:
  explicit Vertex_Merger(Mesh& mesh) : mesh_(mesh) {}
  uint32_t index_of(Vec3 p) {
    auto key = std::make_tuple(p.x, p.y, p.z);
    auto [it, added] = indices_.try_emplace(key, uint32_t(mesh_.positions.size()));
    if (added) mesh_.positions.push_back(p);
    return it->second;
  }

private:
  Mesh& mesh_;
  std::map<std::tuple<float, float, float>, uint32_t> indices_;
};

void add_triangle(Mesh& mesh, Vertex_Merger& merger, const Vec3 (&v)[3], const std::string& path) {
  mesh.triangles.push_back({merger.index_of(v[0]), merger.index_of(v[1]), merger.index_of(v[2])});
  if (mesh.triangles.size() > largest_mesh_triangles)
    throw Mesh_Error(path + ": more than " + std::to_string(largest_mesh_triangles) +
                     " triangles; the demo does not draw meshes this large");
}

Mesh read_binary(const std::string& bytes, const std::string& path) {
  uint32_t count = 0;
  std::memcpy(&count, bytes.data() + 80, 4);
  Mesh mesh;
  Vertex_Merger merger(mesh);
  for (uint32_t i = 0; i < count; ++i) {
    const char* record = bytes.data() + 84 + std::size_t(i) * 50;
    float f[12];
    std::memcpy(f, record, sizeof f);
    for (int k = 3; k < 12; ++k)
      if (std::isnan(f[k]))
        throw Mesh_Error(path + ": facet " + std::to_string(i + 1) +
                         ": a vertex coordinate is not a number (NaN)");
    const Vec3 v[3] = {{f[3], f[4], f[5]}, {f[6], f[7], f[8]}, {f[9], f[10], f[11]}};
    add_triangle(mesh, merger, v, path);
  }
  return mesh;
}

Mesh read_ascii(const std::string& bytes, const std::string& path) {
  std::istringstream in(bytes);
  Mesh mesh;
  Vertex_Merger merger(mesh);
  Vec3 v[3];
  int have = 0;
  for_each_line_of_words(in, [&](const std::vector<std::string_view>& words, std::size_t line) {
    if (words[0] == "vertex") {
      if (words.size() < 4) throw mesh_error(path, line, "a vertex needs three numbers");
      float c[3];
      for (int k = 0; k < 3; ++k)
        if (std::string why = read_coordinate(words[std::size_t(k) + 1], c[k]); !why.empty())
          throw mesh_error(path, line, why);
      v[have] = {c[0], c[1], c[2]};
      if (++have == 3) {
        add_triangle(mesh, merger, v, path);
        have = 0;
      }
    } else if (words[0] == "endloop" && have != 0) {
      throw mesh_error(path, line, "a facet's loop has " + std::to_string(have) +
                                       " vertices; only triangles are STL facets");
    }
  });
  return mesh;
}

}  // namespace

Mesh load_stl(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Mesh_Error("cannot open " + path);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  const std::string bytes = buffer.str();
  if (bytes.size() >= 84) {
    uint32_t count = 0;
    std::memcpy(&count, bytes.data() + 80, 4);
    if (bytes.size() == 84 + uint64_t(count) * 50) return read_binary(bytes, path);
  }
  std::size_t start = bytes.find_first_not_of(" \t\r\n");
  if (start != std::string::npos && bytes.compare(start, 5, "solid") == 0)
    return read_ascii(bytes, path);
  if (bytes.empty()) return Mesh{};
  throw Mesh_Error(path + ": not an STL file (neither \"solid\" text nor a binary file whose "
                   "size matches its triangle count)");
}
