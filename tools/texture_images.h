// Textures for the demo: images read from PNG files, and procedural ones.
//
// The host takes only images whose sides are powers of two; a PNG of another
// size is scaled to the nearest powers of two (nearest texel) when it is read.
#pragma once

#include <stdexcept>
#include <string>

#include "host/zarnik11.h"

struct Texture_Error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A repeating, modulating texture of the PNG's pixels.  Throws Texture_Error
// with the reason when the file cannot be read.
ZT_Counted_Ptr<ZT_Texture> load_png_texture(const std::string& path);

// Procedural textures, repeating and modulating: stone tiles with grout, the
// planks of a crate, and a checkerboard of two squares a side (square (i, j),
// counted from the image's lower-left corner, is light when i + j is even).
ZT_Counted_Ptr<ZT_Texture> tile_texture();
ZT_Counted_Ptr<ZT_Texture> crate_texture();
ZT_Counted_Ptr<ZT_Texture> checker_texture();
