// The textured rasterisers of one variant, modulated or not:
//
//   Textured_Rasterisers<V, M>::dci      a strip of points inside the window
//   Textured_Rasterisers<V, M>::run_2di  the 2DI action: points anywhere
//   Textured_Rasterisers<V, M>::dc, ::from_2d   the float entries (points
//                                        rounded first)
//   Lit_Rasterisers::dci, ::dc            the lit strips of D opaque
//
// Each is the triangle scan converter (triangles/triangle_scan.h) with the
// textured walker (texel_interpolants.h) and a span writer made of the
// variant's texel colour policy (texel_colours.h).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "pixel/fixed_point.h"
#include "pixel/small_buffer.h"
#include "textured/texel_colours.h"
#include "textured/texel_span_writer.h"
#include "textured/textured_call.h"
#include "triangles/coverage.h"
#include "triangles/shades.h"
#include "triangles/strip_outcodes.h"
#include "triangles/triangle_clipper.h"

namespace textured {

// Calls draw(rule, contrast) with the texel colour policy of a variant and the
// policy of pattern holes with the background flag:
//
//        texel                                          hole
//   F    stored (modulated: bytes scaled, alpha 255)    contrast colour stored
//   E    blended by its alpha, depth always stored      contrast colour by its alpha
//   D    dithered index                                 contrast index
//   D alpha  as D, alpha 0 leaving pixel and depth      contrast index
template <class V, bool Modulated, class Draw>
inline void with_texel_rule(const Textured_Call& call, Draw&& draw) {
  const ZT_Rendition_Data& d = *call.rendition;
  const ZT_Color_Cube& cube = call.renderer.color_cube;
  if constexpr (V::kind == Variant_Kind::F) {
    const triangles::Store_Word contrast(d.contrast_color.word());
    if constexpr (Modulated) draw(Modulate_Texel{}, contrast);
    else draw(Store_Texel{}, contrast);
  } else if constexpr (V::kind == Variant_Kind::E) {
    draw(Blend_Texel<Modulated>{}, triangles::Alpha_Rule_Word(d.contrast_color.word()));
  } else {
    draw(Dither_Texel<Modulated, V::kind == Variant_Kind::D_Alpha>(cube),
         triangles::Store_Index(d.contrast_index));
  }
}

// Calls draw(repeats) with whether both axes of the call's texture repeat (a
// compile-time bool: the span writers leave the no-repeat test out then).
template <class Draw>
inline void with_wrap(const Textured_Call& call, Draw&& draw) {
  if (call.image.lookup().repeats()) draw(std::true_type{});
  else draw(std::false_type{});
}

// Draws the triangles of a strip inside the window through one span writer.
// make(j, vertex) makes the vertex of point j.
template <bool Mean, class Rule, class Contrast, class Coverage, class Make>
inline void paint_strip(const Textured_Call& call, const Rule& rule, const Contrast& contrast,
                        const Coverage& coverage, int32_t count, Make&& make) {
  using Vertex = Texel_Vertex<Rule::colours, Rule::lit>;
  with_wrap(call, [&](auto repeats) {
    using Writer = Texel_Span_Writer<Rule, Contrast, Coverage, decltype(repeats)::value>;
    const Writer writer{call.frame, call.image.lookup(), rule, contrast, coverage};
    Whole_Texel_Spans<Writer, Mean> spans{writer};
    walk_textured_strip<Vertex>(count, make, [&](int32_t, const Vertex& a, const Vertex& b,
                                                  const Vertex& c) {
      triangles::scan_triangle<true, 0>(a, b, c, call.rows(), spans);
    });
  });
}

// Calls paint(coverage, mean) with the coverage of the rendition's face
// pattern; nothing when the face fills nothing.  Mean: the solid path of E and
// F, whose two-pixel spans take the mean.
template <class V, class Paint>
inline void with_face_coverage(const Textured_Call& call, Paint&& paint) {
  triangles::Face_Pattern pattern;
  switch (triangles::face_fill(call.rendition, pattern)) {
  case triangles::Face_Fill::Nothing: return;
  case triangles::Face_Fill::Solid:
    paint(triangles::Solid_Coverage{}, std::bool_constant<V::two_pixel_mean>{});
    return;
  case triangles::Face_Fill::Patterned:
    paint(triangles::Pattern_Coverage{pattern}, std::false_type{});
    return;
  }
}

// One straddling triangle of a 2DI strip (three points, their colours or
// null, their texture coordinates): used as it is when it lies within the
// guard rectangle (the coordinate-safe square), else cut to it by the general
// triangle clipper, which carries colours and texture coordinates to the new
// points; then scanned through the clip window, solid, every span linear.
template <class V, class Rule, class Contrast>
inline void paint_clipped_triangle(const Textured_Call& call, const triangles::Clip_Window& clip,
                                   const Rule& rule, const Contrast& contrast,
                                   const ZT_DCI_Point* p, const ZT_RGB32* colours,
                                   const ZT_Parameter (&t)[3]) {
  // (Straddling triangles are few: one writer, with the no-repeat test.)
  using Writer = Texel_Span_Writer<Rule, Contrast, triangles::Solid_Coverage, false>;
  using Vertex = Texel_Vertex<Rule::colours, false>;
  const Writer writer{call.frame, call.image.lookup(), rule, contrast, {}};
  Clipped_Texel_Spans<Writer> spans{writer, clip};
  auto paint = [&](int32_t n, const ZT_DCI_Point* q, const ZT_RGB32* c, const ZT_Parameter* u) {
    for (int32_t i = 0; i + 2 < n; ++i) {
      Vertex v[3];
      for (int32_t k = 0; k < 3; ++k) {
        call.place_for_clipping(q[i + k], v[k]);
        call.texel_coordinates(u[i + k], v[k]);
        if constexpr (Rule::colours > 0)
          v[k].extra.colour = colour_values<V, Rule::colours>(call.renderer.color_cube, c[i + k]);
      }
      triangles::scan_triangle<true, 0>(v[0], v[1], v[2], clip.rows(), spans);
    }
  };
  if (triangles::within_safe_square(p[0]) && triangles::within_safe_square(p[1]) &&
      triangles::within_safe_square(p[2]))
    return paint(3, p, colours, t);
  Clipped_Strip pieces;
  clip_triangle({p, Rule::colours > 0 ? colours : nullptr, t, nullptr},
                triangles::coordinate_safe_square, pieces);
  paint(pieces.count, pieces.points, pieces.colors, pieces.parameters);
}

template <class V, bool Modulated>
struct Textured_Rasterisers {
  static constexpr int colours = Modulated ? V::colour_channels : 0;

