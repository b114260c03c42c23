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

Vec4 Viewport::clip_point(const Mat4& model, Vec3 world) const {
  const Vec3 p = transform_point(model, world);
  return view_projection_ * Vec4{p.x, p.y, p.z, 1};
}

ZT_Point_D Viewport::device_of(Vec4 clip) const {
  const double w = clip.w;
  const double x = clip.x / w, y = clip.y / w, z = clip.z / w;
  return {origin_.x + (x * 0.5 + 0.5) * width_, origin_.y + (y * 0.5 + 0.5) * height_,
          std::clamp((z * 0.5 + 0.5) * 65535.0, 0.0, 65535.0)};
}

std::optional<ZT_Point_D> Viewport::device_point(const Mat4& model, Vec3 world) const {
  const Vec4 clip = clip_point(model, world);
  if (!(clip.w > camera_.near * 0.5f)) return std::nullopt;
  const ZT_Point_D d = device_of(clip);
  if (!std::isfinite(d.x) || !std::isfinite(d.y)) return std::nullopt;
  return d;
}

std::optional<ZT_Point> Viewport::device(const Mat4& model, Vec3 world) const {
  const auto d = device_point(model, world);
  if (!d) return std::nullopt;
  return to_float(*d);
}

ZT_Point to_float(const ZT_Point_D& p) { return {float(p.x), float(p.y), float(p.z)}; }

ZT_Int_Rectangle Viewport::guard() const {
  return {window_.left - guard_band, window_.right + guard_band, window_.bottom - guard_band,
          window_.top + guard_band};
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
