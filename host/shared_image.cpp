#include <algorithm>
#include <cstring>

#include "host/zt_shared_image.h"

int32_t ZT_Image_Data::bytes_per_pixel(ZT_Image_Format f) {
  switch (f) {
  case ZT_Image_Format_Mapped8: return 1;
  case ZT_Image_Format_RGB32: return 4;
  case ZT_Image_Format_Depth16: return 2;
  default: return 0;
  }
}

namespace {
bool side_fits(int32_t side) { return side >= 0 && side <= ZT_Largest_Image_Side; }
}  // namespace

ZT_Image_Data::ZT_Image_Data(int32_t w, int32_t h, ZT_Image_Format f, int32_t rb,
                             const void* data, bool full)
    : width(0), height(0), format(f), row_bytes(0), full_window(full ? 1 : 0) {
  // Sides within the cap keep a tight row below 2^17 bytes.
  if (side_fits(w) && side_fits(h)) {
    const int32_t tight = w * bytes_per_pixel(f);
    const int32_t rows_apart = rb < tight ? (tight + 7) & ~7 : rb;
    if (int64_t(rows_apart) * h <= ZT_Largest_Image_Bytes) {
      width = w;
      height = h;
      row_bytes = rows_apart;
    }
  }
  const int32_t tight = width * bytes_per_pixel(f);
  storage_.assign(std::size_t(row_bytes) * std::size_t(height), 0);
  link_rows();
  if (data && tight > 0) {
    // Source rows: tight, first row in memory is the top row.
    const auto* src = static_cast<const uint8_t*>(data);
    for (int32_t i = 0; i < height; ++i)
      std::memcpy(rows_in_memory_order[std::size_t(i)], src + std::size_t(i) * std::size_t(tight),
                  std::size_t(tight));
  }
}

ZT_Counted* ZT_Image_Data::clone() const {
  auto* c = new ZT_Image_Data(width, height, format, row_bytes, nullptr, full_window != 0);
  c->storage_ = storage_;
  c->link_rows();
  return c;
}

void ZT_Image_Data::link_rows() {
  rows_by_y.assign(std::size_t(height), nullptr);
  rows_in_memory_order.assign(std::size_t(height), nullptr);
  for (int32_t i = 0; i < height; ++i) {
    uint8_t* row = storage_.data() + std::size_t(i) * std::size_t(row_bytes);
    rows_in_memory_order[std::size_t(i)] = row;
    rows_by_y[std::size_t(height - 1 - i)] = row;
  }
}

ZT_Shared_Image::ZT_Shared_Image(int32_t width, int32_t height, ZT_Image_Format format,
                                 int32_t row_bytes, const void* data, bool full_window)
    : data_(new ZT_Image_Data(width, height, format, row_bytes, data, full_window)) {}
