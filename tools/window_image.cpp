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
  // Buffer column x lands on image column dest_x + (x - left), buffer row y on
  // image row dest_row + (top - y); in 64 bits, and only where both exist.
  const int64_t shift_x = int64_t(dest_x) - rect.left, shift_row = int64_t(dest_row) + rect.top;
  const int64_t left = std::max<int64_t>({rect.left, 0, -shift_x});
  const int64_t right = std::min<int64_t>({rect.right, b.width - 1, image.width - 1 - shift_x});
  const int64_t top = std::min<int64_t>({rect.top, b.height - 1, shift_row});
  const int64_t bottom = std::max<int64_t>({rect.bottom, 0, shift_row - (image.height - 1)});
  for (int64_t y = top; y >= bottom; --y)
    for (int64_t x = left; x <= right; ++x) {
      const uint8_t* p = b.rows_by_y[std::size_t(y)] + std::size_t(x) * std::size_t(bpp);
      uint32_t word = *p;
      if (bpp == 4) std::memcpy(&word, p, 4);
      image.at(int32_t(shift_x + x), int32_t(shift_row - y)) = word;
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
