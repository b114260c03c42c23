// Which rule each line variant of each configuration writes with.
//
// A line draw is fixed by three choices: the configuration (A..F), the kind
// of colour (one colour per segment, a palette index, or one colour per vertex
// interpolated) and the variant the gates chose (direct, merge, masked, masked
// with merge).  From them follow the pixel rule of the segments, the rule of
// the closing pixel and the colour sources.  Variants that come out the same
// (A's merge and B's merge, E's and F's masked lines, A's and B's masked
// shaded lines) are the same types, so their code exists once.
#pragma once

#include <type_traits>

#include "pixel/configuration.h"
#include "lines/line_pixel_rules.h"
#include "pixel/renderer_state.h"

namespace lines {

enum class Line_Kind {
  Solid,  // one colour word per segment (or one for all): the colorized lines
  Index,  // the rendition's palette index: the plain lines of C and D
  Shaded, // one colour per vertex, interpolated: the Gouraud lines
};

// Direct_Default_Depth is the direct variant of the lines that follow "ZBuffer
// Test" and "ZBuffer Write", taken while both are at their defaults (z <=
// stored, depth written): the same pixels, tested in one comparison.
enum class Line_Variant { Direct, Direct_Default_Depth, Merge, Masked, Masked_Merge };

// Where the gates find a variant.  Merge control is a variant of the solid
// lines of A and B and of C's index lines; C's colorized lines are never
// masked.
template <typename Config, Line_Kind Kind>
constexpr bool has_merge_variant = (Kind == Line_Kind::Solid && !Config::depth &&
                                    !Config::mapped) ||
                                   (Kind == Line_Kind::Index && Config::id == Configuration::C);
template <typename Config, Line_Kind Kind>
constexpr bool has_masked_variant = !(Kind == Line_Kind::Solid && Config::id == Configuration::C);
// D's lines and every masked or shaded line of E and F test z <= stored and
// always store; the solid lines of E and F, drawn directly, follow "ZBuffer
// Test" and "ZBuffer Write".
template <typename Config, Line_Kind Kind>
constexpr bool follows_depth_settings =
    Config::depth && !Config::mapped && Kind != Line_Kind::Shaded;

// How the closing pixel (the polyline's last point) takes its depth: not at
// all, the point's own 32-bit z, or the depth accumulator one step past the
// last segment's last pixel.  Either way z <= stored passes and the depth is
// stored.
enum class Closing_Depth { None, Point, Accumulated };

// The rules of one resolved variant, and the colour cube for the dithered
// sources.
template <typename Segment_Rule_, typename Closing_Rule_, typename Source_,
          typename Closing_Source_, Closing_Depth Closing_Z, bool Opaque_Closing>
struct Line_Drawing {
  using Segment_Rule = Segment_Rule_;
  using Closing_Rule = Closing_Rule_;
  using Source = Source_;
  using Closing_Source = Closing_Source_;
  using Pen = lines::Pen<Segment_Rule::Depth::enabled, Source>;
  static constexpr Closing_Depth closing_depth = Closing_Z;
  // The shaded lines that write three bytes close with alpha 255 too.
  static constexpr bool opaque_closing = Opaque_Closing;
  static constexpr bool interpolates_colour = !std::is_same_v<Source, Closing_Source>;

  Segment_Rule segment;
  Closing_Rule closing;
  const ZT_Color_Cube* cube;
};

namespace rules {

template <typename Depth>
Depth depth_of(const pixel::Renderer_State& r) {
  if constexpr (std::is_same_v<Depth, pixel::Depth_By_Mode_And_Flag>)
    return pixel::Depth_By_Mode_And_Flag(r.depth_test_mode, {r.depth_write != 0});
  else
    return {};
}
template <typename Write>
Write write_of(pixel::Renderer_State& r) {
  if constexpr (std::is_same_v<Write, pixel::Merge_Color>)
    return {r.merge_colors()};
  else
    return {};
}

} // namespace rules

template <typename Config, Line_Kind Kind, Line_Variant Variant>
struct Line_Rules {
  static constexpr bool masked =
      Variant == Line_Variant::Masked || Variant == Line_Variant::Masked_Merge;
  static constexpr bool merged =
      Variant == Line_Variant::Merge || Variant == Line_Variant::Masked_Merge;
  // Blending survives in the direct lines of A and E, and the masked solid
  // lines of A and B (one variant) blend too; merged pixels and the masked
  // variants of E and F and of the shaded lines store plainly.
  static constexpr bool blends =
      !merged && (masked ? !Config::depth && !Config::mapped && Kind == Line_Kind::Solid
                         : Config::blend);
  using Depth = std::conditional_t<
      !Config::depth, pixel::No_Depth,
      std::conditional_t<follows_depth_settings<Config, Kind> && Variant == Line_Variant::Direct,
                         pixel::Depth_By_Mode_And_Flag, pixel::Depth_Less_Equal<>>>;
  using Mask = std::conditional_t<masked, Complex_Clip_Mask, No_Mask>;
  using Pixel = typename Config::Pixel;
  using Write = std::conditional_t<merged, pixel::Merge_Color, std::conditional_t<blends, pixel::Blend_By_Alpha_Basic, pixel::Store_Color>>;
  // The closing pixel blends only without depth: E stores it plainly.
  using Closing_Write =
      std::conditional_t<merged, pixel::Merge_Color,
                         std::conditional_t<blends && !Config::depth, pixel::Blend_By_Alpha_Basic, pixel::Store_Color>>;
  using Closing_Depth_Rule = std::conditional_t<Config::depth, pixel::Depth_Less_Equal<>, pixel::No_Depth>;

  using Closing_Source =
      std::conditional_t<Kind == Line_Kind::Index, Solid<uint8_t>,
                         std::conditional_t<Config::mapped, Dithered_Solid, Solid<uint32_t>>>;
  using Source =
      std::conditional_t<Kind != Line_Kind::Shaded, Closing_Source,
                         std::conditional_t<Config::mapped, Shaded_Dithered,
                                            std::conditional_t<blends, Shaded<4>, Shaded<3>>>>;

  using Drawing = Line_Drawing<Pixel_Rule<Pixel, Mask, Depth, Write>,
                               Pixel_Rule<Pixel, Mask, Closing_Depth_Rule, Closing_Write>, Source,
                               Closing_Source,
                               !Config::depth   ? Closing_Depth::None
                               : Config::mapped ? Closing_Depth::Accumulated
                                                : Closing_Depth::Point,
                               Kind == Line_Kind::Shaded && !Config::mapped && !blends>;

  static Drawing make(pixel::Renderer_State& r, const Line_Target& t) {
    return {{t, rules::depth_of<Depth>(r), rules::write_of<Write>(r)},
            {t, {}, rules::write_of<Closing_Write>(r)},
            &r.color_cube};
  }
};

} // namespace lines
