#include <algorithm>
#include <cmath>

#include "tools/lighting.h"

Lighting Lighting::studio(Vec3 eye) {
  Lighting l;
  l.eye = eye;
  l.lights = {{normalized({-0.5f, 0.8f, 0.6f}), {0.85f, 0.82f, 0.75f}},
              {normalized({0.8f, 0.2f, 0.4f}), {0.25f, 0.3f, 0.4f}},
              {normalized({0.0f, 0.4f, -1.0f}), {0.3f, 0.3f, 0.35f}}};
  return l;
}

ZT_RGB32 to_rgb32(Vec3 c, float alpha) {
  auto byte = [](float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
  return ZT_RGB32(byte(c.x), byte(c.y), byte(c.z), byte(alpha));
}

ZT_RGB32 shade(const Lighting& lighting, const Material& m, Vec3 position, Vec3 normal) {
  const Vec3 to_eye = normalized(lighting.eye - position);
  Vec3 n = normalized(normal);
  if (dot(n, to_eye) < 0) n = n * -1.0f;
  Vec3 diffuse = lighting.ambient;
  Vec3 highlight{};
  for (const Directional_Light& light : lighting.lights) {
    const float d = dot(n, light.towards);
    if (d <= 0) continue;
    diffuse = diffuse + light.color * d;
    const Vec3 half = normalized(light.towards + to_eye);
    highlight = highlight + light.color * (m.specular * std::pow(std::max(dot(n, half), 0.0f),
                                                                 m.shininess));
  }
  return to_rgb32(m.color * diffuse + highlight, m.alpha);
}
