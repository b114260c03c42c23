// Drawing a polyline with one resolved variant: every segment lights its
// pixels from its first point up to, not including, its second; the last
// point is lit once at the end, by the closing rule.  Shared vertices are
// therefore lit once, and a closed polyline lights its start twice.
//
// Two entries: all points inside the buffer (the DCI form), and points
// anywhere (the clipped form).  The clipped form draws every run of two or
// more inside points as one polyline of its own, closing pixel included, and
// every segment with an end outside with the stepping of the whole segment,
// started where the rectangle begins, so that it lights exactly the pixels of
// the unclipped segment inside the rectangle, with the same colours and
// depths.
#pragma once

#include <cstdint>

#include "lines/line_rules.h"
#include "lines/safe_square_cut.h"
#include "lines/segment_stepper.h"

namespace lines {

// The two colour words of one segment: its colour twice, or the colours of its
// two points for shaded lines.
struct Segment_Colours {
  uint32_t start, end;
};

// The colours a call brought, by kind.
struct Index_Colours {
  uint8_t index;
  Index_Colours from(int32_t) const { return *this; }
  Segment_Colours segment(int32_t) const { return {index, index}; }
  uint32_t closing(int32_t) const { return index; }
};
// Segment i has colour[i], or colour[0] for all with the single-colour flag;
// the closing pixel takes the last segment's colour.
struct Per_Segment_Colours {
  const ZT_RGB32* colours;
  bool single;
  // The colours of the polyline starting at point i.
  Per_Segment_Colours from(int32_t i) const { return {single ? colours : colours + i, single}; }
  Segment_Colours segment(int32_t i) const {
    const uint32_t w = colours[single ? 0 : i].word();
    return {w, w};
  }
  uint32_t closing(int32_t count) const { return colours[single ? 0 : count - 2].word(); }
};
struct Per_Vertex_Colours {
  const ZT_RGB32* colours;
  Per_Vertex_Colours from(int32_t i) const { return {colours + i}; }
  Segment_Colours segment(int32_t i) const { return {colours[i].word(), colours[i + 1].word()}; }
  uint32_t closing(int32_t count) const { return colours[count - 1].word(); }
};

// Makes the colour source of each segment; a dithered solid colour is reduced
// to its cube position once per colour word, not once per segment.
template <typename Source>
struct Source_Maker {
  const ZT_Color_Cube* cube;
  uint32_t last_word = 0;
  bool have_last = false;
  Source last{};

