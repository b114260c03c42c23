// Wavefront OBJ: the vertex positions ("v x y z", further numbers ignored) and
// the faces ("f" with one vertex reference per corner, "v", "v/vt", "v//vn" or
// "v/vt/vn"; a negative reference counts back from the last vertex read).
// Faces of more than three corners are fans around their first corner; faces
// of fewer are not surfaces and are skipped, as are all other statements.  A
// word that is not a number, a NaN, a reference of 0 or beyond the vertices
// fails with the file, the line and the reason.
#include <charconv>
#include <fstream>

#include "tools/mesh_loading.h"
#include "tools/mesh_text.h"

namespace {

struct Corner_Reference {
  int64_t vertex;     // resolved, 0-based; checked against the vertices at the end
  std::size_t line;
};

// The vertex of a corner word; the texture and normal references after it must
// be whole numbers too (or empty), though the mesh does not use them.
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

}  // namespace

Mesh load_obj(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Mesh_Error("cannot open " + path);
  Mesh mesh;
  std::vector<Corner_Reference> corners;  // three per triangle
  std::string text;
  std::size_t line = 0;
  while (std::getline(in, text)) {
    ++line;
    std::vector<std::string_view> words;
    for_each_word(text, [&](std::string_view w) { words.push_back(w); });
    if (words.empty()) continue;
    if (words[0] == "v") {
      if (words.size() < 4) throw mesh_error(path, line, "a vertex needs three coordinates");
      float c[3];
      for (int k = 0; k < 3; ++k)
        if (std::string why = read_coordinate(words[std::size_t(k) + 1], c[k]); !why.empty())
          throw mesh_error(path, line, why);
      mesh.positions.push_back({c[0], c[1], c[2]});
    } else if (words[0] == "f" && words.size() >= 4) {
      const int64_t so_far = int64_t(mesh.positions.size());
      const int64_t first = corner_vertex(words[1], so_far, path, line);
      int64_t previous = corner_vertex(words[2], so_far, path, line);
      for (std::size_t k = 3; k < words.size(); ++k) {
        const int64_t next = corner_vertex(words[k], so_far, path, line);
        corners.insert(corners.end(), {{first, line}, {previous, line}, {next, line}});
        previous = next;
        if (corners.size() / 3 > largest_mesh_triangles)
          throw Mesh_Error(path + ": more than " + std::to_string(largest_mesh_triangles) +
                           " triangles; the demo does not draw meshes this large");
      }
    }
  }
  const int64_t vertices = int64_t(mesh.positions.size());
  for (std::size_t i = 0; i < corners.size(); i += 3) {
    std::array<uint32_t, 3> t{};
    for (std::size_t k = 0; k < 3; ++k) {
      const Corner_Reference& c = corners[i + k];
      if (c.vertex < 0 || c.vertex >= vertices)
        throw mesh_error(path, c.line, "a face refers to a vertex that does not exist");
      t[k] = uint32_t(c.vertex);
    }
    mesh.triangles.push_back(t);
  }
  return mesh;
}
