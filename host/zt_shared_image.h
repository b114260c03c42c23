// Shared images: counted pixel storage with row-pointer arrays.
#pragma once

#include <cstdint>
#include <vector>

#include "host/zt_basics.h"
#include "host/zt_object.h"

// The largest image the host makes: at most 32768 pixels a side and 1 GiB in
// all (rows × row bytes); an image asked for beyond either (or with a negative
// side) is made empty, 0 by 0.  Byte sizes are 64-bit throughout.  Windows
// have at most 16384 pixels a side (ZT_Renderer_Options::set_window_size):
// 16384 × 16384 true-colour pixels are that 1 GiB.
inline constexpr int32_t ZT_Largest_Image_Side = 32768;
inline constexpr int64_t ZT_Largest_Image_Bytes = int64_t(1) << 30;
inline constexpr int32_t ZT_Largest_Window_Side = 16384;

// Pixel storage of one image.  Rows lie one after another in memory from the top
// row (y = height - 1) down to y = 0, so that rows a..b (a <= b) form one block
// starting at row b.  rows_by_y[y] is row y counted from the bottom;
// rows_in_memory_order[0] is the first row in memory, the top row.
class ZT_Image_Data : public ZT_Counted {
public:
  // row_bytes 0 means the tightest row for the format; rows are then padded to a
  // multiple of 8 bytes for 8-bit images.  data, when given, is copied row by row.
  // An image beyond ZT_Largest_Image_Side or ZT_Largest_Image_Bytes is empty.
  ZT_Image_Data(int32_t width, int32_t height, ZT_Image_Format format, int32_t row_bytes,
                const void* data, bool full_window);
  ZT_Counted* clone() const override;

  static int32_t bytes_per_pixel(ZT_Image_Format f);

  int32_t width;
  int32_t height;
  ZT_Image_Format format;
  int32_t row_bytes;
  uint8_t full_window;
  std::vector<uint8_t*> rows_by_y;
  std::vector<uint8_t*> rows_in_memory_order;

  uint8_t* pixels() { return storage_.data(); }
  std::size_t size_in_bytes() const { return storage_.size(); }

private:
  void link_rows();
  std::vector<uint8_t> storage_;
};

// A counted handle on image data; empty when it holds none.
class ZT_Shared_Image {
public:
  ZT_Shared_Image() = default;
  ZT_Shared_Image(int32_t width, int32_t height, ZT_Image_Format format, int32_t row_bytes,
                  const void* data, bool full_window);
  explicit ZT_Shared_Image(ZT_Image_Data* data) : data_(data) {}

  bool empty() const noexcept { return !data_; }
  ZT_Image_Data* data() const noexcept { return data_.get(); }
  ZT_Image_Data* operator->() const noexcept { return data_.get(); }
  void release() { data_.reset(); }
  friend bool operator==(const ZT_Shared_Image&, const ZT_Shared_Image&) = default;

private:
  ZT_Counted_Ptr<ZT_Image_Data> data_;
};
