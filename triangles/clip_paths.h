// The clipping rasterisers of the strips whose points may lie anywhere (the
// integer-point actions with unclipped points): flat (C, D), colorized and
// Gouraud, for every configuration, unmasked and as masked twins.
//
//   Colorized_Clip_Path<Config_F, true>   the masked colorized clip path of F
//
// Against the hard-clip rectangle within the window (Clip_Window) and the
// outcodes of the points (Strip_Outcodes):
//   - a strip wholly inside goes unchanged to the unclipped rasteriser of the
//     same kind, and so does each run of inside triangles, as one strip with
//     the colours at the run's start.  In F these go through the action
//     table's integer-point entry, so whatever is installed there draws them,
//     and B's Gouraud strips through B's own DCI Gouraud action;
//   - triangles beyond one side of the rectangle are skipped;
//   - each straddling triangle is cut to the square within which the fixed
//     point formats hold (safe_pieces.h) and scanned through the clip window
//     (clipped_scan.h), with the pixel rules of the unclipped rasteriser of the
//     same kind: its shades, depth rule and coverage, chosen once per call.
//     Gouraud triangles whose colours barely change go to the colorized clip
//     path first, as the unclipped Gouraud rasterisers send them to theirs.
// Colours advance per triangle (colorized, single clear) or per point
// (Gouraud) whether a triangle was drawn, skipped or clipped.
#pragma once

#include <array>
#include <cstdint>

#include "triangles/clipped_scan.h"
#include "triangles/safe_pieces.h"
#include "triangles/strip_outcodes.h"
#include "triangles/triangle_rasterisers.h"

namespace triangles {

// The action of slot S in configuration C, its gates included
// (triangle_dispatch.h).
template <ZT_Slot S, class C, class... A>
void send_to_action(pixel::Renderer_State& r, const ZT_Rendition& d, A... a);

// Hands a strip that needs no clipping on: F through the action table, B's
// Gouraud strips to B's own DCI Gouraud action (which hands transparent ones
// to A: B's 2DI Gouraud action does not look at the transparency bit, so its
// straddling triangles stay B's), every other to the unclipped rasteriser of
// its kind.
template <ZT_Slot Slot, class C, class Rasteriser, class... A>
inline void draw_inside(const Strip_Context& s, A... a) {
  if constexpr (C::id == Configuration::F)
    s.renderer.actions.call<Slot>(s.rendition, a...);
  else if constexpr (C::id == Configuration::B && Slot == ZT_Slot::draw_dci_gouraud_polytriangle)
    send_to_action<Slot, C>(s.renderer, s.rendition, a...);
  else
    Rasteriser::draw(s.renderer, s.rendition, a...);
}

// The walk every clip path shares.  inside(i, n) draws points i .. i + n - 1
// unclipped; straddling(paint, i) draws triangle i with the call's painter.
template <bool Masked, Depth_Rule Rule, class Shape, class Inside, class Straddling>
inline void clip_strip(const Strip_Context& s, const Clip_Window& clip, int32_t count,
                       const ZT_DCI_Point* points, Inside&& inside, Straddling&& straddling) {
  Strip_Outcodes codes(clip.device, count, points);
  if (codes.all_inside()) return inside(0, count);
  if (codes.nothing_visible()) return;
  bool walked = false;
  with_painter<Masked, Rule, Shape>(s, [&](auto paint) {
    codes.walk(inside, [&](int32_t i) { straddling(paint, i); });
    walked = true;
  });
  // A face that fills nothing clips nothing; its runs still go where inside
  // strips go.
  if (!walked) codes.walk(inside, [](int32_t) {});
}

constexpr auto no_channels = [](ZT_RGB32) { return std::array<int32_t, 0>{}; };

// The clipping worker: one straddling triangle, piece by piece within the safe
// square, through the clip window.
template <int Channels, class Painter, class Shade, class Contrast, class Channels_Of>
inline void paint_straddling(const Painter& paint, const Clip_Window& clip, const Strip_Context& s,
                             const ZT_DCI_Point* p, const Shade& shade, const Contrast& contrast,
                             const ZT_RGB32* colours, Channels_Of&& channels_of) {
  for_each_safe_piece<Channels>(p, colours, s.depth_offset, channels_of,
                                [&](const Vertex<Channels>(&v)[3]) {
                                  paint(clip, v, shade, contrast);
                                });
}

template <class C, bool Masked>
struct Flat_Clip_Path {
  static void draw(pixel::Renderer_State& r, const ZT_Rendition& d, int32_t count,
                   const ZT_DCI_Point* points) {
    const Strip_Context s(r, d, Masked);
    const Clip_Window clip(d->hard_clip, s.frame);
    if (clip.empty()) return;
    Flat_Pixels<C>::with_shades(s, [&](const auto& shade, const auto& contrast) {
      clip_strip<Masked, one_colour_depth_rule<C>(Masked), Flat_Index_Shape>(
          s, clip, count, points,
          [&](int32_t i, int32_t n) {
            draw_inside<ZT_Slot::draw_dci_polytriangle, C, Flat_Rasteriser<C, Masked>>(
                s, n, points + i);
          },
          [&](const auto& paint, int32_t i) {
            paint_straddling<0>(paint, clip, s, points + i, shade, contrast, nullptr, no_channels);
          });
    });
  }
};

template <class C, bool Masked>
struct Colorized_Clip_Path {
  using Unclipped = Colorized_Rasteriser<C, Masked>;

