#include "tools/tiled_picture.h"

#include <algorithm>

namespace {

// ceil(size / parts), rounded up to a multiple of 8.
int32_t tile_side(int32_t size, int32_t parts) {
  const int32_t side = (size + parts - 1) / std::max(parts, 1);
  return (side + 7) / 8 * 8;
}

}  // namespace

std::vector<ZT_Int_Rectangle> tile_rectangles(const ZT_Int_Rectangle& picture, int32_t columns,
                                              int32_t rows) {
  const int32_t width = picture.right - picture.left + 1, height = picture.top - picture.bottom + 1;
  const int32_t w = tile_side(width, columns), h = tile_side(height, rows);
  std::vector<ZT_Int_Rectangle> tiles;
  for (int32_t y = 0; y < height; y += h)
    for (int32_t x = 0; x < width; x += w)
      tiles.push_back({picture.left + x, picture.left + std::min(x + w, width) - 1,
                       picture.bottom + y, picture.bottom + std::min(y + h, height) - 1});
  return tiles;
}

namespace {

// Establishes the session's window on the rectangle (device pixels) with the
// pre-clipped slots.
void establish_window(Host_Session& session, const Pixel_Configuration& configuration,
                      const ZT_Int_Rectangle& r) {
  session.configure(r.right - r.left + 1, r.top - r.bottom + 1, configuration);
  session.options().set_window_origin({r.left, r.bottom});
  ZD_Set_Option(session.renderer(), "Enable Tiling", ZT_Option_Value(true));
  ZD_Establish(session.renderer());
}

}  // namespace

Window_Image draw_in_tiles(Host_Session& session, const Pixel_Configuration& configuration,
                           const Viewport& picture, const Lighting& lighting, int32_t columns,
                           int32_t rows, const std::function<void(Scene_Painter&)>& draw,
                           bool one_window) {
  const ZT_Int_Rectangle whole = picture.window();
  if (one_window) {
    establish_window(session, configuration, whole);
    for (const ZT_Int_Rectangle& tile : tile_rectangles(whole, columns, rows)) {
      Scene_Painter painter(session, picture, lighting, tile);
      draw(painter);
    }
    return session.presented();
  }
  Window_Image image;
  for (const ZT_Int_Rectangle& tile : tile_rectangles(whole, columns, rows)) {
    establish_window(session, configuration, tile);
    Scene_Painter painter(session, picture, lighting, tile);
    draw(painter);
    const Window_Image& shown = session.presented();
    if (image.pixels.empty()) {
      image.resize(whole.right - whole.left + 1, whole.top - whole.bottom + 1, shown.indexed);
      image.palette = shown.palette;
    }
    // Image rows count down from the picture's top.
    for (int32_t row = 0; row < shown.height; ++row)
      for (int32_t x = 0; x < shown.width; ++x)
        image.at(tile.left - whole.left + x, whole.top - tile.top + row) =
            shown.pixels[std::size_t(row) * std::size_t(shown.width) + std::size_t(x)];
  }
  return image;
}
