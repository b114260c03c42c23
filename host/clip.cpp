#include "host/zd_clip.h"

namespace {
template <typename Point>
int32_t clip_points(const ZT_Int_Rectangle& r, int32_t count, const Point* points,
                    uint16_t* codes) {
  if (count <= 0) return 0;
  uint16_t all = 0xFFFF, any = 0;
  for (int32_t i = 0; i < count; ++i) {
    const Point& p = points[i];
    uint16_t c = 0;
    // Written so that NaN coordinates count as outside on both sides.
    if (!(p.x >= r.left)) c |= ZD_Clip_Left;
    if (!(p.x <= r.right)) c |= ZD_Clip_Right;
    if (!(p.y >= r.bottom)) c |= ZD_Clip_Below;
    if (!(p.y <= r.top)) c |= ZD_Clip_Above;
    codes[i] = c;
    all &= c;
    any |= c;
  }
  if (any == 0) return count;
  if (all != 0) return 0;
  return -1;
}
}  // namespace

int32_t ZD_Clip(const ZT_Int_Rectangle& rect, int32_t count, const ZT_DCI_Point* points,
                uint16_t* codes) {
  return clip_points(rect, count, points, codes);
}
int32_t ZD_Clip(const ZT_Int_Rectangle& rect, int32_t count, const ZT_Point_D* points,
                uint16_t* codes) {
  return clip_points(rect, count, points, codes);
}
