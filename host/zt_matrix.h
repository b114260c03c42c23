// 4x4 transforms of homogeneous points, held in single or double precision.
//
// Points are columns: transforming p gives q = M (p.x, p.y, p.z, 1), element
// (row, column) multiplying coordinate column into row.  A rendition's
// transform takes a model point to device space before the division by q.w,
// so a device point's w (the vertex w of a textured draw) is recovered from the
// device point alone:
//
//   ZT_Counted_Ptr<ZT_Matrix> adjoint = transform->adjoint();
//   ZT_Point_D model;
//   adjoint->transform(device_point, &model);   // back to the model point
//   float w = transform->transform(model);       // its w on the way out
//
// (The adjoint is det(M) times the inverse, so the first step lands on the
// model point once divided by its own w, whatever the determinant.)
#pragma once

#include <cstdint>

#include "host/zt_basics.h"
#include "host/zt_object.h"

class ZT_Matrix : public ZT_Counted {
public:
  enum class Precision : int32_t { Single, Double };

  // The identity.
  explicit ZT_Matrix(Precision precision = Precision::Double);
  // Rows of four; single precision rounds every element to float.
  ZT_Matrix(const double (&rows)[4][4], Precision precision = Precision::Double);
  ZT_Matrix(const ZT_Matrix& other);
  ZT_Counted* clone() const override { return new ZT_Matrix(*this); }

  Precision precision() const noexcept { return precision_; }
  double element(int32_t row, int32_t column) const { return m_[row][column]; }
  // Changes one element (rounded to float in single precision); the adjoint is
  // made again when next asked for.
  void set(int32_t row, int32_t column, double value);

  double determinant() const;
  // The adjoint (adjugate: the transposed matrix of cofactors, det × inverse),
  // in this matrix's precision.  It is made on first use and kept while this
  // matrix does not change; the handle holds it by reference count.
  ZT_Counted_Ptr<ZT_Matrix> adjoint() const;

  // q = M (p, 1).  Writes q.xyz / q.w into out when out is given (q.xyz itself
  // when q.w is 0) and returns q.w.  Single precision computes in float.
  float transform(const ZT_Point_D& p, ZT_Point_D* out = nullptr) const;

private:
  double m_[4][4];
  Precision precision_;
  mutable ZT_Counted_Ptr<ZT_Matrix> adjoint_;
  mutable uint32_t adjoint_stamp_ = 0;  // this matrix's stamp when the adjoint was made
};
