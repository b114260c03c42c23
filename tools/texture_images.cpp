#include "tools/texture_images.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// The power of two nearest to n (at least 1, at most 4096).
int32_t nearest_power_of_two(int32_t n) {
  int32_t p = 1;
  while (p < 4096 && p * 2 <= n) p *= 2;
  return p < 4096 && n - p > p * 2 - n ? p * 2 : p;
}

// A texture of texels given top row first (as an image lies in memory).
ZT_Counted_Ptr<ZT_Texture> make_texture(int32_t width, int32_t height,
                                        const std::vector<uint32_t>& texels) {
  ZT_Counted_Ptr<ZT_Texture> t(new ZT_Texture(
      ZT_Shared_Image(width, height, ZT_Image_Format_RGB32, 0, texels.data(), false)));
  t->u_wrap = t->v_wrap = ZT_Wrap_Repeat;
  t->modulate = 1;
  return t;
}

uint32_t word(int r, int g, int b) {
  auto c = [](int v) { return uint32_t(std::clamp(v, 0, 255)); };
  return 0xFF000000u | c(r) << 16 | c(g) << 8 | c(b);
}

// A little noise that repeats with the image: a hash of the texel position.
int noise(int x, int y, int amount) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return int((h >> 24) % uint32_t(2 * amount + 1)) - amount;
}

}  // namespace

ZT_Counted_Ptr<ZT_Texture> load_png_texture(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str()))
    throw Texture_Error("cannot read the texture " + path + ": " + image.message);
  image.format = PNG_FORMAT_BGRA;  // the texel words ZT_RGB32 holds
  const int32_t w = int32_t(image.width), h = int32_t(image.height);
  if (w < 1 || h < 1 || w > 16384 || h > 16384) {
    png_image_free(&image);
    throw Texture_Error(path + ": a texture must be between 1x1 and 16384x16384 pixels");
  }
  std::vector<uint32_t> pixels(std::size_t(w) * std::size_t(h));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
    throw Texture_Error("cannot read the texture " + path + ": " + image.message);
  const int32_t tw = nearest_power_of_two(w), th = nearest_power_of_two(h);
  if (tw == w && th == h) return make_texture(w, h, pixels);
  std::vector<uint32_t> scaled(std::size_t(tw) * std::size_t(th));
  for (int32_t y = 0; y < th; ++y)
    for (int32_t x = 0; x < tw; ++x)
      scaled[std::size_t(y) * std::size_t(tw) + std::size_t(x)] =
          pixels[std::size_t(int64_t(y) * h / th) * std::size_t(w) + std::size_t(int64_t(x) * w / tw)];
  return make_texture(tw, th, scaled);
}

// A square texture of side × side texels, texel(x, y) giving each word
// (y counts memory rows, from the top).
template <typename Texel>
ZT_Counted_Ptr<ZT_Texture> procedural_texture(int32_t side, Texel texel) {
  std::vector<uint32_t> texels(std::size_t(side) * std::size_t(side));
  for (int32_t y = 0; y < side; ++y)
    for (int32_t x = 0; x < side; ++x) texels[std::size_t(y * side + x)] = texel(x, y);
  return make_texture(side, side, texels);
}

ZT_Counted_Ptr<ZT_Texture> tile_texture() {
  constexpr int32_t side = 64;
  return procedural_texture(side, [](int32_t x, int32_t y) {
    // Four tiles of 32 texels, rows offset by half a tile, 2 texels of grout.
    const int32_t row = y / 16, shifted = (x + (row % 2) * 16) % side;
    const bool grout = y % 16 < 2 || shifted % 32 < 2;
    const int tint = ((row * 7 + shifted / 32 * 3) % 5) * 9, n = noise(x, y, 10);
    return grout ? word(70 + n / 2, 66 + n / 2, 60 + n / 2)
                 : word(176 + tint + n, 164 + tint / 2 + n, 140 + n);
  });
}

ZT_Counted_Ptr<ZT_Texture> crate_texture() {
  constexpr int32_t side = 64;
  return procedural_texture(side, [](int32_t x, int32_t y) {
    const bool frame = x < 6 || x >= side - 6 || y < 6 || y >= side - 6;
    const bool brace = std::abs(x - y) < 5 || std::abs(x + y - side + 1) < 5;
    const bool seam = !frame && y % 14 == 0;
    const int grain = int(18 * std::sin(float(x) * 0.7f + float(y % 14) * 0.3f)) + noise(x, y, 8);
    int r = 168, g = 118, b = 62;
    if (frame || brace) r = 128, g = 84, b = 42;
    if (seam) r = 80, g = 52, b = 26;
    return word(r + grain, g + grain * 2 / 3, b + grain / 3);
  });
}

ZT_Counted_Ptr<ZT_Texture> checker_texture() {
  constexpr int32_t side = 256, square = side / 2;
  return procedural_texture(side, [](int32_t x, int32_t y) {
    // Memory rows run from the top; squares count from the bottom.
    const int32_t row_from_bottom = side - 1 - y;
    const bool light = (x / square + row_from_bottom / square) % 2 == 0;
    return light ? word(232, 222, 200) : word(64, 84, 112);
  });
}
