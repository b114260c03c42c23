// Contour sets: one or more closed outlines of points, counted, with a change stamp.
#pragma once

#include <vector>

#include "host/zt_basics.h"
#include "host/zt_object.h"

class ZT_Contour_Set_Data : public ZT_Counted {
public:
  ZT_Contour_Set_Data() = default;
  ZT_Counted* clone() const override { return new ZT_Contour_Set_Data(*this); }

  std::vector<std::vector<ZT_Point>> contours;
  ZT_Vector projection{0, 0, 1};

  bool empty() const { return contours.empty(); }
  void force_projection(const ZT_Vector& direction) { projection = direction; }
  // Calls back once per triangle covering the region (odd-even rule over all
  // contours, projected along the forced direction).  Returns false when the
  // outline could not be triangulated; nothing is then called.
  using Triangle_Callback = void (*)(const ZT_Point* a, const ZT_Point* b, const ZT_Point* c,
                                     void* context);
  bool triangulate(Triangle_Callback callback, void* context) const;
};

class ZT_Contour_Set {
public:
  ZT_Contour_Set() = default;
  // One contour from points; closed implicitly.
  ZT_Contour_Set(int32_t count, const ZT_Point* points, bool);
  explicit ZT_Contour_Set(std::vector<std::vector<ZT_Point>> contours);

  ZT_Contour_Set_Data* data() const { return data_.get(); }
  ZT_Contour_Set_Data* operator->() const { return data_.get(); }
  ZT_Contour_Set_Data* make_unshared() { return data_.make_unshared(); }
  bool empty() const { return !data_ || data_->empty(); }
  uint32_t change_stamp() const { return data_ ? data_->change_stamp() : 0; }

private:
  ZT_Counted_Ptr<ZT_Contour_Set_Data> data_;
};
