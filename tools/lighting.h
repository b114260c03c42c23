// Per-vertex lighting on the host side: ambient light plus directional lights,
// diffuse and Blinn-Phong specular, evaluated where the vertex lies.
#pragma once

#include <vector>

#include "tools/matrix.h"
#include "host/zarnik11.h"

struct Directional_Light {
  Vec3 towards;  // unit vector from the surface towards the light
  Vec3 color;    // 0..1 per channel
};

struct Lighting {
  Vec3 ambient{0.18f, 0.18f, 0.22f};
  std::vector<Directional_Light> lights;
  Vec3 eye;  // viewer position, world space

  // A key light from the upper left, a cool fill from the right and a rim from behind.
  static Lighting studio(Vec3 eye);
};

struct Material {
  Vec3 color{0.8f, 0.8f, 0.8f};  // 0..1
  float alpha = 1;               // 1 opaque
  float specular = 0.35f;
  float shininess = 32;
};

// The colour of a surface point.  Surfaces are lit from the side the eye sees:
// a normal pointing away from the eye is turned round (open and non-manifold
// meshes show both sides of their faces).
ZT_RGB32 shade(const Lighting& lighting, const Material& material, Vec3 position, Vec3 normal);

// A colour of 0..1 channels and an alpha as a ZT_RGB32 (rounded, clamped).
ZT_RGB32 to_rgb32(Vec3 color, float alpha);
