// How the host draws an image of the kind a renderer leaves to it: it converts
// the image into the other kind and draws that through the renderer's own action
// for the other kind, so that every renderer shows every image.
//
//   true colour to index: with a colour cube in the palette, the cube colour
//     nearest to the colour per component; otherwise the palette's closest
//     match; without a palette, the nearest grey (index v is grey v, v, v).
//   index to true colour: the palette's colour, made opaque (grey without a
//     palette).
//
// The host hands renderers images that start inside the window and may run out
// of it on the right, and converts the rows that can land in the window: from
// the top down to the window's bottom edge.  Each row is converted whole, since
// the renderer reads along it as far as its own window reaches, which may be
// wider than the host's while an establish is pending.  The corners it passes
// on are the original ones but for the bottom row, so the depth steps stay
// those of the whole image.  An image whose upper-left corner lies outside the
// window is not drawn, nor one whose converted part would exceed the host's
// largest image.  Nothing is drawn either when the other action is itself the
// host's (it would come straight back).
#pragma once

#include <cstdint>

#include "host/standard_decompositions.h"
#include "host/zt_actions.h"
#include "host/zt_palette.h"

uint8_t ZD_Index_Of_Color(const ZT_Palette* palette, ZT_RGB32 color);
ZT_RGB32 ZD_Color_Of_Index(const ZT_Palette* palette, uint8_t index);

template <>
struct ZD_Decomposition<ZT_Slot::draw_dci_rgb32_image> {
  static constexpr int32_t reentry_limit = 1;
  static void run(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition,
                  const ZT_DCI_Point* start, const ZT_DCI_Point* end, int32_t row_bytes,
                  const ZT_RGB32* pixels, int32_t, const ZT_Packing*);
};

template <>
struct ZD_Decomposition<ZT_Slot::draw_dci_index8_image> {
  static constexpr int32_t reentry_limit = 1;
  static void run(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition,
                  const ZT_DCI_Point* start, const ZT_DCI_Point* end, int32_t row_bytes,
                  const uint8_t* pixels);
};
