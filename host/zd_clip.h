// Outcodes of points against a rectangle.
#pragma once

#include <cstdint>

#include "host/zt_basics.h"

// Outcode bits: 1 left, 2 above, 4 right, 8 below; 0 is inside (edges inclusive).
enum : uint16_t { ZD_Clip_Left = 1, ZD_Clip_Above = 2, ZD_Clip_Right = 4, ZD_Clip_Below = 8 };

// Fills one code per point.  Returns count when every point is inside, 0 when
// all points lie beyond one common side (nothing can be visible), else -1: the
// points must be clipped piece by piece.
int32_t ZD_Clip(const ZT_Int_Rectangle& rect, int32_t count, const ZT_DCI_Point* points,
                uint16_t* codes);
int32_t ZD_Clip(const ZT_Int_Rectangle& rect, int32_t count, const ZT_Point_D* points,
                uint16_t* codes);
