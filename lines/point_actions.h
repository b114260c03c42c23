// Single pixels: the dot (one point, an optional colour) and the polymarker
// (points drawn as one pixel each in the rendition's colour).
//
// Per configuration, a point is written
//   A  mask; merge control when in force, else the alpha rule
//   B  mask; merge control when in force, else a plain store
//   C  mask; a caller's colour dithered into the cube and stored; without one,
//      the rendition's index, through merge control when in force
//   D  z <= stored with the depth always stored; dithered colour or index
//   E  "ZBuffer Test" and "ZBuffer Write"; the alpha rule
//   F  "ZBuffer Test" and "ZBuffer Write"; a plain store
// The depth configurations draw as their sibling without depth when the
// rendition turns depth testing off, and do not consult the mask.  A point's
// z is compared as the signed 32-bit value it is; its low 16 bits are stored.
#pragma once

#include <cstdint>

#include "lines/drawable_rectangle.h"
#include "lines/line_rules.h"
#include "core/mask_cache.h"

namespace lines {

// Calls f with the pixel rule of a point.
template <typename Config, bool Caller_Colour, typename F>
void with_point_rule(Software_Z_Buffer& r, const ZT_Rendition& rendition, F&& f) {
  using Pixel = typename Config::Pixel;
  Line_Target t{pixel::frame_of(r)};
  if constexpr (!Config::depth) {
    auto with_mask = [&]<typename Mask>() {
      if constexpr (!Config::mapped || !Caller_Colour) {
        if (pixel::merge_in_force(r, rendition))
          return f(Pixel_Rule<Pixel, Mask, No_Depth, Merge>{t, {}, {pixel::merge_colors_of(r)}});
      }
      using Write = std::conditional_t<Config::blend, Alpha_Blend, Store>;
      f(Pixel_Rule<Pixel, Mask, No_Depth, Write>{t, {}, {}});
    };
    if (mask_active_for_draw(r, rendition)) {
      t.mask_rows = pixel::active_mask(r).bit_image->rows_by_y.data();
      with_mask.template operator()<Complex_Clip_Mask>();
    } else {
      with_mask.template operator()<No_Mask>();
    }
  } else if constexpr (Config::mapped) {
    f(Pixel_Rule<Pixel, No_Mask, Depth_Less_Equal_Store, Store>{t, {}, {}});
  } else {
    using Write = std::conditional_t<Config::blend, Alpha_Blend, Store>;
    f(Pixel_Rule<Pixel, No_Mask, Depth_By_Mode, Write>{t, rules::depth_of<Depth_By_Mode>(r), {}});
  }
}

// Draws the points that lie inside the device rectangle clip (already cut to
// the buffer), in the caller's colour or, without one, the rendition's.
template <typename Config, bool Caller_Colour>
void draw_points(Software_Z_Buffer& r, const ZT_Rendition& rendition, const ZT_RGB32* colour,
                 int32_t count, const ZT_DCI_Point* points, const ZT_Int_Rectangle& clip) {
  using Source =
      std::conditional_t<Config::mapped,
                         std::conditional_t<Caller_Colour, Dithered_Solid, Solid<uint8_t>>,
                         Solid<uint32_t>>;
  Source source;
  if constexpr (Config::mapped && Caller_Colour)
    source = {pixel::dither_record(r.color_cube, *colour)};
  else if constexpr (Config::mapped)
    source = {rendition->current_index};
  else
    source = {(Caller_Colour ? *colour : rendition->current_color).word()};
  const int32_t ox = r.window_origin.x, oy = r.window_origin.y;
  with_point_rule<Config, Caller_Colour>(r, rendition, [&](const auto& rule) {
    for (int32_t i = 0; i < count; ++i) {
      const ZT_DCI_Point& p = points[i];
      if (p.x < clip.left || p.x > clip.right || p.y < clip.bottom || p.y > clip.top) continue;
      rule.plot(p.y - oy, p.x - ox, int64_t(p.z), source);
    }
  });
}

// draw_dci_dot.  The point is trusted to lie in the buffer; one that does not
// is skipped rather than written outside it.
template <typename Config>
void dot_action(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition,
                const ZT_DCI_Point* point, const ZT_RGB32* colour) {
  if constexpr (Config::depth)
    if (!rendition->depth_test_active)
      return dot_action<typename Config::Without_Depth>(renderer, rendition, point, colour);
  Software_Z_Buffer& r = *Software_Z_Buffer::from(renderer);
  if (!point || r.color_buffer.empty()) return;
  const ZT_Int_Rectangle clip = drawable_rectangle(pixel::frame_of(r), whole_plane);
  if (colour)
    draw_points<Config, true>(r, rendition, colour, 1, point, clip);
  else
    draw_points<Config, false>(r, rendition, nullptr, 1, point, clip);
}

// draw_2di_polymarker.  Gates in order: A and E hand an opaque colour to B
// and F; E and F with depth testing off draw as A and B; a marker symbol goes
// to the host; then every point inside the hard-clip rectangle is one pixel.
template <typename Config>
void polymarker_action(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition, int32_t count,
                       const ZT_DCI_Point* points) {
  if constexpr (Config::blend) {
    using Opaque = pixel::Config<Config::depth ? Configuration::F : Configuration::B>;
    if (pixel::alpha_of(rendition->current_color.word()) == 255)
      return polymarker_action<Opaque>(renderer, rendition, count, points);
  }
  if constexpr (Config::depth)
    if (!rendition->depth_test_active)
      return polymarker_action<typename Config::Without_Depth>(renderer, rendition, count, points);
  if (rendition->marker_style != 0)
    return ZD_Standard_Draw_2DI_Polymarker(renderer, rendition, count, points);
  Software_Z_Buffer& r = *Software_Z_Buffer::from(renderer);
  if (count < 1 || !points || r.color_buffer.empty()) return;
  const ZT_Int_Rectangle clip = drawable_rectangle(pixel::frame_of(r), rendition->hard_clip);
  if (is_empty(clip)) return;
  draw_points<Config, false>(r, rendition, nullptr, count, points, clip);
}

} // namespace lines
