#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "tools/png_writer.h"

namespace {

struct File_Closer {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

void on_png_error(png_structp png, png_const_charp message) {
  auto* error = static_cast<std::string*>(png_get_error_ptr(png));
  if (error) *error = message;
  png_longjmp(png, 1);
}

// The PNG encoding proper.  libpng reports errors by jumping back to the setjmp
// here; everything this function owns is set up before it.
bool encode(const Window_Image& image, std::FILE* file, const std::vector<png_byte>& rows,
            const std::vector<png_color>& palette, std::string* png_error) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, png_error, on_png_error,
                                            nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    *png_error = "out of memory for the PNG writer";
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
               image.indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (image.indexed) png_set_PLTE(png, info, palette.data(), int(palette.size()));
  png_write_info(png, info);
  const std::size_t stride = rows.size() / std::size_t(image.height);
  for (int32_t y = 0; y < image.height; ++y)
    png_write_row(png, rows.data() + stride * std::size_t(y));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool write_png(const Window_Image& image, const std::string& path, std::string* error) {
  if (image.width <= 0 || image.height <= 0) {
    if (error) *error = "nothing to write: the image is empty (window of size 0?)";
    return false;
  }
  std::unique_ptr<std::FILE, File_Closer> file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    if (error) *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  const int32_t channels = image.indexed ? 1 : 3;
  std::vector<png_byte> rows(std::size_t(image.width) * std::size_t(channels) *
                             std::size_t(image.height));
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    uint32_t w = image.pixels[i];
    if (image.indexed) {
      rows[i] = png_byte(w);
    } else {
      rows[3 * i] = png_byte(w >> 16);
      rows[3 * i + 1] = png_byte(w >> 8);
      rows[3 * i + 2] = png_byte(w);
    }
  }
  std::vector<png_color> palette;
  for (ZT_RGB32 c : image.palette) palette.push_back({c.r, c.g, c.b});
  if (image.indexed && palette.empty()) palette.assign(256, {0, 0, 0});
  std::string png_error;
  if (!encode(image, file.get(), rows, palette, &png_error) || std::fflush(file.get()) != 0) {
    if (error)
      *error = "cannot write " + path + ": " + (png_error.empty() ? std::strerror(errno) : png_error);
    return false;
  }
  return true;
}
