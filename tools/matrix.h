// Small vector and matrix algebra for host-side geometry: column vectors,
// 4×4 matrices applied as m × v, right-handed coordinates.
#pragma once

#include <array>

struct Vec3 {
  float x = 0, y = 0, z = 0;
};
struct Vec4 {
  float x = 0, y = 0, z = 0, w = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator*(Vec3 a, Vec3 b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float length(Vec3 v);
// v scaled to length 1; the zero vector stays zero.
Vec3 normalized(Vec3 v);

struct Mat4 {
  std::array<float, 16> m{};  // column-major: m[column * 4 + row]
  float& at(int row, int column) { return m[std::size_t(column * 4 + row)]; }
  float at(int row, int column) const { return m[std::size_t(column * 4 + row)]; }

  static Mat4 identity();
  static Mat4 translation(Vec3 t);
  static Mat4 scaling(Vec3 s);
  static Mat4 rotation_x(float radians);
  static Mat4 rotation_y(float radians);
  static Mat4 rotation_z(float radians);
  // Perspective projection onto clip space: visible depth -w..w between near
  // and far, looking down -z.
  static Mat4 perspective(float fov_y_radians, float aspect, float near, float far);
  // The view from eye towards target with up roughly up.
  static Mat4 look_at(Vec3 eye, Vec3 target, Vec3 up);
};

Mat4 operator*(const Mat4& a, const Mat4& b);
Vec4 operator*(const Mat4& a, Vec4 v);
Vec3 transform_point(const Mat4& a, Vec3 p);      // w = 1, no division
Vec3 transform_direction(const Mat4& a, Vec3 d);  // w = 0
// The matrix that carries normals along with a: the inverse transpose of its
// upper 3×3 (identity when a is singular).
Mat4 normal_matrix(const Mat4& a);
