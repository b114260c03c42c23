// Point sampling as the host does it, with the host's meaning of every wrap
// mode (zt_texture.h): texel column trunc(u × width) and row trunc(v × height)
// counted up from the image's bottom row, truncation toward zero as renderers
// do it.
#pragma once

#include <cstdint>

#include "host/zt_texture.h"

namespace zd_host {

// The texel coordinate of one axis after its wrap mode, or -1 when the mode is
// "none" and the coordinate lies outside 0 .. size - 1.
int32_t wrapped_texel(double coordinate, int32_t size, int32_t wrap);

struct Texel_Sample {
  uint32_t texel = 0;
  bool inside = true;  // false: wrap mode 0 put it outside (texel: the nearest edge texel)
};

Texel_Sample sample_texel(const ZT_Texel_Image& image, int32_t u_wrap, int32_t v_wrap, double u,
                          double v);

}  // namespace zd_host
