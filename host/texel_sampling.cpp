#include "host/texel_sampling.h"

#include <algorithm>
#include <cmath>

namespace zd_host {

int32_t wrapped_texel(double coordinate, int32_t size, int32_t wrap) {
  const double scaled = coordinate * size;
  // Far coordinates keep their side and their place modulo any power of two up
  // to 2^30 only approximately; they are far outside the picture anyway.
  const int64_t c = scaled == scaled ? int64_t(std::clamp(scaled, -1073741824.0, 1073741824.0)) : 0;
  switch (wrap) {
  case ZT_Wrap_None: return c >= 0 && c < size ? int32_t(c) : -1;
  case ZT_Wrap_Clamp: return int32_t(std::clamp<int64_t>(c, 0, size - 1));
  case ZT_Wrap_Mirror: {
    const int64_t m = ((c % (2 * size)) + 2 * size) % (2 * size);
    return int32_t(m < size ? m : 2 * size - 1 - m);
  }
  default: return int32_t(((c % size) + size) % size);
  }
}

Texel_Sample sample_texel(const ZT_Texel_Image& image, int32_t u_wrap, int32_t v_wrap, double u,
                          double v) {
  int32_t column = wrapped_texel(u, image.width(), u_wrap);
  int32_t row = wrapped_texel(v, image.height(), v_wrap);
  Texel_Sample s;
  if (column < 0 || row < 0) {
    s.inside = false;
    if (column < 0) column = wrapped_texel(u, image.width(), ZT_Wrap_Clamp);
    if (row < 0) row = wrapped_texel(v, image.height(), ZT_Wrap_Clamp);
  }
  s.texel = image.texel(column, row);
  return s;
}

}  // namespace zd_host
