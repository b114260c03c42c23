#include <cmath>

#include "host/zd_rank_polygon.h"

namespace {

struct Edge {
  double x, y;
};

Edge edge(const ZT_Point* points, int32_t count, int32_t i) {
  const ZT_Point& a = points[i];
  const ZT_Point& b = points[(i + 1) % count];
  return {double(b.x) - double(a.x), double(b.y) - double(a.y)};
}

int sign(double v) {
  return (v > 0) - (v < 0);
}

// Sign changes of a sequence read cyclically, zeros skipped.  A closed outline
// whose edge directions turn one way only changes the sign of its x (and of its
// y) components exactly twice per full turn.
class Sign_Changes {
public:
  void add(double v) {
    int s = sign(v);
    if (s == 0) return;
    if (first_ == 0)
      first_ = s;
    else if (s != last_)
      ++changes_;
    last_ = s;
  }
  int total() const { return changes_ + (first_ != 0 && last_ != first_ ? 1 : 0); }

private:
  int first_ = 0, last_ = 0, changes_ = 0;
};

} // namespace

ZT_Polygon_Rank ZD_Rank_Polygon(int32_t count, const ZT_Point* points) {
  const ZT_Polygon_Rank degenerate{ZD_Rank_Degenerate, 0};
  if (count < 3 || !points) return degenerate;
  for (int32_t i = 0; i < count; ++i)
    if (!std::isfinite(points[i].x) || !std::isfinite(points[i].y)) return degenerate;

  int turn = 0; // the one direction every non-zero turn has taken so far
  bool not_convex = false;
  Sign_Changes x_changes, y_changes;
  Edge current = edge(points, count, count - 1);
  for (int32_t i = 0; i < count; ++i) {
    Edge next = edge(points, count, i);
    if (next.x == 0 && next.y == 0) return degenerate;
    x_changes.add(next.x);
    y_changes.add(next.y);
    double cross = current.x * next.y - current.y * next.x;
    if (cross == 0) {
      // Straight on is a collinear point; straight back folds the outline.
      if (current.x * next.x + current.y * next.y < 0) return degenerate;
    } else if (turn == 0) {
      turn = sign(cross);
    } else if (sign(cross) != turn) {
      not_convex = true;
    }
    current = next;
  }
  if (turn == 0) return degenerate;
  if (not_convex || x_changes.total() > 2 || y_changes.total() > 2)
    return {ZD_Rank_Not_Convex, turn};
  return {ZD_Rank_Convex, turn};
}
