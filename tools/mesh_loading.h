// Reading meshes from files: Wavefront OBJ and STL (ASCII and binary).
#pragma once

#include <string>

#include "tools/mesh.h"

// Faces are triangulated (polygons as fans).  Throws Mesh_Error with a readable
// message for files that cannot be read, are not meshes, or are too large.
Mesh load_mesh(const std::string& path);

Mesh load_obj(const std::string& path);
Mesh load_stl(const std::string& path);

// The most triangles a mesh may have: beyond this the demo refuses it rather
// than run out of memory.
inline constexpr std::size_t largest_mesh_triangles = 20'000'000;
