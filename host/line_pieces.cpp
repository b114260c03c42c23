#include "host/line_pieces.h"

#include <algorithm>
#include <cmath>

namespace zd_host {

namespace {

// round(k × d / n) for n > 0, ties upward.  k, |d| and n reach 2^32, so the
// product takes 128 bits.
int64_t step_offset(int64_t k, int64_t d, int64_t n) {
  using Wide = __int128;
  const Wide num = 2 * Wide(k) * d + n, den = 2 * Wide(n);
  return int64_t(num >= 0 ? num / den : -((-num + den - 1) / den));
}

}  // namespace

std::vector<Line_Point> line_points(const ZT_DCI_Point* points, int32_t count) {
  std::vector<Line_Point> out;
  for (int32_t i = 0; i < count; ++i) {
    const bool last = i == count - 1 && i > 0;
    out.push_back({double(points[i].x), double(points[i].y), double(points[i].z),
                   last ? i - 1 : i, last ? 1.0 : 0.0});
  }
  return out;
}

// The pixels k of a segment from a over n steps of (dx, dy) whose coordinates
// may lie within [low, high] on that axis: a range that holds all of them (it
// may hold a pixel or two more), as [first, last], empty when first > last.
void keep_within(int64_t a, int64_t d, int64_t n, int64_t low, int64_t high, int64_t& first,
                 int64_t& last) {
  if (low > high) {  // an empty reach: no pixel of the segment can show
    first = last + 1;
    return;
  }
  if (d == 0) {
    if (a < low || a > high) first = last + 1;
    return;
  }
  // a + k d / n lies in [low, high] for k between these two, widened by a
  // pixel for the rounding to nearest.
  double k0 = double(low - a) * double(n) / double(d), k1 = double(high - a) * double(n) / double(d);
  if (k0 > k1) std::swap(k0, k1);
  first = std::max<int64_t>(first, int64_t(std::max(std::floor(k0) - 1, -1.0)));
  last = std::min<int64_t>(last, int64_t(std::min(std::ceil(k1) + 1, double(n))));
}

std::vector<std::vector<Line_Point>> dashes(const ZT_DCI_Point* points, int32_t count,
                                            uint32_t style, const ZT_Int_Rectangle& reach) {
  std::vector<std::vector<Line_Point>> out;
  std::vector<Line_Point> run;
  Line_Point last_drawn;
  bool in_run = false, last_pushed = false;
  uint32_t position = 0;
  auto finish = [&] {
    if (!in_run) return;
    if (!last_pushed || run.size() == 1) run.push_back(last_drawn);
    out.push_back(std::move(run));
    run.clear();
    in_run = false;
  };
  auto pixel = [&](const Line_Point& p, bool vertex) {
    const bool on = (style >> (position++ % 32)) & 1u;
    if (p.x < reach.left || p.x > reach.right || p.y < reach.bottom || p.y > reach.top)
      return finish();
    if (!on) return finish();
    if (!in_run || vertex) {
      run.push_back(p);
      last_pushed = true;
    } else {
      last_pushed = false;
    }
    in_run = true;
    last_drawn = p;
  };
  for (int32_t i = 0; i + 1 < count; ++i) {
    const ZT_DCI_Point& a = points[i];
    const ZT_DCI_Point& b = points[i + 1];
    const int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
    const int64_t n = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
    int64_t first = 0, last = n - 1;
    keep_within(a.x, dx, n, reach.left, reach.right, first, last);
    keep_within(a.y, dy, n, reach.bottom, reach.top, first, last);
    if (first > last) {
      // Nothing of this segment within reach: the pattern moves on over it.
      finish();
      position = uint32_t(uint64_t(position) + uint64_t(n));
      continue;
    }
    if (first > 0) finish();
    position = uint32_t(uint64_t(position) + uint64_t(first));
    for (int64_t k = first; k <= last; ++k) {
      const double t = double(k) / double(n);
      pixel({double(a.x + step_offset(k, dx, n)), double(a.y + step_offset(k, dy, n)),
             a.z + t * (double(b.z) - a.z), i, t},
            k == 0 && i > 0);
    }
    if (last < n - 1) {
      finish();
      position = uint32_t(uint64_t(position) + uint64_t(n - 1 - last));
    }
  }
  if (count > 0) {
    const ZT_DCI_Point& e = points[count - 1];
    pixel({double(e.x), double(e.y), double(e.z), count > 1 ? count - 2 : 0, count > 1 ? 1.0 : 0.0},
          false);
  }
  finish();
  return out;
}

namespace {

struct Vec {
  double x, y;
};

Line_Point moved(const Line_Point& p, Vec d, double by) {
  Line_Point q = p;
  q.x += d.x * by;
  q.y += d.y * by;
  return q;
}

}  // namespace

std::vector<Wide_Piece> wide_pieces(const std::vector<Line_Point>& path, double weight) {
  std::vector<Wide_Piece> out;
  // The points where the triangle rules sample the path's pixels, without
  // repeated points.
  std::vector<Line_Point> p;
  for (const Line_Point& q : path) {
    Line_Point c = q;
    c.x += 0.5;
    if (!std::isfinite(c.x) || !std::isfinite(c.y)) return out;
    if (p.empty() || p.back().x != c.x || p.back().y != c.y) p.push_back(c);
  }
  const double h = weight / 2;
  if (p.empty()) return out;
  if (p.size() == 1) {
    Wide_Piece s;
    s.count = 4;
    s.p[0] = moved(moved(p[0], {1, 0}, -h), {0, 1}, -h);
    s.p[1] = moved(moved(p[0], {1, 0}, h), {0, 1}, -h);
    s.p[2] = moved(moved(p[0], {1, 0}, -h), {0, 1}, h);
    s.p[3] = moved(moved(p[0], {1, 0}, h), {0, 1}, h);
    out.push_back(s);
    return out;
  }
  const std::size_t segments = p.size() - 1;
  std::vector<Vec> d(segments), n(segments);
  for (std::size_t i = 0; i < segments; ++i) {
    const double dx = p[i + 1].x - p[i].x, dy = p[i + 1].y - p[i].y;
    const double len = std::hypot(dx, dy);
    d[i] = {dx / len, dy / len};
    n[i] = {-d[i].y, d[i].x};
  }
  // The left and right corners where each segment starts and ends.
  struct Ends {
    Line_Point left, right;
  };
  std::vector<Ends> start(segments), end(segments);
  start[0] = {moved(moved(p[0], d[0], -0.5), n[0], h), moved(moved(p[0], d[0], -0.5), n[0], -h)};
  const std::size_t last = segments - 1;
  end[last] = {moved(moved(p[segments], d[last], 0.5), n[last], h),
               moved(moved(p[segments], d[last], 0.5), n[last], -h)};
  for (std::size_t j = 1; j < segments; ++j) {
    const Line_Point& v = p[j];
    const Vec s{n[j - 1].x + n[j].x, n[j - 1].y + n[j].y};
    const double s_len = std::hypot(s.x, s.y);
    // cos of half the angle between the normals; the mitre reaches h / cos.
    const double c = s_len / 2;
    if (c >= 0.5) {
      const Vec m{s.x / s_len, s.y / s_len};
      const double reach = h / c;
      end[j - 1] = start[j] = {moved(v, m, reach), moved(v, m, -reach)};
      continue;
    }
    // Like the ends of the line, each quad runs half a pixel past the vertex.
    const Line_Point past = moved(v, d[j - 1], 0.5), before = moved(v, d[j], -0.5);
    end[j - 1] = {moved(past, n[j - 1], h), moved(past, n[j - 1], -h)};
    start[j] = {moved(before, n[j], h), moved(before, n[j], -h)};
    // The outer corner lies on the right of a left turn.
    const bool left_turn = d[j - 1].x * d[j].y - d[j - 1].y * d[j].x > 0;
    Wide_Piece bevel;
    bevel.count = 3;
    bevel.p[0] = v;
    bevel.p[1] = left_turn ? end[j - 1].right : end[j - 1].left;
    bevel.p[2] = left_turn ? start[j].right : start[j].left;
    out.push_back(bevel);
  }
  // Corners keep the position on the polyline of the point they were made
  // from: a quad's first two that of its segment's start, the other two that
  // of its end.
  for (std::size_t i = 0; i < segments; ++i) {
    Wide_Piece q;
    q.count = 4;
    q.p[0] = start[i].left;
    q.p[1] = start[i].right;
    q.p[2] = end[i].left;
    q.p[3] = end[i].right;
    out.push_back(q);
  }
  return out;
}

}  // namespace zd_host
