#include "host/standard_line_decompositions.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/line_pieces.h"
#include "host/marker_symbols.h"
#include "host/zd_preclip.h"
#include "host/zt_renderer_data.h"

namespace {

using zd_host::Line_Point;

constexpr double widest_line = 4096;

// Where dashes can show: the hard clip, widened by half the line's weight and a
// margin.  A clip larger than the window (it may reach across the coordinate
// range) is first cut to the window as the renderer's options place it; a
// smaller one is kept as it is, which also holds inside the renderer's
// window-local calls, whose clip is already the window's in local coordinates.
// A dash pattern is walked pixel by pixel only there, so a segment across the
// whole coordinate range costs what lies near the window.
ZT_Int_Rectangle reach(ZT_Renderer_Data* renderer, const ZT_Int_Rectangle& clip, double weight) {
  int64_t left = clip.left, right = clip.right, bottom = clip.bottom, top = clip.top;
  if (renderer) {
    const ZT_Renderer_Options& o = *renderer->renderer_options();
    const ZT_Int_Point origin = o.local_coordinates() ? ZT_Int_Point{0, 0} : o.window_origin();
    const ZT_Int_Point size = o.window_size();
    if (right - left >= size.x || top - bottom >= size.y) {
      left = std::max<int64_t>(left, origin.x);
      right = std::min<int64_t>(right, int64_t(origin.x) + size.x - 1);
      bottom = std::max<int64_t>(bottom, origin.y);
      top = std::min<int64_t>(top, int64_t(origin.y) + size.y - 1);
    }
  }
  const int64_t m = int64_t(weight / 2) + 2;
  auto at = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  return {at(left - m), at(right + m), at(bottom - m), at(top + m)};
}

// The rendition the pieces of a line are drawn with: no style, no width.
ZT_Rendition thin_copy(const ZT_Rendition& rendition) {
  ZT_Rendition copy = rendition;
  if (copy->line_style != 0 || copy->line_weight > 1) {
    ZT_Rendition_Data* d = copy.modify();
    d->line_style = 0;
    d->line_weight = 1;
  }
  return copy;
}

// The rendition the filled pieces of a line or marker are drawn with.
ZT_Rendition face_copy(const ZT_Rendition& thin) {
  ZT_Rendition copy = thin;
  copy.modify()->advanced_options &= ~uint32_t(ZT_Advanced_Strip_Edges | ZT_Advanced_Transparency);
  ZT_Face_Attributes* face = copy.modify_face();
  face->pattern_index = ZT_Pattern_Solid;
  face->pattern_flags = 0;
  face->depth_offset = 0;
  return copy;
}

uint8_t mix_byte(uint8_t a, uint8_t b, double t) {
  return uint8_t(std::clamp(std::floor(a + t * (double(b) - a) + 0.5), 0.0, 255.0));
}

struct Line_Colors {
  const ZT_RGB32* colors;
  bool single;
  ZD_Line_Colors kind;
  int32_t count;

