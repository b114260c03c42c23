// A picture drawn as a grid of tiles, as a host draws a picture larger than its
// window, or in parts: every tile is a window of its own (its size, and its
// origin: the device coordinate of its lower-left pixel), established with
// "Enable Tiling" and drawn by a painter for that tile, which hands the scene
// to the pre-clipped slots in double-precision device coordinates.  What each
// tile presents lands in its place in one picture.
//
// Tiles are ceil(width / columns) pixels wide rounded up to a multiple of 8, and
// as high by rows, so that every tile's origin lies on a multiple of 8 from the
// picture's corner and the ordered dither lines up across tiles; the last
// column and row take what remains (a grid that asks for more tiles than that
// gets fewer).  One tile (1x1) is the whole picture drawn the same way.
#pragma once

#include <functional>
#include <vector>

#include "tools/pixel_configuration.h"
#include "tools/scene_painter.h"
#include "tools/window_image.h"

// The tiles of a picture (device pixels, inclusive), bottom row first.
std::vector<ZT_Int_Rectangle> tile_rectangles(const ZT_Int_Rectangle& picture, int32_t columns,
                                              int32_t rows);

// Draws the viewport's picture tile by tile: draw receives a painter for each
// tile and draws the whole scene, from clearing to presenting.  With
// one_window the tiles are parts of one window of the picture's size, each
// drawn through its rectangle as the hard clip: the same calls, with the
// window origin, the buffer and the establish left out of the difference.
Window_Image draw_in_tiles(Host_Session& session, const Pixel_Configuration& configuration,
                           const Viewport& picture, const Lighting& lighting, int32_t columns,
                           int32_t rows, const std::function<void(Scene_Painter&)>& draw,
                           bool one_window = false);
