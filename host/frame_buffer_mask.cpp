#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "host/frame_buffer_mask.h"

Frame_Buffer_Mask::Frame_Buffer_Mask(const Frame_Buffer_Mask& o)
    : ZT_Counted(o), bit_image(o.bit_image), contour_stamp(o.contour_stamp),
      origin_x(o.origin_x), origin_y(o.origin_y), width(o.width), height(o.height) {}

void Frame_Buffer_Mask::establish_configuration(int32_t w, int32_t h, int32_t ox, int32_t oy) {
  width = std::max(w, 0);
  height = std::max(h, 0);
  origin_x = ox;
  origin_y = oy;
  int32_t row_bytes = ((width + 63) / 64) * 8;
  if (bit_image.empty() || bit_image->width != width || bit_image->height != height ||
      bit_image->row_bytes != row_bytes)
    bit_image = ZT_Shared_Image(width, height, ZT_Image_Format_None, row_bytes, nullptr, false);
}

void Frame_Buffer_Mask::clear_and_rasterize_mask(const ZT_Contour_Set& set) {
  contour_stamp = set.change_stamp();
  if (bit_image.empty()) return;
  // Others may share the bits (a copied cache): rasterise into bits of our own.
  if (bit_image->reference_count() > 1)
    bit_image = ZT_Shared_Image(width, height, ZT_Image_Format_None, bit_image->row_bytes,
                                nullptr, false);
  ZT_Image_Data& img = *bit_image.data();
  std::memset(img.pixels(), 0xFF, img.size_in_bytes());
  if (!set.data()) return;

  struct Edge {
    double x0, y0, x1, y1;
  };
  std::vector<Edge> edges;
  for (const auto& contour : set->contours) {
    std::size_t n = contour.size();
    for (std::size_t i = 0; i < n; ++i) {
      const ZT_Point& a = contour[i];
      const ZT_Point& b = contour[(i + 1) % n];
      if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) ||
          !std::isfinite(b.y) || a.y == b.y)
        continue;
      edges.push_back({double(a.x) - origin_x, double(a.y) - origin_y, double(b.x) - origin_x,
                       double(b.y) - origin_y});
    }
  }
  std::vector<double> crossings;
  for (int32_t y = 0; y < height; ++y) {
    double sy = y + 0.5;
    crossings.clear();
    for (const Edge& e : edges) {
      // Half-open in y, so a vertex shared by two edges counts once.
      double lo = std::min(e.y0, e.y1), hi = std::max(e.y0, e.y1);
      if (sy < lo || sy >= hi) continue;
      crossings.push_back(e.x0 + (sy - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0));
    }
    std::sort(crossings.begin(), crossings.end());
    uint8_t* row = img.rows_by_y[std::size_t(y)];
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
      // Pixel x is inside when its centre x + 0.5 lies in [a, b).
      double a = std::ceil(crossings[i] - 0.5), b = std::ceil(crossings[i + 1] - 0.5);
      int32_t from = int32_t(std::clamp(a, 0.0, double(width)));
      int32_t to = int32_t(std::clamp(b, 0.0, double(width)));
      for (int32_t x = from; x < to; ++x) row[x >> 3] &= uint8_t(~(0x80u >> (x & 7)));
    }
  }
}

bool Frame_Buffer_Mask::excludes(int32_t x, int32_t y) const {
  if (bit_image.empty() || x < 0 || y < 0 || x >= width || y >= height) return true;
  return (bit_image->rows_by_y[std::size_t(y)][x >> 3] & (0x80u >> (x & 7))) != 0;
}
