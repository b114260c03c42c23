// The triangle rasterisers: flat, colorized (one colour per triangle) and
// Gouraud (one colour per vertex), for every configuration, unmasked and as
// masked twins.  Each is the one scan converter (triangle_scan.h) with a span
// writer made of the configuration's pixel rules, which the tables below give.
//
//   Colorized_Rasteriser<Config_E, false>   the colorized DCI rasteriser of E
//   Gouraud_Rasteriser<Config_F, true>      the masked Gouraud twin of F
//   Flat_Rasteriser<Config_C, false>        the flat rasteriser of C (C and D only:
//                                           the true-colour flat actions draw
//                                           through the colorized ones)
#pragma once

#include <cstdint>
#include <type_traits>

#include "triangles/clipped_scan.h"
#include "pixel/configuration.h"
#include "pixel/depth_policies.h"
#include "triangles/shades.h"
#include "triangles/span_writer.h"
#include "triangles/strip_context.h"

namespace triangles {

using namespace pixel::configurations;
using pixel::Depth_Rule;

// ---------------------------------------------------------------------------
// Pixel rules of the flat and colorized rasterisers:
//
//        colour                                     depth (unmasked; masked)
//   A    blend; alpha 255 stored; merge at alpha 255 none
//   B    store                                      none
//   C    dithered index (flat: the index, merged)   none
//   D    dithered index (flat: the index)           z <= stored, always written
//   E    blend                                      z <= stored, written by flag; no twin
//   F    store                                      by mode, written by flag;
//                                                   masked: z <= stored, always written
//
// Pattern holes with the background flag take the contrast colour (index in C
// and D), written like the triangle's colour except that in A it is stored
// (merged when merge is on), in E blended with its own alpha, and in C and D
// stored undithered.
// The depth rule of the triangles of one colour (flat and colorized).
template <class C>
constexpr Depth_Rule one_colour_depth_rule(bool masked) {
  switch (C::id) {
  case Configuration::D: return Depth_Rule::Fixed_Always;
  case Configuration::E: return Depth_Rule::Fixed_By_Flag;
  case Configuration::F: return masked ? Depth_Rule::Fixed_Always : Depth_Rule::By_Mode;
  default: return Depth_Rule::None;
  }
}

// Short spans: B's colorized spans of up to 16 pixels and C's flat spans of up
// to 8 are unrolled per length; A writes 8 pixels per iteration.
template <class C>
using Colorized_Shape = std::conditional_t<
    C::id == Configuration::A, Blocks_Of<8>,
    std::conditional_t<C::id == Configuration::B, Unrolled_Up_To<16>, Span_Loop>>;
using Flat_Index_Shape = Unrolled_Up_To<8>;

// The colour of each colorized triangle, as a shade and a contrast shade.  The
// mapped configurations keep the quantisation record while the colour stays.
template <class C>
class Colorized_Pixels {
public:
  explicit Colorized_Pixels(const Strip_Context& s) : s_(s) {}

  template <class Paint>
  void triangle(ZT_RGB32 colour, Paint&& paint) {
    const uint32_t word = colour.word();
    const uint32_t contrast = s_.rendition->contrast_color.word();
    if constexpr (C::mapped) {
      if (!record_ready_ || word != record_word_) {
        record_ = pixel::dither_record(s_.renderer.color_cube, colour);
        record_word_ = word;
        record_ready_ = true;
      }
      paint(Dither_Word{{record_}}, Store_Index(s_.rendition->contrast_index));
    } else if constexpr (C::id == Configuration::A) {
      if (s_.merge)
        paint(Merge_Word(word | pixel::opaque_alpha, {s_.merge_colors}),
              Merge_Word(contrast | pixel::opaque_alpha, {s_.merge_colors}));
      else if (pixel::alpha_of(word) == 255)
        paint(Store_Word(word), Store_Word(contrast));
      else
        paint(Blend_Word(word), Store_Word(contrast));
    } else if constexpr (C::id == Configuration::E) {
      paint(Blend_Word(word), Blend_Word(contrast));
    } else {
      paint(Store_Word(word), Store_Word(contrast));
    }
  }

private:
  const Strip_Context& s_;
  pixel::Dither_Record record_{};
  uint32_t record_word_ = 0;
  bool record_ready_ = false;
};

// Builds a span writer for one triangle and scan-converts it: unclipped, or
// (given a clip window, the vertices in walk coordinates) through the window.
template <class Shape, class Depth, class Coverage>
struct Triangle_Painter {
  const Strip_Context& s;
  Depth depth;
  Coverage coverage;

