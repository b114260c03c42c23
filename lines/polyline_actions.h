// The polyline actions: plain, colorized and Gouraud, each as a DCI action
// (points inside the buffer) and a 2DI action (points anywhere), in every
// configuration.  One template serves all of them; what differs is the slot
// (its arguments and the kind of colour) and the configuration.
//
// The gates come first (line_dispatch.h); then the rasteriser picks its
// variant: masked when a complex-clip mask applies (where the configuration
// has a masked variant), merge when merge control is in force (where it has a
// merge variant), direct otherwise.  A 2DI action whose points all lie inside
// the clip rectangle hands the call to the DCI action (the installed one, for
// the colorized and Gouraud kinds); otherwise it clips every segment exactly.
#pragma once

#include <cstdint>

#include "lines/drawable_rectangle.h"
#include "pixel/renderer_state.h"
#include "lines/polyline_drawing.h"
#include "pixel/small_buffer.h"

namespace lines {

enum class Polyline_Form { Plain, Colorized, Gouraud };

template <ZT_Slot S>
struct Polyline_Slot;
#define LINES_POLYLINE_SLOT(slot, form, dci_slot, clipped)                                         \
  template <>                                                                                      \
  struct Polyline_Slot<ZT_Slot::slot> {                                                            \
    static constexpr Polyline_Form form_value = Polyline_Form::form;                               \
    static constexpr ZT_Slot dci = ZT_Slot::dci_slot;                                              \
    static constexpr bool clips = clipped;                                                         \
  };
LINES_POLYLINE_SLOT(draw_dci_polyline, Plain, draw_dci_polyline, false)
LINES_POLYLINE_SLOT(draw_2di_polyline, Plain, draw_dci_polyline, true)
LINES_POLYLINE_SLOT(draw_dci_colorized_polyline, Colorized, draw_dci_colorized_polyline, false)
LINES_POLYLINE_SLOT(draw_2di_colorized_polyline, Colorized, draw_dci_colorized_polyline, true)
LINES_POLYLINE_SLOT(draw_dci_gouraud_polyline, Gouraud, draw_dci_gouraud_polyline, false)
LINES_POLYLINE_SLOT(draw_2di_gouraud_polyline, Gouraud, draw_dci_gouraud_polyline, true)
#undef LINES_POLYLINE_SLOT

template <typename Config, Polyline_Form Form>
constexpr Line_Kind kind_of = Form == Polyline_Form::Gouraud                  ? Line_Kind::Shaded
                              : Form == Polyline_Form::Plain&& Config::mapped ? Line_Kind::Index
                                                                              : Line_Kind::Solid;

// The colours of a call: the plain lines take the rendition's colour (its
// index in the mapped configurations) as one colour for every segment.
template <typename Config, Polyline_Form Form, typename... Extra>
auto colours_of(const ZT_Rendition& rendition, const Extra&... extra) {
  if constexpr (Form == Polyline_Form::Gouraud) {
    return Per_Vertex_Colours{extra...};
  } else if constexpr (Form == Polyline_Form::Colorized) {
    return Per_Segment_Colours{extra...};
  } else if constexpr (Config::mapped) {
    return Index_Colours{rendition->current_index};
  } else {
    return Per_Segment_Colours{&rendition->current_color, true};
  }
}

// A call the polyline rasterisers can draw: a colour buffer, two points or
// more, and for the colorized and Gouraud kinds a colour array.
template <typename... Extra>
bool can_draw(const pixel::Renderer_State& r, int32_t count, const ZT_DCI_Point* points,
              Extra... extra);

// The DCI action of the same kind draws a 2DI call whose points are all
// visible: the plain one of this configuration directly, the others through
// the action table (whatever is installed there).
template <ZT_Slot Dci, typename Config, typename... Extra>
void hand_to_dci(pixel::Renderer_State& r, const ZT_Rendition& rendition, int32_t count,
                 const ZT_DCI_Point* points, Extra... extra);

// The configuration's dot draws a point (line_dispatch.h).
template <typename Config>
void draw_dot(pixel::Renderer_State& r, const ZT_Rendition& rendition, const ZT_DCI_Point* point,
              const ZT_RGB32* colour);

// The colour of a polyline's last point drawn as a dot: the rendition's
// (plain: none given), the last segment's (colorized; colour[0] for all with
// the single-colour flag), the point's own (Gouraud).
inline const ZT_RGB32* last_point_colour(int32_t) { return nullptr; }
inline const ZT_RGB32* last_point_colour(int32_t count, const ZT_RGB32* colours, bool single) {
  return colours + (single ? 0 : count - 2);
}
inline const ZT_RGB32* last_point_colour(int32_t count, const ZT_RGB32* colours) {
  return colours + (count - 1);
}

// False when a colorized or Gouraud call brought no colour array.
inline bool has_colours() {
  return true;
}
template <typename... Rest>
bool has_colours(const ZT_RGB32* colours, Rest...) {
  return colours != nullptr;
}

template <typename... Extra>
bool can_draw(const pixel::Renderer_State& r, int32_t count, const ZT_DCI_Point* points,
              Extra... extra) {
  return r.frame.has_color() && count >= 2 && points && has_colours(extra...);
}

// "ZBuffer Test" passing z <= stored and "ZBuffer Write" on.
inline bool depth_settings_are_default(const pixel::Renderer_State& r) {
  return pixel::depth_compare_for_mode(r.depth_test_mode) == pixel::Depth_Compare::Less_Equal &&
         r.depth_write != 0;
}

// Calls f with the drawing of the variant the gates choose.
template <typename Config, Line_Kind Kind, typename F>
void with_line_drawing(pixel::Renderer_State& r, const ZT_Rendition& rendition,
                       const pixel::Frame& frame, F&& f) {
  Line_Target t{frame};
  if constexpr (has_masked_variant<Config, Kind>) {
    if (r.mask_active_for_draw(rendition)) {
      t.mask_rows = r.active_mask().bit_image->rows_by_y.data();
      if constexpr (has_merge_variant<Config, Kind>)
        if (r.merge_in_force(rendition))
          return f(Line_Rules<Config, Kind, Line_Variant::Masked_Merge>::make(r, t));
      return f(Line_Rules<Config, Kind, Line_Variant::Masked>::make(r, t));
    }
  }
  if constexpr (has_merge_variant<Config, Kind>)
    if (r.merge_in_force(rendition))
      return f(Line_Rules<Config, Kind, Line_Variant::Merge>::make(r, t));
  if constexpr (follows_depth_settings<Config, Kind>)
    if (depth_settings_are_default(r))
      return f(Line_Rules<Config, Kind, Line_Variant::Direct_Default_Depth>::make(r, t));
  f(Line_Rules<Config, Kind, Line_Variant::Direct>::make(r, t));
}

// The polyline rasteriser of slot S in configuration Config, once the gates
// have passed (line_dispatch.h).  A 2DI call whose points all lie inside the
// clip rectangle goes to the DCI action; otherwise every segment is clipped
// exactly.
template <ZT_Slot S, typename Config>
struct Polyline_Rasteriser {
  template <typename... Extra>
  static void draw(pixel::Renderer_State& r, const ZT_Rendition& rendition, int32_t count,
                   const ZT_DCI_Point* points, Extra... extra);
};

template <ZT_Slot S, typename Config>
template <typename... Extra>
void Polyline_Rasteriser<S, Config>::draw(pixel::Renderer_State& r, const ZT_Rendition& rendition,
                                          int32_t count, const ZT_DCI_Point* points,
                                          Extra... extra) {
  using Slot = Polyline_Slot<S>;
  constexpr Polyline_Form form = Slot::form_value;
  constexpr Line_Kind kind = kind_of<Config, form>;
  // The DCI actions are promised two points or more and a buffer; a call
  // without them draws nothing rather than fail.
  if (!can_draw(r, count, points, extra...)) return;

  // A copy of the frame: the pixel stores cannot alias it.
  const pixel::Frame frame = r.frame;
  // The DCI actions trust their points to lie in the buffer; one that does
  // not is drawn clipped to the buffer rather than written out of it.
  const ZT_Int_Rectangle clip =
      drawable_rectangle(frame, Slot::clips ? rendition->hard_clip : whole_plane);
  if (is_empty(clip)) return;
  const auto colours = colours_of<Config, form>(rendition, extra...);
  if (all_inside(clip, count, points)) {
    if constexpr (Slot::clips) {
      // Everything visible: the DCI action draws it.
      return hand_to_dci<Slot::dci, Config>(r, rendition, count, points, extra...);
    }
    return with_line_drawing<Config, kind>(r, rendition, frame, [&](const auto& drawing) {
      draw_polyline_inside(drawing, count, points, colours);
    });
  }
  pixel::Small_Buffer<uint16_t> codes(count);
  if (ZD_Clip(clip, count, points, codes.data()) == 0) return;
  // A last point inside reached from outside is lit by no segment and no run:
  // the configuration's dot draws it, first.
  if (codes[count - 1] == 0 && codes[count - 2] != 0)
    draw_dot<Config>(r, rendition, points + (count - 1), last_point_colour(count, extra...));
  with_line_drawing<Config, kind>(r, rendition, frame, [&](const auto& drawing) {
    draw_polyline_clipped(drawing, clip, count, points, codes.data(), colours);
  });
}

} // namespace lines
