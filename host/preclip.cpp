#include <algorithm>
#include <cmath>
#include <limits>

#include "host/convex_cut.h"
#include "host/zd_preclip.h"
#include "host/zt_rendition.h"

int32_t ZD_Preclip_Round(double v) {
  if (!(v == v)) return 0;
  const double r = v >= 0 ? v + 0.5 : v - 0.49999999999;
  if (r >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (r <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return int32_t(r);  // truncates toward zero
}

namespace {

using zd_host::along;
using zd_host::crossing;

bool finite(const ZT_Point_D& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

uint8_t mix_byte(double v) { return uint8_t(std::clamp(std::floor(v + 0.5), 0.0, 255.0)); }

ZT_RGB32 mix(const ZT_RGB32& a, const ZT_RGB32& b, double t) {
  auto m = [&](uint8_t x, uint8_t y) { return mix_byte(x + t * (double(y) - x)); };
  ZT_RGB32 c;
  c.b = m(a.b, b.b);
  c.g = m(a.g, b.g);
  c.r = m(a.r, b.r);
  c.a = m(a.a, b.a);
  return c;
}

// ---------------------------------------------------------------------------
// Segments.

struct Segment_Cut {
  double t0 = 0, t1 = 1;
  // Which side fixed each end: 0 none (the segment's own end), else the
  // outcode bit of the side, whose coordinate the cut point takes exactly.
  uint16_t side0 = 0, side1 = 0;
};

// Liang-Barsky: the part of the segment inside the rectangle, or false.
bool cut_segment(const ZT_Int_Rectangle& r, const ZT_Point_D& a, const ZT_Point_D& b,
                 Segment_Cut& cut) {
  if (!finite(a) || !finite(b)) return false;
  struct Side {
    uint16_t bit;
    double start, end, boundary;
    bool low;  // a lower bound (inside is start >= boundary)
  };
  const Side sides[4] = {{1, a.x, b.x, double(r.left), true},
                         {4, a.x, b.x, double(r.right), false},
                         {8, a.y, b.y, double(r.bottom), true},
                         {2, a.y, b.y, double(r.top), false}};
  for (const Side& s : sides) {
    const bool start_in = s.low ? s.start >= s.boundary : s.start <= s.boundary;
    const bool end_in = s.low ? s.end >= s.boundary : s.end <= s.boundary;
    if (start_in && end_in) continue;
    if (!start_in && !end_in) return false;
    const double t = std::clamp(crossing(s.start, s.end, s.boundary), 0.0, 1.0);
    if (!start_in) {
      if (t > cut.t0) cut.t0 = t, cut.side0 = s.bit;
    } else if (t < cut.t1) {
      cut.t1 = t, cut.side1 = s.bit;
    }
  }
  return cut.t0 <= cut.t1;
}

double clamp_to(double v, int32_t lo, int32_t hi) { return std::clamp(v, double(lo), double(hi)); }

// The point at t, its crossed side's coordinate exact, inside the rectangle.
ZT_DCI_Point point_at(const ZT_Int_Rectangle& r, const ZT_Point_D& a, const ZT_Point_D& b,
                      double t, uint16_t side) {
  double x = t == 0 ? a.x : t == 1 ? b.x : along(a.x, b.x, t);
  double y = t == 0 ? a.y : t == 1 ? b.y : along(a.y, b.y, t);
  const double z = t == 0 ? a.z : t == 1 ? b.z : along(a.z, b.z, t);
  if (side == 1) x = r.left;
  if (side == 4) x = r.right;
  if (side == 8) y = r.bottom;
  if (side == 2) y = r.top;
  return {ZD_Preclip_Round(clamp_to(x, r.left, r.right)),
          ZD_Preclip_Round(clamp_to(y, r.bottom, r.top)), ZD_Preclip_Round(z)};
}

}  // namespace

namespace {

// One end of a segment cut to the rectangle: its entry (head) or its exit
// (tail); without a crossing, the end itself, rounded.
bool cut_end(const ZT_Int_Rectangle& rectangle, const ZT_Point_D* segment, bool head,
             ZT_DCI_Point* out, const ZT_RGB32* colors, ZT_RGB32* out_color) {
  Segment_Cut cut;
  const bool found = cut_segment(rectangle, segment[0], segment[1], cut);
  const double t = found ? (head ? cut.t0 : cut.t1) : (head ? 1.0 : 0.0);
  const ZT_Point_D& end = segment[head ? 1 : 0];
  if (found) *out = point_at(rectangle, segment[0], segment[1], t, head ? cut.side0 : cut.side1);
  else *out = {ZD_Preclip_Round(end.x), ZD_Preclip_Round(end.y), ZD_Preclip_Round(end.z)};
  if (colors && out_color) *out_color = mix(colors[0], colors[1], t);
  return found;
}

}  // namespace

bool ZD_Preclip_Head(uint16_t, const ZT_Int_Rectangle& rectangle, const ZT_Point_D* segment,
                     ZT_DCI_Point* out, const ZT_RGB32* colors, ZT_RGB32* out_color) {
  return cut_end(rectangle, segment, true, out, colors, out_color);
}

bool ZD_Preclip_Tail(uint16_t, const ZT_Int_Rectangle& rectangle, const ZT_Point_D* segment,
                     ZT_DCI_Point* out, const ZT_RGB32* colors, ZT_RGB32* out_color) {
  return cut_end(rectangle, segment, false, out, colors, out_color);
}

bool ZD_Preclip_Ends(const uint16_t*, const ZT_Int_Rectangle& rectangle,
                     const ZT_Point_D* segment, ZT_DCI_Point* out, const ZT_RGB32* colors,
                     ZT_RGB32* out_colors) {
  Segment_Cut cut;
  if (!cut_segment(rectangle, segment[0], segment[1], cut)) return false;
  out[0] = point_at(rectangle, segment[0], segment[1], cut.t0, cut.side0);
  out[1] = point_at(rectangle, segment[0], segment[1], cut.t1, cut.side1);
  if (colors && out_colors) {
    out_colors[0] = mix(colors[0], colors[1], cut.t0);
    out_colors[1] = mix(colors[0], colors[1], cut.t1);
  }
  return true;
}

// ---------------------------------------------------------------------------
// Triangles: the outline cut by the four sides, each point carrying its
// barycentric weights in the original triangle; the attributes are made from
// the weights at the end.

namespace {

int64_t cross(const ZT_DCI_Point& o, const ZT_DCI_Point& a, const ZT_DCI_Point& b) {
  return (int64_t(a.x) - o.x) * (int64_t(b.y) - o.y) - (int64_t(a.y) - o.y) * (int64_t(b.x) - o.x);
}

}  // namespace

bool ZD_Preclip_2D_Triangle(ZT_Renderer_Data*, const ZT_Rendition& rendition,
                            const ZT_Int_Rectangle& rectangle, const ZT_Point_D* triangle,
                            int32_t* out_count, ZT_DCI_Point* out_points,
                            const ZT_RGB32* colors, ZT_RGB32* out_colors,
                            const ZT_Parameter* parameters, int32_t parameter_width,
                            ZT_Parameter* out_parameters, const float* vertex_w,
                            float* out_vertex_w, const ZT_Vector* normals,
                            ZT_Vector* out_normals) {
  *out_count = 0;
  if (!triangle || !finite(triangle[0]) || !finite(triangle[1]) || !finite(triangle[2]))
    return false;
  if (rectangle.left > rectangle.right || rectangle.bottom > rectangle.top) return false;

  using namespace zd_host;
  Cut_Polygon a = triangle_polygon({triangle[0].x, triangle[1].x, triangle[2].x},
                                   {triangle[0].y, triangle[1].y, triangle[2].y});
  a = keep_side(a, 0, rectangle.left, true);
  a = keep_side(a, 0, rectangle.right, false);
  a = keep_side(a, 1, rectangle.bottom, true);
  a = keep_side(a, 1, rectangle.top, false);
  if (a.n < 3) return false;

  // Round, dropping points that round onto their neighbour and points that
  // lie on the line through their neighbours.
  ZT_DCI_Point p[cut_capacity];
  const Cut_Point* source[cut_capacity];
  int32_t n = 0;
  for (int32_t i = 0; i < a.n; ++i) {
    const ZT_DCI_Point q{ZD_Preclip_Round(a.v[i].x), ZD_Preclip_Round(a.v[i].y), 0};
    if (n > 0 && q.x == p[n - 1].x && q.y == p[n - 1].y) continue;
    p[n] = q;
    source[n++] = &a.v[i];
  }
  while (n > 1 && p[0].x == p[n - 1].x && p[0].y == p[n - 1].y) --n;
  for (int32_t i = 0; n >= 3 && i < n;) {
    if (cross(p[(i + n - 1) % n], p[i], p[(i + 1) % n]) == 0) {
      for (int32_t k = i; k + 1 < n; ++k) p[k] = p[k + 1], source[k] = source[k + 1];
      --n;
      i = 0;
    } else {
      ++i;
    }
  }
  if (n < 3 || n > ZD_Preclip_Max_Points) return false;

  const bool perspective = (rendition->perspective & 1u) != 0 && vertex_w &&
                           std::isfinite(vertex_w[0]) && std::isfinite(vertex_w[1]) &&
                           std::isfinite(vertex_w[2]) && vertex_w[0] != 0 && vertex_w[1] != 0 &&
                           vertex_w[2] != 0;
  for (int32_t k = 0; k < n; ++k) {
    const int32_t i = strip_index(k, n);
    const double* l = source[i]->weight;
    const double z = l[0] * triangle[0].z + l[1] * triangle[1].z + l[2] * triangle[2].z;
    out_points[k] = {p[i].x, p[i].y, ZD_Preclip_Round(z)};
    if (colors && out_colors) {
      auto byte = [&](uint8_t ZT_RGB32::*m) {
        return mix_byte(l[0] * (colors[0].*m) + l[1] * (colors[1].*m) + l[2] * (colors[2].*m));
      };
      ZT_RGB32& c = out_colors[k];
      c.b = byte(&ZT_RGB32::b);
      c.g = byte(&ZT_RGB32::g);
      c.r = byte(&ZT_RGB32::r);
      c.a = byte(&ZT_RGB32::a);
    }
    if (normals && out_normals) {
      auto mixed = [&](float ZT_Vector::*m) {
        return float(l[0] * (normals[0].*m) + l[1] * (normals[1].*m) + l[2] * (normals[2].*m));
      };
      out_normals[k] = {mixed(&ZT_Vector::x), mixed(&ZT_Vector::y), mixed(&ZT_Vector::z)};
    }
    // Weights for w and the parameters: in perspective, those of 1 / w.
    double m[3] = {l[0], l[1], l[2]};
    double inverse_w = 0;
    if (perspective) {
      for (int32_t j = 0; j < 3; ++j) inverse_w += l[j] / vertex_w[j];
      if (inverse_w != 0)
        for (int32_t j = 0; j < 3; ++j) m[j] = l[j] / vertex_w[j] / inverse_w;
    }
    if (vertex_w && out_vertex_w)
      out_vertex_w[k] = perspective && inverse_w != 0
                            ? float(1 / inverse_w)
                            : float(m[0] * vertex_w[0] + m[1] * vertex_w[1] + m[2] * vertex_w[2]);
    if (parameters && out_parameters && parameter_width > 0)
      for (int32_t j = 0; j < parameter_width; ++j) {
        const ZT_Parameter* s[3] = {&parameters[j], &parameters[parameter_width + j],
                                    &parameters[2 * parameter_width + j]};
        auto mixed = [&](float ZT_Parameter::*f) {
          return float(m[0] * (s[0]->*f) + m[1] * (s[1]->*f) + m[2] * (s[2]->*f));
        };
        out_parameters[k * parameter_width + j] = {mixed(&ZT_Parameter::u),
                                                   mixed(&ZT_Parameter::v),
                                                   mixed(&ZT_Parameter::w)};
      }
  }
  *out_count = n;
  return true;
}
