// Procedural meshes for the default scene.
#pragma once

#include "tools/mesh.h"

// A torus around the y axis: ring radius major, tube radius minor.
Mesh make_torus(float major, float minor, int rings, int sides);
// A sphere from a subdivided icosahedron (subdivisions 0 gives 20 faces).
Mesh make_icosphere(float radius, int subdivisions);
// An axis-aligned cube of edge 2 × half centred at the origin.
Mesh make_cube(float half);
// An octahedron with vertices at ± radius on each axis.
Mesh make_octahedron(float radius);

// Texture coordinates by projection along each face's main axis: the face's
// two other coordinates times scale.  For boxes and meshes that have none.
void project_texcoords(Mesh& mesh, float scale);
