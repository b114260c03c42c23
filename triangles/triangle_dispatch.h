// The triangle actions: for every configuration and slot, the tests that hand a
// call on (to the host, to another configuration, to the masked twin, to the
// strip edges) in their exact order, ending in the rasteriser that draws.
//
// Each configuration's table (Triangle_Dispatch) lists its twelve actions as a
// chain of gates each; Triangle_Action<slot, configuration>::run is the function
// installed in the slot.  The first gate that applies takes the call.
#pragma once

#include <cstdint>
#include <type_traits>

#include "triangles/clip_paths.h"
#include "pixel/action_gates.h"
#include "pixel/configuration.h"
#include "pixel/fixed_point.h"
#include "pixel/small_buffer.h"
#include "triangles/strip_edges.h"
#include "triangles/triangle_rasterisers.h"

namespace triangles {

template <class C>
struct Triangle_Dispatch;

// The slots of this family and how they relate.
enum class Strip_Kind { Flat, Colorized, Gouraud };
// Where a slot's points come from: float device points (DC), integer device
// points (DCI), both already clipped; float (2D) and integer (2DI) points
// anywhere.
enum class Point_Space { DC, DCI, From_2D, From_2DI };

struct Slot_Shape {
  Strip_Kind kind;
  Point_Space space;
};

constexpr Slot_Shape shape_of(ZT_Slot s) {
  using K = Strip_Kind;
  using P = Point_Space;
  switch (s) {
  case ZT_Slot::draw_dc_polytriangle: return {K::Flat, P::DC};
  case ZT_Slot::draw_dci_polytriangle: return {K::Flat, P::DCI};
  case ZT_Slot::draw_2d_polytriangle: return {K::Flat, P::From_2D};
  case ZT_Slot::draw_2di_polytriangle: return {K::Flat, P::From_2DI};
  case ZT_Slot::draw_dc_colorized_polytriangle: return {K::Colorized, P::DC};
  case ZT_Slot::draw_dci_colorized_polytriangle: return {K::Colorized, P::DCI};
  case ZT_Slot::draw_2d_colorized_polytriangle: return {K::Colorized, P::From_2D};
  case ZT_Slot::draw_2di_colorized_polytriangle: return {K::Colorized, P::From_2DI};
  case ZT_Slot::draw_dc_gouraud_polytriangle: return {K::Gouraud, P::DC};
  case ZT_Slot::draw_dci_gouraud_polytriangle: return {K::Gouraud, P::DCI};
  case ZT_Slot::draw_2d_gouraud_polytriangle: return {K::Gouraud, P::From_2D};
  default: return {K::Gouraud, P::From_2DI};
  }
}

// The slot of a kind and a point space.
constexpr ZT_Slot triangle_slot(Strip_Kind kind, Point_Space space) {
  constexpr ZT_Slot slots[3][4] = {
      {ZT_Slot::draw_dc_polytriangle, ZT_Slot::draw_dci_polytriangle,
       ZT_Slot::draw_2d_polytriangle, ZT_Slot::draw_2di_polytriangle},
      {ZT_Slot::draw_dc_colorized_polytriangle, ZT_Slot::draw_dci_colorized_polytriangle,
       ZT_Slot::draw_2d_colorized_polytriangle, ZT_Slot::draw_2di_colorized_polytriangle},
      {ZT_Slot::draw_dc_gouraud_polytriangle, ZT_Slot::draw_dci_gouraud_polytriangle,
       ZT_Slot::draw_2d_gouraud_polytriangle, ZT_Slot::draw_2di_gouraud_polytriangle}};
  return slots[int(kind)][int(space)];
}
static_assert(triangle_slot(Strip_Kind::Gouraud, Point_Space::From_2DI) ==
              ZT_Slot::draw_2di_gouraud_polytriangle);

constexpr Strip_Kind kind_of(ZT_Slot s) { return shape_of(s).kind; }
// The integer-point slot a float-point slot rounds its points for.
constexpr ZT_Slot integer_slot_of(ZT_Slot s) {
  const Slot_Shape shape = shape_of(s);
  const Point_Space space = shape.space == Point_Space::DC        ? Point_Space::DCI
                            : shape.space == Point_Space::From_2D ? Point_Space::From_2DI
                                                                  : shape.space;
  return triangle_slot(shape.kind, space);
}
// The colorized slot of the same point space as a flat one.
constexpr ZT_Slot colorized_slot_of(ZT_Slot s) {
  return triangle_slot(Strip_Kind::Colorized, shape_of(s).space);
}
// Slots whose points may lie anywhere: their rasterisers clip.
constexpr bool clips_points(ZT_Slot s) { return shape_of(s).space == Point_Space::From_2DI; }

// The row of configuration C's table for slot S.
template <ZT_Slot S, class T>
struct Gates_In;
#define ZDI_TRIANGLE_GATES(slot, row) \
  template <class T>                  \
  struct Gates_In<ZT_Slot::slot, T> { \
    using type = typename T::row;     \
  };
ZDI_TRIANGLE_GATES(draw_dc_polytriangle, dc_flat)
ZDI_TRIANGLE_GATES(draw_dci_polytriangle, dci_flat)
ZDI_TRIANGLE_GATES(draw_2d_polytriangle, flat_2d)
ZDI_TRIANGLE_GATES(draw_2di_polytriangle, flat_2di)
ZDI_TRIANGLE_GATES(draw_dc_colorized_polytriangle, dc_colorized)
ZDI_TRIANGLE_GATES(draw_dci_colorized_polytriangle, dci_colorized)
ZDI_TRIANGLE_GATES(draw_2d_colorized_polytriangle, colorized_2d)
ZDI_TRIANGLE_GATES(draw_2di_colorized_polytriangle, colorized_2di)
ZDI_TRIANGLE_GATES(draw_dc_gouraud_polytriangle, dc_gouraud)
ZDI_TRIANGLE_GATES(draw_dci_gouraud_polytriangle, dci_gouraud)
ZDI_TRIANGLE_GATES(draw_2d_gouraud_polytriangle, gouraud_2d)
ZDI_TRIANGLE_GATES(draw_2di_gouraud_polytriangle, gouraud_2di)
#undef ZDI_TRIANGLE_GATES


// The rasteriser an integer-point slot of configuration C ends in: the
// unclipped one for DCI slots, the clip path for 2DI slots.
template <ZT_Slot S, class C, bool Masked>
using Rasteriser_Of = std::conditional_t<
    clips_points(S),
    std::conditional_t<
        kind_of(S) == Strip_Kind::Flat, Flat_Clip_Path<C, Masked>,
        std::conditional_t<kind_of(S) == Strip_Kind::Colorized, Colorized_Clip_Path<C, Masked>,
                           Gouraud_Clip_Path<C, Masked>>>,
    std::conditional_t<
        kind_of(S) == Strip_Kind::Flat, Flat_Rasteriser<C, Masked>,
        std::conditional_t<kind_of(S) == Strip_Kind::Colorized, Colorized_Rasteriser<C, Masked>,
                           Gouraud_Rasteriser<C, Masked>>>>;

// The flat slot of the same point space as a colorized or Gouraud one.
constexpr ZT_Slot flat_slot_of(ZT_Slot s) { return triangle_slot(Strip_Kind::Flat, shape_of(s).space); }

// A colorized or Gouraud call without a colour array draws in the rendition's
// colour (its index in the mapped configurations), as a polygon without colour
// does: the flat action of the same point space takes it, before any other gate.
struct No_Colours_To_Flat {
  static constexpr std::string_view name = "no colour array: flat action";
  template <class Family, ZT_Slot S, class C, class P, class... Rest>
  static bool take(pixel::Renderer_State& r, const ZT_Rendition& d, int32_t count, P points,
                   const ZT_RGB32* colours, Rest...) {
    if (colours) return false;
    pixel::send<Family, flat_slot_of(S), C>(r, d, count, points);
    return true;
  }
};

template <class Gate, class Row>
struct Row_Starting_With;
template <class Gate, class... G>
struct Row_Starting_With<Gate, pixel::Gates<G...>> {
  using type = pixel::Gates<Gate, G...>;
};

// The triangle family in the gate vocabulary: its rows (the colorized and
// Gouraud ones led by the colour-array test) and its rasterisers.
struct Triangle_Family {
  template <ZT_Slot S, class C>
  using Gates_Of = std::conditional_t<
      kind_of(S) == Strip_Kind::Flat, typename Gates_In<S, Triangle_Dispatch<C>>::type,
      typename Row_Starting_With<No_Colours_To_Flat,
                                 typename Gates_In<S, Triangle_Dispatch<C>>::type>::type>;
  template <ZT_Slot S, class C, bool Masked>
  using Rasteriser = Rasteriser_Of<S, C, Masked>;
};

// The function installed in triangle slot S of configuration C.
template <ZT_Slot S, class C>
using Triangle_Action = pixel::Gated_Action<Triangle_Family, S, C>;

template <ZT_Slot S, class C, class... A>
void send_to_action(pixel::Renderer_State& r, const ZT_Rendition& d, A... a) {
  pixel::send<Triangle_Family, S, C>(r, d, a...);
}

using namespace pixel::gate_vocabulary;

// ---------------------------------------------------------------------------
// Gates of this family only.  take<Family, slot, configuration>(state,
// rendition, arguments…) hands the call on and answers true, or answers false
// and lets the next gate look.

// The flat action under merge control: the colorized action of To with the
// current colour made opaque.
template <class To>
struct Merge_Opaque_To {
  static constexpr std::string_view name = "merge control: colorized action of the merging configuration";
  template <class Family, ZT_Slot S, class C, class P>
  static bool take(pixel::Renderer_State& r, const ZT_Rendition& d, int32_t count, P points) {
    if (!r.merge_in_force(d)) return false;
    ZT_RGB32 opaque = d->current_color;
    opaque.a = 255;
    pixel::send<Family, colorized_slot_of(S), To>(r, d, count, points, &opaque, true);
    return true;
  }
};

// The strip-edges bit: the strip's edges are drawn instead (float points
// rounded first).
struct Strip_Edges {
  static constexpr std::string_view name = "strip-edges bit: edges";
  template <class Family, ZT_Slot S, class C, class P, class... A>
  static bool take(pixel::Renderer_State& r, const ZT_Rendition& d, int32_t count,
                   const P* points, A...) {
    if (!(d->advanced_options & ZT_Advanced_Strip_Edges)) return false;
    draw_strip_edges(r, d, count, points);
    return true;
  }
};

// No colour buffer, or fewer than two points: nothing is drawn.
struct Nothing_To_Draw {
  static constexpr std::string_view name = "nothing to draw";
  template <class Family, ZT_Slot S, class C, class... A>
  static bool take(pixel::Renderer_State& r, const ZT_Rendition&, int32_t count, A...) {
    return !r.frame.has_color() || count < 2;
  }
};

// Last gates: they always take the call.

// The flat true-colour actions: the colorized action of the same space with the
// rendition's current colour for the whole strip.
struct As_Colorized {
  static constexpr std::string_view name = "colorized action in the current colour";
  template <class Family, ZT_Slot S, class C, class P>
  static bool take(pixel::Renderer_State& r, const ZT_Rendition& d, int32_t count, P points) {
    pixel::send<Family, colorized_slot_of(S), C>(r, d, count, points, &d->current_color, true);
    return true;
  }
};

// The float entries: points rounded (x and y, or x, y and z) into a buffer that
// lives in the call up to 64 points, then the integer action of the same kind
// and point space.
template <bool With_Depth>
struct Round_To_DCI {
  static constexpr std::string_view name =
      With_Depth ? "round x, y, z: integer action" : "round x, y: integer action";
  template <class Family, ZT_Slot S, class C, class... A>
  static bool take(pixel::Renderer_State& r, const ZT_Rendition& d, int32_t count,
                   const ZT_Point* points, A... a) {
    pixel::Small_Buffer<ZT_DCI_Point> rounded(count);
    if (count > 0) {
      // Rounding z along with x and y costs less than leaving it out; without
      // depth it is unused, and zero.
      pixel::round_device_points_xyz(points, count, rounded.data());
      if constexpr (!With_Depth)
        for (int32_t i = 0; i < count; ++i) rounded[i].z = 0;
    }
    pixel::send<Family, integer_slot_of(S), C>(r, d, count,
                                               static_cast<const ZT_DCI_Point*>(rounded.data()), a...);
    return true;
  }
};
using Round_XY = Round_To_DCI<false>;
using Round_XYZ = Round_To_DCI<true>;

// ---------------------------------------------------------------------------
// The dispatch tables, one per configuration: the actions with clipped points
// (DC, DCI), then those with points anywhere (2D, 2DI).  The float entries of
// the second kind round x, y and z in every configuration.
//
// Beyond the tests each action states for itself, one hand-off keeps a strip
// with points anywhere drawn as its inside part would be drawn by the integer
// action of clipped points: merge in B's colorized strips goes to A (after the
// host-pattern test, where B's integer colorized action tests it).  B's
// Gouraud strips of points anywhere do not look at the transparency bit: their
// straddling triangles are B's (stored opaque), and only their inside runs and
// whole strips reach B's integer Gouraud action, which hands transparent ones
// to A (clip_paths.h).  A's Gouraud strips test the mask once for the call.

template <>
struct Triangle_Dispatch<Config_A> {
  using dc_flat = Gates<As_Colorized>;
  using dci_flat = Gates<As_Colorized>;
  using dc_colorized = Gates<Pattern_To_Host, Round_XY>;
  using dci_colorized = Gates<Pattern_To_Host, Mask_To_Twin, Draw>;
  using dc_gouraud = Gates<Pattern_To_Host, Round_XY>;
  using dci_gouraud = Gates<Pattern_To_Host, Mask_To_Twin, Draw>;

