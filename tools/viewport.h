// From world space to the renderer's device coordinates: model, view and
// projection on the host side, x and y in device pixels (y growing upward from
// the window's origin), depth mapped to 0 (near) .. 65535 (far).
#pragma once

#include <optional>

#include "tools/matrix.h"
#include "host/zarnik11.h"

struct Camera {
  Vec3 eye{0, 0, 5}, target{0, 0, 0}, up{0, 1, 0};
  float fov_y_degrees = 45, near = 0.1f, far = 100;
};

class Viewport {
public:
  Viewport(const Camera& camera, int32_t width, int32_t height, ZT_Int_Point origin);

  // The device point of a world point seen through model; none when it lies
  // behind the camera.
  std::optional<ZT_Point> device(const Mat4& model, Vec3 world) const;
  // The same in double precision.
  std::optional<ZT_Point_D> device_point(const Mat4& model, Vec3 world) const;
  // A world point in clip space (before the division by w), and a clip-space
  // point in front of the near plane (w >= camera().near) on the device.
  Vec4 clip_point(const Mat4& model, Vec3 world) const;
  ZT_Point_D device_of(Vec4 clip) const;

  const Camera& camera() const { return camera_; }
  // The window in device coordinates, as the hard-clip rectangle gives it.
  ZT_Int_Rectangle window() const { return window_; }
  // The whole buffer in buffer coordinates, as update takes it.
  ZT_Int_Rectangle buffer() const { return {0, width_ - 1, 0, height_ - 1}; }
  // True when every point rounds to a pixel of the window: the DC and DCI slots
  // take such points; others go to the 2D and 2DI slots, which clip.
  bool inside(const ZT_Point* points, int32_t count) const;
  // The window widened by guard_band pixels on every side.  Points within it
  // lie within the square where the renderer's integer actions draw without
  // cutting, seen from any window inside the picture, while the picture is
  // at most 4000 - guard_band pixels across.
  ZT_Int_Rectangle guard() const;
  static constexpr int32_t guard_band = 1024;

private:
  Camera camera_;
  Mat4 view_projection_;
  int32_t width_, height_;
  ZT_Int_Point origin_;
  ZT_Int_Rectangle window_;
};

// Device float to integer as the renderer rounds: halves away from zero.
ZT_DCI_Point rounded(const ZT_Point& p);
ZT_Point to_float(const ZT_Point_D& p);

// A camera on a sphere around target: yaw turns about the vertical axis, pitch
// raises the eye (degrees), distance from the target.
Camera orbit_camera(Vec3 target, float distance, float yaw_degrees, float pitch_degrees);