  static void draw(pixel::Renderer_State& r, const ZT_Rendition& d, int32_t count,
                   const ZT_DCI_Point* points, const ZT_RGB32* colours, bool single) {
    const Strip_Context s(r, d, Masked);
    const Clip_Window clip(d->hard_clip, s.frame);
    if (!clip.empty()) draw(s, clip, count, points, colours, single);
  }

  static void draw(const Strip_Context& s, const Clip_Window& clip, int32_t count,
                   const ZT_DCI_Point* points, const ZT_RGB32* colours, bool single) {
    if (Unclipped::draws_nothing(colours, single)) return;
    Colorized_Pixels<C> pixels(s);
    clip_strip<Masked, one_colour_depth_rule<C>(Masked), Colorized_Shape<C>>(
        s, clip, count, points,
        [&](int32_t i, int32_t n) {
          draw_inside<ZT_Slot::draw_dci_colorized_polytriangle, C, Unclipped>(
              s, n, points + i, single ? colours : colours + i, single);
        },
        [&](const auto& paint, int32_t i) {
          pixels.triangle(colours[single ? 0 : i], [&](const auto& shade, const auto& contrast) {
            paint_straddling<0>(paint, clip, s, points + i, shade, contrast, nullptr, no_channels);
          });
        });
  }
};

template <class C, bool Masked>
struct Gouraud_Clip_Path {
  using Pixels = Gouraud_Pixels<C>;

  static void draw(pixel::Renderer_State& r, const ZT_Rendition& d, int32_t count,
                   const ZT_DCI_Point* points, const ZT_RGB32* colours) {
    const Strip_Context s(r, d, Masked);
    const Clip_Window clip(d->hard_clip, s.frame);
    if (clip.empty()) return;
    const auto shade = Pixels::shade(s);
    const auto contrast = Pixels::contrast(s);
    const auto channels_of = [&](ZT_RGB32 c) { return Pixels::channels_of(r.color_cube, c); };
    clip_strip<Masked, Pixels::depth_rule, Span_Loop>(
        s, clip, count, points,
        [&](int32_t i, int32_t n) {
          draw_inside<ZT_Slot::draw_dci_gouraud_polytriangle, C, Gouraud_Rasteriser<C, Masked>>(
              s, n, points + i, colours + i);
        },
        [&](const auto& paint, int32_t i) {
          const ZT_RGB32* c = colours + i;
          if (near_constant(c[0], c[1], c[2]))
            return Colorized_Clip_Path<C, Masked>::draw(s, clip, 3, points + i, c, true);
          paint_straddling<Pixels::channels>(paint, clip, s, points + i, shade, contrast, c,
                                             channels_of);
        });
  }
};

}  // namespace triangles