  using flat_2d = Gates<As_Colorized>;
  using flat_2di = Gates<As_Colorized>;
  using colorized_2d = Gates<Pattern_To_Host, Round_XYZ>;
  using colorized_2di = Gates<Pattern_To_Host, Mask_To_Twin, Draw>;
  using gouraud_2d = Gates<Pattern_To_Host, Round_XYZ>;
  using gouraud_2di = Gates<Pattern_To_Host, Mask_To_Twin, Draw>;
};

template <>
struct Triangle_Dispatch<Config_B> {
  using dc_flat = Gates<Transparency_To<Config_A>, As_Colorized>;
  using dci_flat = Gates<Transparency_To<Config_A>, Merge_Opaque_To<Config_A>, As_Colorized>;
  using dc_colorized = Gates<Transparency_To<Config_A>, Pattern_To_Host, Round_XY>;
  using dci_colorized =
      Gates<Transparency_To<Config_A>, Pattern_To_Host, Merge_To<Config_A>, Mask_To_Twin, Draw>;
  using dc_gouraud = Gates<Transparency_To<Config_A>, Pattern_To_Host, Round_XY>;
  using dci_gouraud = Gates<Transparency_To<Config_A>, Pattern_To_Host, Mask_To_Twin, Draw>;

  using flat_2d = Gates<As_Colorized>;
  using flat_2di = Gates<Merge_Opaque_To<Config_A>, As_Colorized>;
  using colorized_2d = Gates<Transparency_To<Config_A>, Pattern_To_Host, Round_XYZ>;
  using colorized_2di =
      Gates<Transparency_To<Config_A>, Pattern_To_Host, Merge_To<Config_A>, Mask_To_Twin, Draw>;
  using gouraud_2d = Gates<Pattern_To_Host, Round_XYZ>;
  using gouraud_2di = Gates<Pattern_To_Host, Mask_To_Twin, Draw>;
};

template <>
struct Triangle_Dispatch<Config_C> {
  using dc_flat = Gates<Pattern_To_Host, Round_XY>;
  using dci_flat = Gates<Pattern_To_Host, Mask_To_Twin, Draw>;
  using dc_colorized = Gates<Pattern_To_Host, Round_XY>;
  using dci_colorized = Gates<Pattern_To_Host, Mask_To_Twin, Draw>;
  using dc_gouraud = Gates<Pattern_To_Host, Round_XY>;
  using dci_gouraud = Gates<Pattern_To_Host, Mask_To_Twin, Draw>;

