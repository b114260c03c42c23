#include "triangles/triangle_clipper.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "triangles/convex_strip.h"
#include "pixel/fixed_point.h"

namespace {

// ---- Attributes as linear functions of (x, y) --------------------------------

// The values carried per point: depth, the four colour bytes, the three
// parameter floats and the three normal components.
enum : int32_t {
  depth_value = 0,
  first_color_value = 1,
  first_parameter_value = 5,
  first_normal_value = 8,
  value_count = 11
};

struct Vertex_Values {
  double v[value_count] = {};
};

Vertex_Values vertex_values(const Clip_Triangle& t, int32_t j) {
  Vertex_Values out;
  out.v[depth_value] = t.points[j].z;
  if (t.colors) {
    const ZT_RGB32& c = t.colors[j];
    const uint8_t bytes[4] = {c.b, c.g, c.r, c.a};
    for (int32_t i = 0; i < 4; ++i) out.v[first_color_value + i] = bytes[i];
  }
  if (t.parameters) {
    const ZT_Parameter& p = t.parameters[j];
    out.v[first_parameter_value + 0] = p.u;
    out.v[first_parameter_value + 1] = p.v;
    out.v[first_parameter_value + 2] = p.w;
  }
  if (t.normals) {
    const ZT_Vector& n = t.normals[j];
    out.v[first_normal_value + 0] = n.x;
    out.v[first_normal_value + 1] = n.y;
    out.v[first_normal_value + 2] = n.z;
  }
  return out;
}

// a(x, y) = a0 + gx (x - x0) + gy (y - y0) for every carried value.
class Linear_Values {
public:
  Linear_Values(const Clip_Triangle& t) : at_p0_(vertex_values(t, 0)) {
    const ZT_DCI_Point* p = t.points;
    x0_ = p[0].x;
    y0_ = p[0].y;
    // Differences of 32-bit values are exact in 64 bits, their products in 128:
    // the determinant's sign and zero test are exact for any input.
    const int64_t dx1 = int64_t(p[1].x) - p[0].x, dy1 = int64_t(p[1].y) - p[0].y;
    const int64_t dx2 = int64_t(p[2].x) - p[0].x, dy2 = int64_t(p[2].y) - p[0].y;
    const __int128 det = __int128(dy2) * dx1 - __int128(dy1) * dx2;
    const Vertex_Values v1 = vertex_values(t, 1), v2 = vertex_values(t, 2);
    for (int32_t i = 0; i < value_count; ++i) {
      const double da1 = v1.v[i] - at_p0_.v[i], da2 = v2.v[i] - at_p0_.v[i];
      if (det != 0) {
        const double d = double(det);
        gx_[i] = (da1 * double(dy2) - da2 * double(dy1)) / d;
        gy_[i] = -(da1 * double(dx2) - da2 * double(dx1)) / d;
      } else {
        // A triangle without area: slopes along whichever edge has extent.
        gx_[i] = dx1 != 0 ? da1 / double(dx1) : dx2 != 0 ? da2 / double(dx2) : 0.0;
        gy_[i] = dy1 != 0 ? da1 / double(dy1) : dy2 != 0 ? da2 / double(dy2) : 0.0;
      }
    }
  }

  double value(int32_t i, double x, double y) const {
    return at_p0_.v[i] + gx_[i] * (x - x0_) + gy_[i] * (y - y0_);
  }

private:
  Vertex_Values at_p0_;
  double x0_, y0_;
  double gx_[value_count], gy_[value_count];
};

// ---- The outline clipped side by side ---------------------------------------

constexpr double no_position = std::numeric_limits<double>::infinity();

struct Outline_Point {
  double x, y;
  // Position along the outline p0 -> p1 -> p2 -> p0: edge k plus the fraction
  // along it; rectangle corners have none.
  double position;
  uint8_t edges; // bit k: the point lies on edge k (from p[k] to p[k+1])
  int8_t vertex; // 0..2 for the triangle's own points, -1 for new ones
};

// Clipping a convex outline of n points to one side adds at most one point;
// the slack absorbs near-collinear runs that rounding may make slightly concave.
constexpr int32_t outline_capacity = 16;

struct Outline {
  Outline_Point points[outline_capacity];
  int32_t count = 0;
  void add(const Outline_Point& p) {
    if (count < outline_capacity) points[count++] = p;
  }
};

double coordinate(const Outline_Point& p, int32_t axis) {
  return axis == 0 ? p.x : p.y;
}

// One side of the rectangle: points keep coordinate[axis] >= bound (keep_above)
// or <= bound.
struct Side {
  int32_t axis;
  double bound;
  bool keep_above;
  bool inside(const Outline_Point& p) const {
    double c = coordinate(p, axis);
    return keep_above ? c >= bound : c <= bound;
  }
};

class Side_Clipper {
public:
  explicit Side_Clipper(const ZT_DCI_Point* triangle) : p_(triangle) {}

