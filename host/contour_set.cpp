#include "zt_contour_set.h"

ZT_Contour_Set::ZT_Contour_Set(int32_t count, const ZT_Point* points, bool)
    : data_(new ZT_Contour_Set_Data()) {
  if (count > 0) data_->contours.emplace_back(points, points + count);
}

ZT_Contour_Set::ZT_Contour_Set(std::vector<std::vector<ZT_Point>> contours)
    : data_(new ZT_Contour_Set_Data()) {
  data_->contours = std::move(contours);
}

bool ZT_Contour_Set_Data::triangulate(Triangle_Callback, void*) const {
  // Triangulation arrives with the polygon work.
  return false;
}