  using flat_2d = Gates<Pattern_To_Host, Round_XYZ>;
  using flat_2di = Gates<Pattern_To_Host, Mask_To_Twin, Draw>;
  using colorized_2d = flat_2d;
  using colorized_2di = flat_2di;
  using gouraud_2d = flat_2d;
  using gouraud_2di = flat_2di;
};

template <>
struct Triangle_Dispatch<Config_D> {
  using dc_flat = Gates<Pattern_To_Host, Round_XYZ>;
  using dci_flat = Gates<Pattern_To_Host, Depth_Off_To<Config_C>, Mask_To_Twin, Draw>;
  using dc_colorized = Gates<Pattern_To_Host, Depth_Off_To<Config_C>, Round_XYZ>;
  using dci_colorized = Gates<Pattern_To_Host, Depth_Off_To<Config_C>, Mask_To_Twin, Draw>;
  using dc_gouraud = Gates<Pattern_To_Host, Round_XYZ>;
  using dci_gouraud = Gates<Pattern_To_Host, Depth_Off_To<Config_C>, Mask_To_Twin, Draw>;

  using flat_2d = Gates<Pattern_To_Host, Depth_Off_To<Config_C>, Round_XYZ>;
  using flat_2di = Gates<Pattern_To_Host, Depth_Off_To<Config_C>, Mask_To_Twin, Draw>;
  using colorized_2d = flat_2d;
  using colorized_2di = flat_2di;
  using gouraud_2d = flat_2d;
  using gouraud_2di = flat_2di;
};

// E has no masked twins: its rasterisers do not test the mask.
template <>
struct Triangle_Dispatch<Config_E> {
  using dc_flat = Gates<As_Colorized>;
  using dci_flat = Gates<As_Colorized>;
  using dc_colorized = Gates<Pattern_To_Host, Depth_Off_To<Config_A>, Round_XYZ>;
  using dci_colorized = Gates<Strip_Edges, Pattern_To_Host, Depth_Off_To<Config_A>, Draw>;
  using dc_gouraud = Gates<Pattern_To_Host, Depth_Off_To<Config_A>, Round_XYZ>;
  using dci_gouraud = Gates<Strip_Edges, Pattern_To_Host, Depth_Off_To<Config_A>, Draw>;

