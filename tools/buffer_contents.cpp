#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "tools/buffer_contents.h"
#include "trace/zd_trace_format.h"

namespace {

int32_t pixel_bytes(const ZT_Image_Data& b) { return ZT_Image_Data::bytes_per_pixel(b.format); }

// Rows from the top one down: the order of a dump.
const uint8_t* row_from_top(const ZT_Image_Data& b, int32_t i) {
  return b.rows_by_y[std::size_t(b.height - 1 - i)];
}

}  // namespace

std::string dump_rows(const ZT_Shared_Image& buffer) {
  std::string out;
  if (buffer.empty()) return out;
  const ZT_Image_Data& b = *buffer.data();
  for (int32_t i = 0; i < b.height; ++i) {
    out += zd_trace::hex_row(row_from_top(b, i), b.width, pixel_bytes(b));
    out += '\n';
  }
  return out;
}

std::string content_hash(const ZT_Shared_Image& buffer) {
  if (buffer.empty()) return "none";
  const ZT_Image_Data& b = *buffer.data();
  uint64_t h = 0xcbf29ce484222325ull;
  auto mix = [&h](const uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x100000001b3ull;
  };
  const int32_t header[3] = {b.width, b.height, int32_t(b.format)};
  mix(reinterpret_cast<const uint8_t*>(header), sizeof header);
  for (int32_t i = 0; i < b.height; ++i)
    mix(row_from_top(b, i), std::size_t(b.width) * std::size_t(pixel_bytes(b)));
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

void fill_buffer(const ZT_Shared_Image& buffer, uint32_t value) {
  if (buffer.empty()) return;
  const ZT_Image_Data& b = *buffer.data();
  const int32_t bpp = pixel_bytes(b);
  for (int32_t y = 0; y < b.height; ++y)
    for (int32_t x = 0; x < b.width; ++x)
      std::memcpy(b.rows_by_y[std::size_t(y)] + std::size_t(x) * std::size_t(bpp), &value,
                  std::size_t(bpp));
}

void set_buffer_rows(const ZT_Shared_Image& buffer, const std::vector<std::string>& rows) {
  if (buffer.empty()) throw std::runtime_error("the buffer does not exist (establish first)");
  const ZT_Image_Data& b = *buffer.data();
  const int32_t bpp = pixel_bytes(b);
  if (int32_t(rows.size()) != b.height)
    throw std::runtime_error("the buffer has " + std::to_string(b.height) + " rows, " +
                             std::to_string(rows.size()) + " are given");
  for (int32_t i = 0; i < b.height; ++i) {
    std::vector<uint8_t> bytes = zd_trace::bytes_from_hex_row(rows[std::size_t(i)], bpp);
    if (int32_t(bytes.size()) != b.width * bpp)
      throw std::runtime_error("row " + std::to_string(i) + " has " +
                               std::to_string(bytes.size() / std::size_t(bpp)) +
                               " words, the buffer is " + std::to_string(b.width) + " wide");
    std::memcpy(b.rows_by_y[std::size_t(b.height - 1 - i)], bytes.data(), bytes.size());
  }
}