  void clip(const Outline& in, const Side& side, Outline& out) const {
    out.count = 0;
    for (int32_t i = 0; i < in.count; ++i) {
      const Outline_Point& s = in.points[(i + in.count - 1) % in.count];
      const Outline_Point& e = in.points[i];
      const bool s_in = side.inside(s), e_in = side.inside(e);
      if (s_in != e_in) out.add(crossing(s, e, side));
      if (e_in) out.add(e);
    }
  }

private:
  // Where the segment s -> e crosses the side.  A segment on a triangle edge is
  // crossed using the edge's own integer end points, so every crossing has the
  // precision of one division; a segment along an earlier side meets this side
  // in a rectangle corner, which the interpolation below gives exactly.
  Outline_Point crossing(const Outline_Point& s, const Outline_Point& e, const Side& side) const {
    const int32_t other = 1 - side.axis;
    Outline_Point out{};
    out.vertex = -1;
    out.edges = 0;
    out.position = no_position;
    const uint8_t common = s.edges & e.edges;
    if (common) {
      const int32_t k = std::countr_zero(common);
      const ZT_DCI_Point& a = p_[k];
      const ZT_DCI_Point& b = p_[(k + 1) % 3];
      const double a_axis = side.axis == 0 ? a.x : a.y, b_axis = side.axis == 0 ? b.x : b.y;
      const double a_other = other == 0 ? a.x : a.y, b_other = other == 0 ? b.x : b.y;
      if (b_axis != a_axis) {
        const double t = (side.bound - a_axis) / (b_axis - a_axis);
        const double along = a_other + t * (b_other - a_other);
        out.edges = uint8_t(1u << k);
        out.position = k + t;
        return place(out, side, along);
      }
    }
    const double t = (side.bound - coordinate(s, side.axis)) /
                     (coordinate(e, side.axis) - coordinate(s, side.axis));
    const double along = coordinate(s, other) + t * (coordinate(e, other) - coordinate(s, other));
    return place(out, side, along);
  }

  static Outline_Point place(Outline_Point p, const Side& side, double along) {
    if (side.axis == 0) {
      p.x = side.bound;
      p.y = along;
    } else {
      p.x = along;
      p.y = side.bound;
    }
    return p;
  }

  const ZT_DCI_Point* p_;
};

// Merges neighbours (the last and the first included) that are the same point,
// keeping a triangle vertex over a new point.
template <typename Same>
void merge_repeats(Outline& o, Same same) {
  int32_t m = 0;
  for (int32_t i = 0; i < o.count; ++i) {
    if (m > 0 && same(o.points[m - 1], o.points[i])) {
      if (o.points[m - 1].vertex < 0) o.points[m - 1] = o.points[i];
      continue;
    }
    o.points[m++] = o.points[i];
  }
  while (m > 1 && same(o.points[m - 1], o.points[0])) {
    if (o.points[0].vertex < 0 && o.points[m - 1].vertex >= 0) o.points[0] = o.points[m - 1];
    --m;
  }
  o.count = m;
}

// Starts the outline at its first point along p0 -> p1 -> p2 (rectangle
// corners only when no part of the triangle's outline is visible).
void start_at_first_along_outline(Outline& o) {
  int32_t first = 0;
  for (int32_t i = 1; i < o.count; ++i)
    if (o.points[i].position < o.points[first].position) first = i;
  std::rotate(o.points, o.points + first, o.points + o.count);
}

// trunc(z + 0.5), held within 32 bits.
int32_t round_depth(double z) {
  const double r = z + 0.5;
  if (!(r == r)) return 0;
  if (r >= 2147483647.0) return INT32_MAX;
  if (r <= -2147483648.0) return INT32_MIN;
  return int32_t(r);
}

uint8_t round_channel(double c) {
  if (!(c > 0)) return 0;
  if (c >= 255) return 255;
  return uint8_t(c + 0.5);
}

struct Polygon_Point {
  ZT_DCI_Point point;
  ZT_RGB32 color;
  ZT_Parameter parameter;
  ZT_Vector normal;
};

Polygon_Point attributes_at(const Clip_Triangle& t, const Linear_Values& plane,
                            const ZT_DCI_Point& at) {
  Polygon_Point out{at, {}, {}, {}};
  const double x = at.x, y = at.y;
  auto value = [&](int32_t i) { return plane.value(i, x, y); };
  out.point.z = round_depth(value(depth_value));
  if (t.colors) {
    out.color.b = round_channel(value(first_color_value + 0));
    out.color.g = round_channel(value(first_color_value + 1));
    out.color.r = round_channel(value(first_color_value + 2));
    out.color.a = round_channel(value(first_color_value + 3));
  }
  if (t.parameters)
    out.parameter = {float(value(first_parameter_value + 0)),
                     float(value(first_parameter_value + 1)),
                     float(value(first_parameter_value + 2))};
  if (t.normals)
    out.normal = {float(value(first_normal_value + 0)), float(value(first_normal_value + 1)),
                  float(value(first_normal_value + 2))};
  return out;
}

} // namespace

