#include <cmath>

#include "tools/matrix.h"

float length(Vec3 v) { return std::sqrt(dot(v, v)); }

Vec3 normalized(Vec3 v) {
  float l = length(v);
  return l > 0 ? v * (1.0f / l) : v;
}

Mat4 Mat4::identity() {
  Mat4 r;
  for (int i = 0; i < 4; ++i) r.at(i, i) = 1;
  return r;
}

Mat4 Mat4::translation(Vec3 t) {
  Mat4 r = identity();
  r.at(0, 3) = t.x;
  r.at(1, 3) = t.y;
  r.at(2, 3) = t.z;
  return r;
}

Mat4 Mat4::scaling(Vec3 s) {
  Mat4 r = identity();
  r.at(0, 0) = s.x;
  r.at(1, 1) = s.y;
  r.at(2, 2) = s.z;
  return r;
}

namespace {
// Rotation in the plane of axes a and b (a towards b for positive angles).
Mat4 plane_rotation(int a, int b, float radians) {
  Mat4 r = Mat4::identity();
  float c = std::cos(radians), s = std::sin(radians);
  r.at(a, a) = c;
  r.at(a, b) = -s;
  r.at(b, a) = s;
  r.at(b, b) = c;
  return r;
}
}  // namespace

Mat4 Mat4::rotation_x(float radians) { return plane_rotation(1, 2, radians); }
Mat4 Mat4::rotation_y(float radians) { return plane_rotation(2, 0, radians); }
Mat4 Mat4::rotation_z(float radians) { return plane_rotation(0, 1, radians); }

Mat4 Mat4::perspective(float fov_y, float aspect, float near, float far) {
  Mat4 r;
  float f = 1.0f / std::tan(fov_y / 2);
  r.at(0, 0) = f / aspect;
  r.at(1, 1) = f;
  r.at(2, 2) = (far + near) / (near - far);
  r.at(2, 3) = 2 * far * near / (near - far);
  r.at(3, 2) = -1;
  return r;
}

Mat4 Mat4::look_at(Vec3 eye, Vec3 target, Vec3 up) {
  Vec3 f = normalized(target - eye);
  Vec3 s = normalized(cross(f, up));
  if (length(s) == 0) s = normalized(cross(f, Vec3{0, 0, 1}));
  Vec3 u = cross(s, f);
  Mat4 r = identity();
  r.at(0, 0) = s.x, r.at(0, 1) = s.y, r.at(0, 2) = s.z;
  r.at(1, 0) = u.x, r.at(1, 1) = u.y, r.at(1, 2) = u.z;
  r.at(2, 0) = -f.x, r.at(2, 1) = -f.y, r.at(2, 2) = -f.z;
  r.at(0, 3) = -dot(s, eye);
  r.at(1, 3) = -dot(u, eye);
  r.at(2, 3) = dot(f, eye);
  return r;
}

Mat4 operator*(const Mat4& a, const Mat4& b) {
  Mat4 r;
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a.at(row, k) * b.at(k, column);
      r.at(row, column) = sum;
    }
  return r;
}

Vec4 operator*(const Mat4& a, Vec4 v) {
  float in[4] = {v.x, v.y, v.z, v.w}, out[4];
  for (int row = 0; row < 4; ++row)
    out[row] = a.at(row, 0) * in[0] + a.at(row, 1) * in[1] + a.at(row, 2) * in[2] +
               a.at(row, 3) * in[3];
  return {out[0], out[1], out[2], out[3]};
}

Vec3 transform_point(const Mat4& a, Vec3 p) {
  Vec4 r = a * Vec4{p.x, p.y, p.z, 1};
  return {r.x, r.y, r.z};
}

Vec3 transform_direction(const Mat4& a, Vec3 d) {
  Vec4 r = a * Vec4{d.x, d.y, d.z, 0};
  return {r.x, r.y, r.z};
}

Mat4 normal_matrix(const Mat4& a) {
  // Inverse of the upper 3×3 by cofactors, then transposed.
  auto m = [&](int r, int c) { return a.at(r, c); };
  float c00 = m(1, 1) * m(2, 2) - m(1, 2) * m(2, 1);
  float c01 = m(1, 2) * m(2, 0) - m(1, 0) * m(2, 2);
  float c02 = m(1, 0) * m(2, 1) - m(1, 1) * m(2, 0);
  float det = m(0, 0) * c00 + m(0, 1) * c01 + m(0, 2) * c02;
  if (std::fabs(det) < 1e-20f) return Mat4::identity();
  float inv = 1.0f / det;
  Mat4 r = Mat4::identity();
  // (A^-1)^T = cofactor matrix / det.
  r.at(0, 0) = c00 * inv;
  r.at(0, 1) = c01 * inv;
  r.at(0, 2) = c02 * inv;
  r.at(1, 0) = (m(0, 2) * m(2, 1) - m(0, 1) * m(2, 2)) * inv;
  r.at(1, 1) = (m(0, 0) * m(2, 2) - m(0, 2) * m(2, 0)) * inv;
  r.at(1, 2) = (m(0, 1) * m(2, 0) - m(0, 0) * m(2, 1)) * inv;
  r.at(2, 0) = (m(0, 1) * m(1, 2) - m(0, 2) * m(1, 1)) * inv;
  r.at(2, 1) = (m(0, 2) * m(1, 0) - m(0, 0) * m(1, 2)) * inv;
  r.at(2, 2) = (m(0, 0) * m(1, 1) - m(0, 1) * m(1, 0)) * inv;
  return r;
}
