#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/viewport.h"

Viewport::Viewport(const Camera& camera, int32_t width, int32_t height, ZT_Int_Point origin)
    : camera_(camera), width_(width), height_(height), origin_(origin),
      window_{origin.x, origin.x + width - 1, origin.y, origin.y + height - 1} {
  const float aspect = height > 0 ? float(width) / float(height) : 1.0f;
  view_projection_ =
      Mat4::perspective(camera.fov_y_degrees * std::numbers::pi_v<float> / 180, aspect,
                        camera.near, camera.far) *
      Mat4::look_at(camera.eye, camera.target, camera.up);
}

std::optional<ZT_Point> Viewport::device(const Mat4& model, Vec3 world) const {
  const Vec3 p = transform_point(model, world);
  const Vec4 clip = view_projection_ * Vec4{p.x, p.y, p.z, 1};
  if (!(clip.w > camera_.near * 0.5f)) return std::nullopt;
  const float x = clip.x / clip.w, y = clip.y / clip.w, z = clip.z / clip.w;
  ZT_Point d;
  d.x = float(origin_.x) + (x * 0.5f + 0.5f) * float(width_);
  d.y = float(origin_.y) + (y * 0.5f + 0.5f) * float(height_);
  d.z = std::clamp((z * 0.5f + 0.5f) * 65535.0f, 0.0f, 65535.0f);
  if (!std::isfinite(d.x) || !std::isfinite(d.y)) return std::nullopt;
  return d;
}

ZT_DCI_Point rounded(const ZT_Point& p) {
  auto r = [](float v) {
    return int32_t(std::clamp(std::round(double(v)), -2147483648.0, 2147483647.0));
  };
  return {r(p.x), r(p.y), r(p.z)};
}

bool Viewport::inside(const ZT_Point* points, int32_t count) const {
  for (int32_t i = 0; i < count; ++i) {
    const ZT_DCI_Point p = rounded(points[i]);
    if (p.x < window_.left || p.x > window_.right || p.y < window_.bottom || p.y > window_.top)
      return false;
  }
  return true;
}

Camera orbit_camera(Vec3 target, float distance, float yaw_degrees, float pitch_degrees) {
  const float to_radians = std::numbers::pi_v<float> / 180;
  const float yaw = yaw_degrees * to_radians;
  const float pitch = std::clamp(pitch_degrees, -89.0f, 89.0f) * to_radians;
  Camera c;
  c.target = target;
  c.eye = target + Vec3{std::cos(pitch) * std::sin(yaw), std::sin(pitch),
                        std::cos(pitch) * std::cos(yaw)} *
                       distance;
  c.near = std::max(distance * 0.01f, 1e-4f);
  c.far = distance * 4 + 1;
  return c;
}