int32_t clip_triangle(const Clip_Triangle& t, const ZT_Int_Rectangle& r, Clipped_Strip& out) {
  out.count = 0;
  if (!t.points || r.left > r.right || r.bottom > r.top) return 0;

  Outline outline;
  for (int32_t j = 0; j < 3; ++j)
    outline.add({double(t.points[j].x), double(t.points[j].y), double(j),
                 uint8_t((1u << j) | (1u << ((j + 2) % 3))), int8_t(j)});

  const Side sides[4] = {{0, double(r.left), true},
                         {0, double(r.right), false},
                         {1, double(r.bottom), true},
                         {1, double(r.top), false}};
  const Side_Clipper clipper(t.points);
  Outline scratch;
  for (const Side& side : sides) {
    clipper.clip(outline, side, scratch);
    outline = scratch;
    if (outline.count == 0) return 0;
  }
  merge_repeats(outline, [](const Outline_Point& a, const Outline_Point& b) {
    return a.x == b.x && a.y == b.y;
  });
  start_at_first_along_outline(outline);

  // Rounded positions, inside the rectangle whatever the crossings' rounding.
  for (int32_t i = 0; i < outline.count; ++i) {
    Outline_Point& p = outline.points[i];
    p.x = double(pixel::round_device_coordinate(std::clamp(p.x, double(r.left), double(r.right))));
    p.y = double(pixel::round_device_coordinate(std::clamp(p.y, double(r.bottom), double(r.top))));
  }
  merge_repeats(outline, [](const Outline_Point& a, const Outline_Point& b) {
    return a.x == b.x && a.y == b.y;
  });
  if (outline.count < 3) {
    out.count = outline.count;
    return out.count;
  }
  // The visible part of a triangle has at most 7 corners; the limit only
  // guards the output arrays.
  const int32_t m = std::min(outline.count, clipped_strip_capacity);

  const Linear_Values plane(t);
  Polygon_Point polygon[clipped_strip_capacity];
  for (int32_t i = 0; i < m; ++i) {
    const Outline_Point& p = outline.points[i];
    if (p.vertex >= 0) {
      const int32_t j = p.vertex;
      polygon[i] = {t.points[j], t.colors ? t.colors[j] : ZT_RGB32(),
                    t.parameters ? t.parameters[j] : ZT_Parameter(),
                    t.normals ? t.normals[j] : ZT_Vector()};
    } else {
      polygon[i] = attributes_at(t, plane, {int32_t(p.x), int32_t(p.y), 0});
    }
  }
  for (int32_t k = 0; k < m; ++k) {
    const Polygon_Point& q = polygon[convex_strip_index(k, m)];
    out.points[k] = q.point;
    if (t.colors) out.colors[k] = q.color;
    if (t.parameters) out.parameters[k] = q.parameter;
    if (t.normals) out.normals[k] = q.normal;
  }
  out.count = m;
  return m;
}
