#include "host/zt_matrix.h"

namespace {

double held(double v, ZT_Matrix::Precision p) {
  return p == ZT_Matrix::Precision::Single ? double(float(v)) : v;
}

// Determinant of the 3x3 minor left when row r and column c are struck out.
template <typename T>
T minor3(const T (&a)[4][4], int32_t r, int32_t c) {
  int32_t rows[3], cols[3];
  for (int32_t i = 0, k = 0; i < 4; ++i)
    if (i != r) rows[k++] = i;
  for (int32_t i = 0, k = 0; i < 4; ++i)
    if (i != c) cols[k++] = i;
  auto e = [&](int32_t i, int32_t j) { return a[rows[i]][cols[j]]; };
  return e(0, 0) * (e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1)) -
         e(0, 1) * (e(1, 0) * e(2, 2) - e(1, 2) * e(2, 0)) +
         e(0, 2) * (e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0));
}

template <typename T>
void load(const double (&m)[4][4], T (&a)[4][4]) {
  for (int32_t i = 0; i < 4; ++i)
    for (int32_t j = 0; j < 4; ++j) a[i][j] = T(m[i][j]);
}

template <typename T>
void adjugate(const double (&m)[4][4], double (&out)[4][4]) {
  T a[4][4];
  load(m, a);
  for (int32_t r = 0; r < 4; ++r)
    for (int32_t c = 0; c < 4; ++c) {
      const T cofactor = ((r + c) & 1 ? T(-1) : T(1)) * minor3(a, r, c);
      out[c][r] = double(cofactor);  // transposed
    }
}

template <typename T>
T determinant_of(const double (&m)[4][4]) {
  T a[4][4];
  load(m, a);
  T d = 0;
  for (int32_t c = 0; c < 4; ++c) d += ((c & 1) ? T(-1) : T(1)) * a[0][c] * minor3(a, 0, c);
  return d;
}

template <typename T>
float apply(const double (&m)[4][4], const ZT_Point_D& p, ZT_Point_D* out) {
  const T v[4] = {T(p.x), T(p.y), T(p.z), T(1)};
  T q[4];
  for (int32_t i = 0; i < 4; ++i)
    q[i] = T(m[i][0]) * v[0] + T(m[i][1]) * v[1] + T(m[i][2]) * v[2] + T(m[i][3]) * v[3];
  if (out) {
    const T s = q[3] != T(0) ? T(1) / q[3] : T(1);
    *out = {double(q[0] * s), double(q[1] * s), double(q[2] * s)};
  }
  return float(q[3]);
}

}  // namespace

ZT_Matrix::ZT_Matrix(Precision precision) : m_{}, precision_(precision) {
  for (int32_t i = 0; i < 4; ++i) m_[i][i] = 1;
}

ZT_Matrix::ZT_Matrix(const double (&rows)[4][4], Precision precision) : precision_(precision) {
  for (int32_t i = 0; i < 4; ++i)
    for (int32_t j = 0; j < 4; ++j) m_[i][j] = held(rows[i][j], precision);
}

ZT_Matrix::ZT_Matrix(const ZT_Matrix& other) : ZT_Counted(other), precision_(other.precision_) {
  for (int32_t i = 0; i < 4; ++i)
    for (int32_t j = 0; j < 4; ++j) m_[i][j] = other.m_[i][j];
}

void ZT_Matrix::set(int32_t row, int32_t column, double value) {
  m_[row][column] = held(value, precision_);
  touch();
}

double ZT_Matrix::determinant() const {
  return precision_ == Precision::Single ? double(determinant_of<float>(m_))
                                         : determinant_of<double>(m_);
}

ZT_Counted_Ptr<ZT_Matrix> ZT_Matrix::adjoint() const {
  if (!adjoint_ || adjoint_stamp_ != change_stamp()) {
    double a[4][4];
    if (precision_ == Precision::Single) adjugate<float>(m_, a);
    else adjugate<double>(m_, a);
    adjoint_ = ZT_Counted_Ptr<ZT_Matrix>(new ZT_Matrix(a, precision_));
    adjoint_stamp_ = change_stamp();
  }
  return adjoint_;
}

float ZT_Matrix::transform(const ZT_Point_D& p, ZT_Point_D* out) const {
  return precision_ == Precision::Single ? apply<float>(m_, p, out) : apply<double>(m_, p, out);
}