  // The colour of the segment a piece starts on.
  ZT_RGB32 of_segment(const Line_Point& p) const {
    return colors[single ? 0 : std::clamp(p.segment, 0, std::max(count - 2, 0))];
  }
  // The colour at a point.
  ZT_RGB32 at(const Line_Point& p) const {
    const int32_t i = std::clamp(p.segment, 0, count - 1);
    const int32_t j = std::min(i + 1, count - 1);
    const ZT_RGB32 a = colors[i], b = colors[j];
    ZT_RGB32 c;
    c.b = mix_byte(a.b, b.b, p.t);
    c.g = mix_byte(a.g, b.g, p.t);
    c.r = mix_byte(a.r, b.r, p.t);
    c.a = mix_byte(a.a, b.a, p.t);
    return c;
  }
};

ZT_DCI_Point rounded(const Line_Point& p) {
  return {ZD_Preclip_Round(p.x), ZD_Preclip_Round(p.y), ZD_Preclip_Round(p.z)};
}

void draw_thin(ZT_Renderer_Data* renderer, const ZT_Rendition& thin,
               const std::vector<Line_Point>& dash, const Line_Colors& c) {
  const int32_t n = int32_t(dash.size());
  std::vector<ZT_DCI_Point> points(dash.size());
  for (int32_t i = 0; i < n; ++i) points[std::size_t(i)] = rounded(dash[std::size_t(i)]);
  std::vector<ZT_RGB32> colors;
  switch (c.kind) {
  case ZD_Line_Colors::Plain:
    renderer->actions.call<ZT_Slot::draw_2di_polyline>(thin, n, points.data());
    return;
  case ZD_Line_Colors::Per_Segment:
    for (const Line_Point& p : dash) colors.push_back(c.of_segment(p));
    renderer->actions.call<ZT_Slot::draw_2di_colorized_polyline>(thin, n, points.data(),
                                                                  colors.data(), c.single);
    return;
  case ZD_Line_Colors::Per_Vertex:
    for (const Line_Point& p : dash) colors.push_back(c.at(p));
    renderer->actions.call<ZT_Slot::draw_2di_gouraud_polyline>(thin, n, points.data(),
                                                                colors.data());
    return;
  }
}

void draw_wide(ZT_Renderer_Data* renderer, const ZT_Rendition& face,
               const std::vector<Line_Point>& path, double weight, const Line_Colors& c) {
  for (const zd_host::Wide_Piece& piece : zd_host::wide_pieces(path, weight)) {
    ZT_DCI_Point points[4];
    ZT_RGB32 colors[4];
    for (int32_t k = 0; k < piece.count; ++k) points[k] = rounded(piece.p[k]);
    switch (c.kind) {
    case ZD_Line_Colors::Plain:
      renderer->actions.call<ZT_Slot::draw_2di_polytriangle>(face, piece.count,
                                                             static_cast<const ZT_DCI_Point*>(points));
      break;
    case ZD_Line_Colors::Per_Segment:
      colors[0] = c.of_segment(piece.p[0]);
      renderer->actions.call<ZT_Slot::draw_2di_colorized_polytriangle>(
          face, piece.count, static_cast<const ZT_DCI_Point*>(points),
          static_cast<const ZT_RGB32*>(colors), true);
      break;
    case ZD_Line_Colors::Per_Vertex:
      for (int32_t k = 0; k < piece.count; ++k) colors[k] = c.at(piece.p[k]);
      renderer->actions.call<ZT_Slot::draw_2di_gouraud_polytriangle>(
          face, piece.count, static_cast<const ZT_DCI_Point*>(points),
          static_cast<const ZT_RGB32*>(colors));
      break;
    }
  }
}

}  // namespace

void ZD_Draw_Host_Polyline(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition,
                           int32_t count, const ZT_DCI_Point* points, const ZT_RGB32* colors,
                           bool single, ZD_Line_Colors kind) {
  if (count < 1 || !points || (kind != ZD_Line_Colors::Plain && !colors)) return;
  const Line_Colors c{colors, single, kind, count};
  const ZT_Rendition thin = thin_copy(rendition);
  const double weight = std::min<double>(rendition->line_weight, widest_line);
  const uint32_t style = uint32_t(rendition->line_style);
  std::vector<std::vector<Line_Point>> pieces;
  if (style != 0) pieces = zd_host::dashes(points, count, style, reach(renderer, rendition->hard_clip, weight));
  else pieces.push_back(zd_host::line_points(points, count));
  if (weight > 1) {
    const ZT_Rendition face = face_copy(thin);
    for (const auto& piece : pieces) draw_wide(renderer, face, piece, weight, c);
  } else {
    for (auto& piece : pieces) {
      if (piece.size() == 1) piece.push_back(piece.front());
      draw_thin(renderer, thin, piece, c);
    }
  }
}

void ZD_Draw_Host_Polymarker(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition,
                             int32_t count, const ZT_DCI_Point* points) {
  if (count < 1 || !points || rendition->marker_style == 0) return;
  const zd_host::Marker_Symbol& symbol = zd_host::marker_symbol(rendition->marker_style);
  const ZT_Rendition thin = thin_copy(rendition);
  const ZT_Rendition face = face_copy(thin);
  for (int32_t i = 0; i < count; ++i) {
    const ZT_DCI_Point& at = points[i];
    for (int32_t s = 0; s < symbol.strokes; ++s) {
      const zd_host::Marker_Stroke& stroke = symbol.stroke[s];
      ZT_DCI_Point p[16];
      for (int32_t k = 0; k < stroke.count; ++k)
        p[k] = {int32_t(int64_t(at.x) + stroke.offset[k].x),
                int32_t(int64_t(at.y) + stroke.offset[k].y), at.z};
      renderer->actions.call<ZT_Slot::draw_2di_polyline>(thin, stroke.count,
                                                         static_cast<const ZT_DCI_Point*>(p));
    }
    for (int32_t f = 0; f < symbol.fills; ++f) {
      const zd_host::Marker_Fill& fill = symbol.fill[f];
      ZT_Point p[4];
      for (int32_t k = 0; k < fill.count; ++k)
        p[k] = {float(double(at.x) + fill.offset[k][0]), float(double(at.y) + fill.offset[k][1]),
                float(at.z)};
      renderer->actions.call<ZT_Slot::draw_2d_polytriangle>(face, fill.count,
                                                            static_cast<const ZT_Point*>(p));
    }
  }
}