  template <class Shade, class Contrast>
  Span_Writer<Shade, Contrast, Depth, Coverage, Shape> writer(const Shade& shade,
                                                              const Contrast& contrast) const {
    return {s.frame, shade, contrast, depth, coverage};
  }

  template <int Channels, class Shade, class Contrast>
  void operator()(const Vertex<Channels> (&v)[3], const Shade& shade,
                  const Contrast& contrast) const {
    auto w = writer(shade, contrast);
    paint_triangle<Depth::enabled, Channels>(s, v, w);
  }
  template <int Channels, class Shade, class Contrast>
  void operator()(const Clip_Window& clip, const Vertex<Channels> (&v)[3], const Shade& shade,
                  const Contrast& contrast) const {
    auto w = writer(shade, contrast);
    paint_clipped_triangle<Depth::enabled, Channels>(clip, v, w);
  }
};

// Calls draw(painter) with the painter of a draw: its coverage, then its depth
// policy, each chosen once for the call.
template <bool Masked, Depth_Rule Rule, class Shape, class Draw>
inline void with_painter(const Strip_Context& s, Draw&& draw) {
  with_coverage<Masked>(s, [&](auto coverage) {
    pixel::with_depth_policy<Rule>(s.renderer.depth_test_mode, s.renderer.depth_write != 0,
                                   [&](auto depth) {
      draw(Triangle_Painter<Shape, decltype(depth), decltype(coverage)>{s, depth, coverage});
    });
  });
}

template <class C, bool Masked>
struct Colorized_Rasteriser {
  static void draw(pixel::Renderer_State& r, const ZT_Rendition& d, int32_t count,
                   const ZT_DCI_Point* points, const ZT_RGB32* colours, bool single) {
    draw(Strip_Context(r, d, Masked), count, points, colours, single);
  }

  // Configuration A, unmasked: a fully transparent single colour draws nothing.
  static bool draws_nothing(const ZT_RGB32* colours, bool single) {
    return C::id == Configuration::A && !Masked && single && colours[0].a == 0;
  }

  static void draw(const Strip_Context& s, int32_t count, const ZT_DCI_Point* points,
                   const ZT_RGB32* colours, bool single) {
    if (draws_nothing(colours, single)) return;
    with_painter<Masked, one_colour_depth_rule<C>(Masked), Colorized_Shape<C>>(s, [&](auto paint) {
      Colorized_Pixels<C> pixels(s);
      walk_strip<0>(s, count, points, [&](int32_t i, const Vertex<0>(&v)[3]) {
        pixels.triangle(colours[single ? 0 : i],
                        [&](const auto& shade, const auto& contrast) { paint(v, shade, contrast); });
      });
    });
  }
};

// The flat triangles of the mapped configurations: the current colour index
// (merged in C when merge is on), the contrast index for pattern holes.
template <class C>
struct Flat_Pixels {
  static_assert(C::mapped);
  template <class Paint>
  static void with_shades(const Strip_Context& s, Paint&& paint) {
    const ZT_Rendition_Data& d = *s.rendition;
    if constexpr (C::id == Configuration::C) {
      if (s.merge)
        return paint(Merge_Index(d.current_index, {s.merge_colors}),
                     Merge_Index(d.contrast_index, {s.merge_colors}));
    }
    paint(Store_Index(d.current_index), Store_Index(d.contrast_index));
  }
};

template <class C, bool Masked>
struct Flat_Rasteriser {
  static void draw(pixel::Renderer_State& r, const ZT_Rendition& d, int32_t count,
                   const ZT_DCI_Point* points) {
    const Strip_Context s(r, d, Masked);
    with_painter<Masked, one_colour_depth_rule<C>(Masked), Flat_Index_Shape>(s, [&](auto paint) {
      Flat_Pixels<C>::with_shades(s, [&](const auto& shade, const auto& contrast) {
        walk_strip<0>(s, count, points,
                      [&](int32_t, const Vertex<0>(&v)[3]) { paint(v, shade, contrast); });
      });
    });
  }
};

// ---------------------------------------------------------------------------
// Pixel rules of the Gouraud rasterisers (no merge control; depth, where there
// is a buffer, z <= stored and always written, whatever mode and flag say):
//
//   A, E  blue, green, red, alpha interpolated; alpha 255 stores, 0 leaves the
//         pixel (E still writes the depth), between blends
//   B, F  blue, green, red interpolated, stored with alpha 255
//   C, D  cube levels of red, green, blue interpolated, dithered one by one
//
// Pattern holes take the contrast colour as one value: stored (its index in C
// and D), in E under the alpha rule.
template <class C>
struct Gouraud_Pixels {
  static constexpr int channels = C::blend ? 4 : 3;
  static constexpr Depth_Rule depth_rule = C::depth ? Depth_Rule::Fixed_Always
                                                    : Depth_Rule::None;

