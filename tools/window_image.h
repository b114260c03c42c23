// What a host shows in its window: the presented pixels, top row first.
#pragma once

#include <cstdint>
#include <vector>

#include "host/zarnik11.h"

struct Window_Image {
  int32_t width = 0, height = 0;
  bool indexed = false;          // pixels are palette indices
  std::vector<uint32_t> pixels;  // one word per pixel: 0xAARRGGBB, or an index
  std::vector<ZT_RGB32> palette;  // the colours of the indices

  void resize(int32_t w, int32_t h, bool with_indices);
  uint32_t& at(int32_t x, int32_t row) { return pixels[std::size_t(row) * std::size_t(width) + std::size_t(x)]; }
};

// Copies the buffer rectangle (local columns left..right, local rows bottom..top,
// inclusive) into the image with its top row at image row dest_row and its left
// column at dest_x.  Parts outside the buffer or the image are left out.
void copy_into(Window_Image& image, const ZT_Shared_Image& buffer, ZT_Int_Rectangle rect,
               int32_t dest_x, int32_t dest_row);

// The whole colour buffer as an image; palette colours come from palette (may be
// null for a true-colour buffer).
Window_Image image_of(const ZT_Shared_Image& buffer, const ZT_Palette* palette);
