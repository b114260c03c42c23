// The pre-clipped polylines: double-precision device points that may lie
// anywhere, drawn through the 2DI polyline of their kind as the action table
// holds it.  The same functions serve every configuration.  They do not
// rasterise or clip finely: they only keep every coordinate they hand on
// within 32 bits, and the 2DI action clips against the hard clip.
//
// For one call (pixel/window_local_call.h: origin (0, 0), local rendition),
// with the host's outcodes of the points against the far rectangle:
//   - every point inside: the whole polyline, converted, in one call;
//   - every point beyond one common side: nothing;
//   - otherwise, walking the points: each run of inside points goes as one
//     polyline, led by the point where the segment arriving from outside
//     enters the far rectangle (ZD_Preclip_Head) and closed by the point where
//     the segment after it leaves (ZD_Preclip_Tail); each segment between two
//     outside points that are not beyond one common side goes as a polyline of
//     its two cut points (ZD_Preclip_Ends) when it crosses the rectangle.
// A colorized piece takes the colours from its first segment on (the single
// flag unchanged); a Gouraud piece the colours of its points, those of cut
// points interpolated by the host.  A cut the host does not find (a NaN end)
// adds no point.  Fewer than two points, no points or no colours where the
// kind needs them draw nothing.
#include <cstdint>

#include "lines/line_actions.h"
#include "pixel/small_buffer.h"
#include "pixel/window_local_call.h"