  // A strip of points inside the window.
  static void dci(const Textured_Call& call, int32_t count, const ZT_DCI_Point* points,
                  const ZT_RGB32* colours_in, Texel_Parameters parameters) {
    if (!call.has_buffers()) return;
    with_texel_rule<V, Modulated>(call, [&](const auto& rule, const auto& contrast) {
      with_face_coverage<V>(call, [&](const auto& coverage, auto mean) {
        paint_strip<decltype(mean)::value>(
            call, rule, contrast, coverage, count, [&](int32_t j, auto& v) {
              if (!call.place(points[j], v)) return false;
              call.texel_coordinates(parameters.of(j), v);
              if constexpr (colours > 0)
                v.extra.colour = colour_values<V, colours>(call.renderer.color_cube, colours_in[j]);
              return true;
            });
      });
    });
  }

  // The 2DI action: the strip's points against the hard-clip rectangle.  A
  // strip wholly inside is drawn as above; otherwise triangles beyond one side
  // are skipped, each run of inside triangles is drawn as above in one call,
  // and each straddling triangle is drawn alone, clipped.  Colours advance one
  // per point, parameters one group per point.
  static void run_2di(const Textured_Call& call, int32_t count, const ZT_DCI_Point* points,
                      const ZT_RGB32* colours_in, Texel_Parameters parameters) {
    if (!call.has_buffers() || count < 2) return;
    triangles::Strip_Outcodes codes(call.rendition->hard_clip, count, points);
    if (codes.all_inside()) return dci(call, count, points, colours_in, parameters);
    if (codes.nothing_visible()) return;
    const triangles::Clip_Window clip(call.rendition->hard_clip, call.frame);
    with_texel_rule<V, Modulated>(call, [&](const auto& rule, const auto& contrast) {
      codes.walk(
          [&](int32_t i, int32_t n) {
            dci(call, n, points + i, colours > 0 ? colours_in + i : nullptr, parameters.from(i));
          },
          [&](int32_t i) {
            if (clip.empty()) return;
            const ZT_Parameter t[3] = {parameters.of(i), parameters.of(i + 1),
                                       parameters.of(i + 2)};
            paint_clipped_triangle<V>(call, clip, rule, contrast, points + i,
                                      colours > 0 ? colours_in + i : nullptr, t);
          });
    });
  }

