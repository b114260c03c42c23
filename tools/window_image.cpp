#include <algorithm>
#include <cstring>

#include "tools/window_image.h"

void Window_Image::resize(int32_t w, int32_t h, bool with_indices) {
  width = std::max(w, 0);
  height = std::max(h, 0);
  indexed = with_indices;
  pixels.assign(std::size_t(width) * std::size_t(height), 0);
}

void copy_into(Window_Image& image, const ZT_Shared_Image& buffer, ZT_Int_Rectangle rect,
               int32_t dest_x, int32_t dest_row) {
  if (buffer.empty()) return;
  const ZT_Image_Data& b = *buffer.data();
  const int32_t bpp = ZT_Image_Data::bytes_per_pixel(b.format);
  if (bpp != 1 && bpp != 4) return;
  for (int32_t y = rect.top; y >= rect.bottom; --y) {
    const int32_t row = dest_row + (rect.top - y);
    if (y < 0 || y >= b.height || row < 0 || row >= image.height) continue;
    for (int32_t x = rect.left; x <= rect.right; ++x) {
      const int32_t column = dest_x + (x - rect.left);
      if (x < 0 || x >= b.width || column < 0 || column >= image.width) continue;
      const uint8_t* p = b.rows_by_y[std::size_t(y)] + std::size_t(x) * std::size_t(bpp);
      uint32_t word = *p;
      if (bpp == 4) std::memcpy(&word, p, 4);
      image.at(column, row) = word;
    }
  }
}

Window_Image image_of(const ZT_Shared_Image& buffer, const ZT_Palette* palette) {
  Window_Image image;
  if (buffer.empty()) return image;
  const bool indexed = buffer->format == ZT_Image_Format_Mapped8;
  image.resize(buffer->width, buffer->height, indexed);
  if (indexed && palette)
    for (int32_t i = 0; i < 256; ++i) image.palette.push_back(palette->color(i));
  copy_into(image, buffer, {0, buffer->width - 1, 0, buffer->height - 1}, 0, 0);
  return image;
}