namespace lines {
namespace {

// What the kinds differ in: the slot they hand on to, and the colours of a
// piece whose first point stands for point (or segment) i.  point_colours(i)
// gives the Gouraud colours from point i on, for the host's cuts.
struct Plain_Line {
  static constexpr ZT_Slot slot = ZT_Slot::draw_2di_polyline;
  bool missing() const { return false; }
  const ZT_RGB32* point_colours(int32_t) const { return nullptr; }
  void hand_on(const ZT_Action_Table& t, const ZT_Rendition& d, int32_t, int32_t n,
               const ZT_DCI_Point* p, const ZT_RGB32*) const {
    t.call<slot>(d, n, p);
  }
};

struct Colorized_Line {
  static constexpr ZT_Slot slot = ZT_Slot::draw_2di_colorized_polyline;
  const ZT_RGB32* colours;
  bool single;
  bool missing() const { return colours == nullptr; }
  const ZT_RGB32* point_colours(int32_t) const { return nullptr; }
  void hand_on(const ZT_Action_Table& t, const ZT_Rendition& d, int32_t i, int32_t n,
               const ZT_DCI_Point* p, const ZT_RGB32*) const {
    t.call<slot>(d, n, p, single ? colours : colours + i, single);
  }
};

struct Gouraud_Line {
  static constexpr ZT_Slot slot = ZT_Slot::draw_2di_gouraud_polyline;
  const ZT_RGB32* colours;
  bool missing() const { return colours == nullptr; }
  const ZT_RGB32* point_colours(int32_t i) const { return colours + i; }
  void hand_on(const ZT_Action_Table& t, const ZT_Rendition& d, int32_t, int32_t n,
               const ZT_DCI_Point* p, const ZT_RGB32* piece_colours) const {
    t.call<slot>(d, n, p, piece_colours);
  }
};

template <class Kind>
void draw_preclipped(ZT_Renderer_Data* renderer, const ZT_Rendition& caller, int32_t count,
                     const ZT_Point_D* points, const Kind& kind) {
  if (count < 2 || points == nullptr || kind.missing()) return;
  pixel::Renderer_State& r = pixel::Renderer_State::of(renderer);
  const pixel::Window_Local_Call call(r, caller);
  const ZT_Rendition& d = call.rendition();
  const ZT_Int_Rectangle far = call.far_rectangle();
  pixel::Small_Buffer<uint16_t> codes(count);
  const int32_t result = ZD_Clip(far, count, points, codes.data());
  if (result == 0) return;

  // A piece's points, and for Gouraud its colours, at the indices of the points
  // they stand for: a cut point where the segment enters the rectangle takes
  // the slot of the outside point before the run, one where it leaves the slot
  // of the outside point after it, so a piece is one stretch of these arrays.
  pixel::Small_Buffer<ZT_DCI_Point> piece(count);
  const bool gathers = kind.point_colours(0) != nullptr;
  pixel::Small_Buffer<ZT_RGB32> piece_colours(gathers ? count : 0);
  const auto take_point = [&](int32_t k) {
    piece[k] = call.local_point(points[k]);
    if (gathers) piece_colours[k] = kind.point_colours(k)[0];
  };
  if (result == count) {
    for (int32_t k = 0; k < count; ++k) piece[k] = call.local_point(points[k]);
    return kind.hand_on(r.actions, d, 0, count, piece.data(), kind.point_colours(0));
  }

  // Cuts segment k .. k + 1 with the host's routine (Head or Tail) into slot.
  const auto cut_into = [&](auto cut_routine, uint16_t code, int32_t k, int32_t slot) {
    ZT_DCI_Point at;
    ZT_RGB32 colour;
    const ZT_RGB32* ends = kind.point_colours(k);
    if (!cut_routine(code, far, points + k, &at, ends, ends ? &colour : nullptr)) return false;
    piece[slot] = call.relative(at);
    if (gathers) piece_colours[slot] = colour;
    return true;
  };

  for (int32_t i = 0; i < count;) {
    if (codes[i] != 0) {
      // An outside point: the segment to the next one, when that is outside
      // too and the two are not beyond one common side.
      if (i + 1 < count && codes[i + 1] != 0 && (codes[i] & codes[i + 1]) == 0) {
        ZT_DCI_Point ends[2];
        ZT_RGB32 end_colours[2];
        const ZT_RGB32* colours = kind.point_colours(i);
        if (ZD_Preclip_Ends(codes.data() + i, far, points + i, ends, colours,
                            colours ? end_colours : nullptr)) {
          ends[0] = call.relative(ends[0]);
          ends[1] = call.relative(ends[1]);
          kind.hand_on(r.actions, d, i, 2, ends, end_colours);
        }
      }
      ++i;
      continue;
    }
    // A run of inside points from i, entered from outside unless it starts
    // the polyline, left again unless it ends it.
    int32_t first = i, end = i;
    if (i > 0 && cut_into(ZD_Preclip_Head, codes[i - 1], i - 1, i - 1)) first = i - 1;
    for (; end < count && codes[end] == 0; ++end) take_point(end);
    int32_t last = end - 1;
    if (end < count && cut_into(ZD_Preclip_Tail, codes[end], end - 1, end)) last = end;
    kind.hand_on(r.actions, d, first, last - first + 1, piece.data() + first,
                 gathers ? piece_colours.data() + first : nullptr);
    i = end;
  }
}

void plain(ZT_Renderer_Data* r, const ZT_Rendition& d, int32_t count, const ZT_Point_D* points) {
  draw_preclipped(r, d, count, points, Plain_Line{});
}
void colorized(ZT_Renderer_Data* r, const ZT_Rendition& d, int32_t count,
               const ZT_Point_D* points, const ZT_RGB32* colours, bool single) {
  draw_preclipped(r, d, count, points, Colorized_Line{colours, single});
}
void gouraud(ZT_Renderer_Data* r, const ZT_Rendition& d, int32_t count, const ZT_Point_D* points,
             const ZT_RGB32* colours) {
  draw_preclipped(r, d, count, points, Gouraud_Line{colours});
}

}  // namespace
}  // namespace lines

std::span<const Slot_Installation> preclip_polyline_actions() {
  static const Slot_Installation list[] = {
      install<ZT_Slot::draw_preclip_polyline>(&lines::plain),
      install<ZT_Slot::draw_preclip_colorized_polyline>(&lines::colorized),
      install<ZT_Slot::draw_preclip_gouraud_polyline>(&lines::gouraud),
  };
  return list;
}
