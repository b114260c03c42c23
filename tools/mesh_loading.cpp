#include <algorithm>
#include <cctype>
#include <fstream>

#include "tools/mesh_loading.h"

namespace {
std::string lower_extension(const std::string& path) {
  std::size_t dot = path.find_last_of('.');
  std::size_t slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string e = path.substr(dot + 1);
  std::transform(e.begin(), e.end(), e.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return e;
}
}  // namespace

Mesh load_mesh(const std::string& path) {
  if (!std::ifstream(path)) throw Mesh_Error("cannot open " + path);
  const std::string e = lower_extension(path);
  if (e == "obj") return load_obj(path);
  if (e == "stl") return load_stl(path);
  throw Mesh_Error(path + ": unknown mesh format (give a .obj or .stl file)");
}
