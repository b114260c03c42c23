// Single pixels: the dot (one point, an optional colour) and the polymarker
// (points drawn as one pixel each in the rendition's colour).  Their gates are
// in line_dispatch.h.
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
#include "pixel/renderer_state.h"

namespace lines {

// Calls f with the pixel rule of a point.
template <typename Config, bool Caller_Colour, typename F>
void with_point_rule(pixel::Renderer_State& r, const ZT_Rendition& rendition, F&& f) {
  using Pixel = typename Config::Pixel;
  Line_Target t{r.frame};
  if constexpr (!Config::depth) {
    auto with_mask = [&]<typename Mask>() {
      if constexpr (!Config::mapped || !Caller_Colour) {
        if (r.merge_in_force(rendition))
          return f(Pixel_Rule<Pixel, Mask, pixel::No_Depth, pixel::Merge_Color>{t, {}, {r.merge_colors()}});
      }
      using Write = std::conditional_t<Config::blend, pixel::Blend_By_Alpha_Basic, pixel::Store_Color>;
      f(Pixel_Rule<Pixel, Mask, pixel::No_Depth, Write>{t, {}, {}});
    };
    if (r.mask_active_for_draw(rendition)) {
      t.mask_rows = r.active_mask().bit_image->rows_by_y.data();
      with_mask.template operator()<Complex_Clip_Mask>();
    } else {
      with_mask.template operator()<No_Mask>();
    }
  } else if constexpr (Config::mapped) {
    f(Pixel_Rule<Pixel, No_Mask, pixel::Depth_Less_Equal<>, pixel::Store_Color>{t, {}, {}});
  } else {
    using Write = std::conditional_t<Config::blend, pixel::Blend_By_Alpha_Basic, pixel::Store_Color>;
    f(Pixel_Rule<Pixel, No_Mask, pixel::Depth_By_Mode_And_Flag, Write>{t, rules::depth_of<pixel::Depth_By_Mode_And_Flag>(r), {}});
  }
}

// Draws the points that lie inside the device rectangle clip (already cut to
// the buffer), in the caller's colour or, without one, the rendition's.
// Flattened: one point per call is the common use, where a call to the dither
// record and the record passed back through memory cost a fifth of the draw.
template <typename Config, bool Caller_Colour>
[[gnu::flatten]] void draw_points(pixel::Renderer_State& r, const ZT_Rendition& rendition, const ZT_RGB32* colour,
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
  const int32_t ox = r.frame.origin_x, oy = r.frame.origin_y;
  with_point_rule<Config, Caller_Colour>(r, rendition, [&](const auto& rule) {
    for (int32_t i = 0; i < count; ++i) {
      const ZT_DCI_Point& p = points[i];
      if (p.x < clip.left || p.x > clip.right || p.y < clip.bottom || p.y > clip.top) continue;
      rule.plot(p.y - oy, p.x - ox, int64_t(p.z), source);
    }
  });
}

// draw_dci_dot, once its gates have passed.  The point is trusted to lie in
// the buffer; one that does not is skipped rather than written outside it.
template <typename Config>
struct Dot_Rasteriser {
  static void draw(pixel::Renderer_State& r, const ZT_Rendition& rendition,
                   const ZT_DCI_Point* point, const ZT_RGB32* colour) {
    if (!point || !r.frame.has_color()) return;
    const ZT_Int_Rectangle clip = drawable_rectangle(r.frame, whole_plane);
    if (colour)
      draw_points<Config, true>(r, rendition, colour, 1, point, clip);
    else
      draw_points<Config, false>(r, rendition, nullptr, 1, point, clip);
  }
};

// draw_2di_polymarker, once its gates have passed: every point inside the
// hard-clip rectangle is one pixel.
template <typename Config>
struct Polymarker_Rasteriser {
  static void draw(pixel::Renderer_State& r, const ZT_Rendition& rendition, int32_t count,
                   const ZT_DCI_Point* points) {
    if (count < 1 || !points || !r.frame.has_color()) return;
    const ZT_Int_Rectangle clip = drawable_rectangle(r.frame, rendition->hard_clip);
    if (is_empty(clip)) return;
    draw_points<Config, false>(r, rendition, nullptr, count, points, clip);
  }
};

} // namespace lines