  static auto shade(const Strip_Context& s) {
    if constexpr (C::mapped) return Dither_Levels{&s.renderer.color_cube};
    else if constexpr (C::blend) return Alpha_Rule_Channels{};
    else return Store_Channels{};
  }
  static auto contrast(const Strip_Context& s) {
    if constexpr (C::mapped) return Store_Index(s.rendition->contrast_index);
    else if constexpr (C::id == Configuration::E)
      return Alpha_Rule_Word(s.rendition->contrast_color.word());
    else return Store_Word(s.rendition->contrast_color.word());
  }
  // The values a vertex colour gives its channels: the colour's bytes, or for
  // the mapped configurations each component times the cube's scale (a cube
  // level with 8 fraction bits).
  static std::array<int32_t, channels> channels_of(const ZT_Color_Cube& cube, ZT_RGB32 c) {
    if constexpr (C::mapped) return {c.r * cube.red_scale, c.g * cube.green_scale,
                                     c.b * cube.blue_scale};
    else if constexpr (C::blend) return {c.b, c.g, c.r, c.a};
    else return {c.b, c.g, c.r};
  }
};

// Vertex colours whose blue, green and red each change by at most 3 from c0 to
// c1 and from c1 to c2 (alpha not compared, c0 and c2 not compared directly).
constexpr bool near_constant(ZT_RGB32 c0, ZT_RGB32 c1, ZT_RGB32 c2) {
  auto close = [](int32_t a, int32_t b) { return a - b >= -3 && a - b <= 3; };
  return close(c0.b, c1.b) && close(c0.g, c1.g) && close(c0.r, c1.r) && close(c1.b, c2.b) &&
         close(c1.g, c2.g) && close(c1.r, c2.r);
}

template <class C, bool Masked>
struct Gouraud_Rasteriser {
  using Pixels = Gouraud_Pixels<C>;

  static void draw(pixel::Renderer_State& r, const ZT_Rendition& d, int32_t count,
                   const ZT_DCI_Point* points, const ZT_RGB32* colours) {
    const Strip_Context s(r, d, Masked);
    const auto shade = Pixels::shade(s);
    const auto contrast = Pixels::contrast(s);
    with_painter<Masked, Pixels::depth_rule, Span_Loop>(s, [&](auto paint) {
      walk_strip<Pixels::channels>(
          s, count, points, [&](int32_t i, Vertex<Pixels::channels>(&v)[3]) {
            // Nearly uniform triangles are drawn flat, by the colorized
            // rasteriser with its own rules, as a strip of one triangle.
            if (near_constant(colours[i], colours[i + 1], colours[i + 2])) {
              Colorized_Rasteriser<C, Masked>::draw(s, 3, points + i, colours + i, true);
              return;
            }
            for (int k = 0; k < 3; ++k)
              v[k].channel = Pixels::channels_of(r.color_cube, colours[i + k]);
            paint(v, shade, contrast);
          });
    });
  }
};

}  // namespace triangles