  using flat_2d = Gates<As_Colorized>;
  using flat_2di = Gates<As_Colorized>;
  using colorized_2d = dc_colorized;
  using colorized_2di = dci_colorized;
  using gouraud_2d = dc_gouraud;
  using gouraud_2di = dci_gouraud;
};

// F tests the transparency bit before the strip-edges bit for colorized strips
// of clipped points, after it for the others.
template <>
struct Triangle_Dispatch<Config_F> {
  using dc_flat = Gates<Transparency_To<Config_E>, As_Colorized>;
  using dci_flat = Gates<Transparency_To<Config_E>, As_Colorized>;
  using dc_colorized =
      Gates<Transparency_To<Config_E>, Pattern_To_Host, Depth_Off_To<Config_B>, Round_XYZ>;
  using dci_colorized = Gates<Transparency_To<Config_E>, Strip_Edges, Pattern_To_Host,
                              Depth_Off_To<Config_B>, Mask_To_Twin, Draw>;
  using dc_gouraud =
      Gates<Transparency_To<Config_E>, Pattern_To_Host, Depth_Off_To<Config_B>, Round_XYZ>;
  using dci_gouraud = Gates<Strip_Edges, Transparency_To<Config_E>, Pattern_To_Host,
                            Depth_Off_To<Config_B>, Mask_To_Twin, Draw>;

  using flat_2d = Gates<As_Colorized>;
  using flat_2di = Gates<As_Colorized>;
  using colorized_2d = Gates<Pattern_To_Host, Depth_Off_To<Config_B>, Round_XYZ>;
  using colorized_2di = Gates<Strip_Edges, Transparency_To<Config_E>, Pattern_To_Host,
                              Nothing_To_Draw, Depth_Off_To<Config_B>, Mask_To_Twin, Draw>;
  using gouraud_2d = colorized_2d;
  using gouraud_2di = dci_gouraud;
};

}  // namespace triangles