  Source make(Segment_Colours c, int32_t m) {
    if constexpr (std::is_same_v<Source, Solid<uint32_t>>)
      return {c.start};
    else if constexpr (std::is_same_v<Source, Solid<uint8_t>>)
      return {uint8_t(c.start)};
    else if constexpr (std::is_same_v<Source, Dithered_Solid>) {
      if (!have_last || c.start != last_word) {
        last = {pixel::dither_record(*cube, ZT_RGB32::from_word(c.start))};
        last_word = c.start;
        have_last = true;
      }
      return last;
    } else if constexpr (std::is_same_v<Source, Shaded_Dithered>)
      return {c.start, c.end, m, cube};
    else
      return Source(c.start, c.end, m);
  }
};

// The pen at pixel 0 of a segment from depth z0 to z1.
template <typename Drawing, typename Source>
typename Drawing::Pen pen_for(const Segment& s, int32_t z0, int32_t z1, Source colour) {
  if constexpr (Drawing::Segment_Rule::Depth::enabled)
    return {depth_start(z0), depth_step(z0, z1, s.length), colour};
  else
    return {0, 0, colour};
}

// What the closing pixel needs from the last segment drawn.
struct Last_Segment {
  int32_t z0 = 0, z1 = 0, length = 0;
};

// The segments' source maker is handed on so that a closing pixel of the same
// kind of source reuses what it found for the last segment's colour.
template <typename Drawing>
void draw_closing_pixel(const Drawing& d, int32_t x, int32_t y, const Last_Segment& last,
                        uint32_t colour, Source_Maker<typename Drawing::Source>& segment_maker) {
  if constexpr (Drawing::opaque_closing) colour |= pixel::opaque_alpha;
  const auto source = [&] {
    if constexpr (std::is_same_v<typename Drawing::Closing_Source, typename Drawing::Source>)
      return segment_maker.make({colour, colour}, 0);
    else
      return Source_Maker<typename Drawing::Closing_Source>{d.cube}.make({colour, colour}, 0);
  }();
  int64_t z = 0;
  if constexpr (Drawing::closing_depth == Closing_Depth::Point) z = last.z1;
  if constexpr (Drawing::closing_depth == Closing_Depth::Accumulated)
    z = depth_after_steps(last.z0, last.z1, last.length);
  d.closing.plot(y, x, z, source);
}

// All points inside the buffer (local coordinates = device - origin).
template <typename Drawing, typename Colours>
void draw_polyline_inside(const Drawing& d, int32_t count, const ZT_DCI_Point* points,
                          const Colours& colours) {
  const int32_t ox = d.segment.target.frame.origin_x, oy = d.segment.target.frame.origin_y;
  Source_Maker<typename Drawing::Source> maker{d.cube};
  Last_Segment last;
  for (int32_t i = 0; i + 1 < count; ++i) {
    const ZT_DCI_Point &p = points[i], &q = points[i + 1];
    const Segment s = segment_between(p.x - ox, p.y - oy, q.x - ox, q.y - oy);
    auto pen = pen_for<Drawing>(s, p.z, q.z, maker.make(colours.segment(i), s.length));
    step_segment(d.segment, s, {0, s.length - 1}, pen);
    last = {p.z, q.z, s.length};
  }
  const ZT_DCI_Point& end = points[count - 1];
  draw_closing_pixel(d, end.x - ox, end.y - oy, last, colours.closing(count), maker);
}

// Points anywhere.  codes[i] is point i's outcode against the device
// rectangle clip (which lies inside the buffer).  The walk goes from the first
// point: a maximal run of two or more inside points is drawn as one polyline,
// with its closing pixel, and the walk goes on from its last point; a segment
// whose ends lie beyond a common side is skipped; any other is first cut to
// the coordinate-safe square, then drawn from its first pixel inside the
// rectangle to its last.  So a crossing segment that starts where a run ended
// lights that point again, and a last point reached by a crossing segment is
// not lit here (the caller draws it first, as a dot).
template <typename Drawing, typename Colours>
void draw_polyline_clipped(const Drawing& d, const ZT_Int_Rectangle& clip, int32_t count,
                           const ZT_DCI_Point* points, const uint16_t* codes,
                           const Colours& colours) {
  const int64_t ox = d.segment.target.frame.origin_x, oy = d.segment.target.frame.origin_y;
  const ZT_Int_Rectangle local{int32_t(clip.left - ox), int32_t(clip.right - ox),
                               int32_t(clip.bottom - oy), int32_t(clip.top - oy)};
  Source_Maker<typename Drawing::Source> maker{d.cube};
  for (int32_t i = 0; i + 1 < count; ++i) {
    if ((codes[i] | codes[i + 1]) == 0) {
      int32_t last = i + 1;
      while (last + 1 < count && codes[last + 1] == 0) ++last;
      draw_polyline_inside(d, last - i + 1, points + i, colours.from(i));
      i = last - 1;  // on from the run's last point
      continue;
    }
    if (codes[i] & codes[i + 1]) continue;
    const Segment_Colours c = colours.segment(i);
    const ZT_DCI_Point &pi = points[i], &qi = points[i + 1];
    Line_End p{pi.x - ox, pi.y - oy, pi.z, c.start}, q{qi.x - ox, qi.y - oy, qi.z, c.end};
    if (!cut_to_safe_square(p, q, Drawing::interpolates_colour)) continue;
    const Segment s = segment_between(int32_t(p.x), int32_t(p.y), int32_t(q.x), int32_t(q.y));
    auto pen = pen_for<Drawing>(s, p.z, q.z, maker.make({p.colour, q.colour}, s.length));
    step_segment(d.segment, s, visible_pixels(s, local), pen);
  }
}

} // namespace lines