  // The float entries: points rounded (x, y and z) into a buffer that lives in
  // the call up to 64 points.
  static void dc(const Textured_Call& call, int32_t count, const ZT_Point* points,
                 const ZT_RGB32* colours_in, Texel_Parameters parameters) {
    pixel::Small_Buffer<ZT_DCI_Point> rounded(count);
    if (count > 0) pixel::round_device_points_xyz(points, count, rounded.data());
    dci(call, count, rounded.data(), colours_in, parameters);
  }
  static void from_2d(const Textured_Call& call, int32_t count, const ZT_Point* points,
                      const ZT_RGB32* colours_in, Texel_Parameters parameters) {
    pixel::Small_Buffer<ZT_DCI_Point> rounded(count);
    if (count > 0) pixel::round_device_points_xyz(points, count, rounded.data());
    run_2di(call, count, rounded.data(), colours_in, parameters);
  }
};

// A light level as the lit rasteriser takes it: NaN as 0, and held within
// 0 .. 32 times a full channel, so that every product below fits its integer.
inline float light_level(float v) { return v > 0 ? std::min(v, 32.0f) : 0.0f; }

// A float truncated toward zero into 32 bits, saturating.
inline int32_t truncated(float v) {
  if (!(v == v)) return 0;
  if (v >= 2147483648.0f) return INT32_MAX;
  if (v <= -2147483648.0f) return INT32_MIN;
  return int32_t(v);
}

// The lit strips of D opaque.  The face material lights every point twice, on
// copies of the rendition coloured opaque white and opaque black (made on the
// strip's first triangle, kept for the call), giving per channel k a white
// level Wk and a black level Bk.  The walkers carry in place of colours a
// factor Dk, 8.8 like a colour channel, from trunc(Wk × scale × 255) (or, on
// a modulated texture with colours, trunc((scale × colour byte) × Wk)), and an
// offset Bk × 255 × scale, in single precision, carried times 255 × 256 so
// that at a pixel it adds to texel × Dk directly.
struct Lit_Rasterisers {
  static void dci(const Textured_Call& call, bool modulate, int32_t count,
                  const ZT_DCI_Point* points, const ZT_RGB32* colours_in,
                  Texel_Parameters parameters, const ZT_Vector* normals) {
    if (!call.has_buffers() || count < 3) return;
    const ZT_Counted_Ptr<ZT_Basic_Material> material = call.rendition->face->material;
    if (!material) return;
    const bool modulated = modulate && colours_in;
    const ZT_Color_Cube& cube = call.renderer.color_cube;
    const Light_Texel rule(cube);
    const std::array<int32_t, 3>& scale = rule.cube.scale;
    const triangles::Store_Index contrast(call.rendition->contrast_index);
    std::optional<ZT_Rendition> white, black;
    auto make = [&](int32_t j, auto& v) {
      if (!call.place(points[j], v)) return false;
      call.texel_coordinates(parameters.of(j), v);
      if (!white) {
        white.emplace(call.rendition);
        white->set_color(ZT_RGB32(255, 255, 255, 255), false);
        black.emplace(call.rendition);
        black->set_color(ZT_RGB32(0, 0, 0, 255), false);
      }
      const ZT_Light_Levels lit = material->lighting(*white, normals[j]);
      const ZT_Light_Levels unlit = material->lighting(*black, normals[j]);
      const uint8_t bytes[3] = {modulated ? colours_in[j].b : uint8_t(0),
                                modulated ? colours_in[j].g : uint8_t(0),
                                modulated ? colours_in[j].r : uint8_t(0)};
      for (int k = 0; k < 3; ++k) {
        const float w = light_level(lit[k]);
        v.extra.colour[k] = modulated ? truncated(float(scale[k] * bytes[k]) * w)
                                      : truncated(w * float(scale[k]) * 255.0f);
        v.extra.offsets.offset[k] = light_level(unlit[k]) * 255.0f * float(scale[k]) * 65280.0f;
      }
      return true;
    };
    with_face_coverage<D_Opaque>(call, [&](const auto& coverage, auto) {
      paint_strip<false>(call, rule, contrast, coverage, count, make);
    });
  }
  static void dc(const Textured_Call& call, bool modulate, int32_t count, const ZT_Point* points,
                 const ZT_RGB32* colours_in, Texel_Parameters parameters,
                 const ZT_Vector* normals) {
    pixel::Small_Buffer<ZT_DCI_Point> rounded(count);
    if (count > 0) pixel::round_device_points_xyz(points, count, rounded.data());
    dci(call, modulate, count, rounded.data(), colours_in, parameters, normals);
  }
};

}  // namespace textured
