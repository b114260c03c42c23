// Contour sets and their triangulation by the GLU tessellator.
#include <GL/glu.h>

#include <array>
#include <cmath>
#include <deque>
#include <memory>
#include <vector>

#include "host/zt_contour_set.h"

ZT_Contour_Set::ZT_Contour_Set(int32_t count, const ZT_Point* points, bool)
    : data_(new ZT_Contour_Set_Data()) {
  if (count > 0 && points) data_->contours.emplace_back(points, points + count);
}

ZT_Contour_Set::ZT_Contour_Set(std::vector<std::vector<ZT_Point>> contours)
    : data_(new ZT_Contour_Set_Data()) {
  data_->contours = std::move(contours);
}

namespace {

// What the tessellator hands back while it runs.  Triangles are collected first
// and passed on only when the whole outline went through without an error.
struct Tessellation {
  std::deque<ZT_Point> created;         // points made where outlines cross
  std::vector<const ZT_Point*> corners; // three per triangle
  bool failed = false;
};

Tessellation& state(void* data) {
  return *static_cast<Tessellation*>(data);
}

// No exception may cross the tessellator's C frames: a failed allocation marks
// the tessellation failed instead.
void GLAPIENTRY on_vertex(void* vertex, void* data) {
  try {
    state(data).corners.push_back(static_cast<const ZT_Point*>(vertex));
  } catch (...) {
    state(data).failed = true;
  }
}

// Where outlines cross or points coincide the tessellator asks for a new point;
// its depth is the weighted mix of the depths around it.
void GLAPIENTRY on_combine(GLdouble coords[3], void* around[4], GLfloat weight[4], void** out,
                           void* data) {
  *out = nullptr; // the tessellator reports the error itself when it needs the point
  double z = 0;
  for (int i = 0; i < 4; ++i)
    if (around[i]) z += double(weight[i]) * static_cast<const ZT_Point*>(around[i])->z;
  try {
    state(data).created.push_back({float(coords[0]), float(coords[1]), float(z)});
    *out = &state(data).created.back();
  } catch (...) {
    state(data).failed = true;
  }
}

void GLAPIENTRY on_error(GLenum, void* data) {
  state(data).failed = true;
}
// Registering an edge-flag callback makes the tessellator emit separate
// triangles only (no fans or strips).
void GLAPIENTRY on_edge_flag(GLboolean, void*) {}

template <typename F>
_GLUfuncptr glu_function(F* f) {
  return reinterpret_cast<_GLUfuncptr>(f);
}

struct Tessellator_Deleter {
  void operator()(GLUtesselator* t) const { gluDeleteTess(t); }
};

bool all_finite(const std::vector<std::vector<ZT_Point>>& contours) {
  for (const auto& contour : contours)
    for (const ZT_Point& p : contour)
      if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return false;
  return true;
}

// Twice the triangle's area seen along the projection direction.
double projected_area(const ZT_Point& a, const ZT_Point& b, const ZT_Point& c, const ZT_Vector& n) {
  double ux = double(b.x) - a.x, uy = double(b.y) - a.y, uz = double(b.z) - a.z;
  double vx = double(c.x) - a.x, vy = double(c.y) - a.y, vz = double(c.z) - a.z;
  return n.x * (uy * vz - uz * vy) + n.y * (uz * vx - ux * vz) + n.z * (ux * vy - uy * vx);
}

} // namespace

bool ZT_Contour_Set_Data::triangulate(Triangle_Callback callback, void* context) const {
  if (!callback || !all_finite(contours)) return false;
  std::unique_ptr<GLUtesselator, Tessellator_Deleter> tess(gluNewTess());
  if (!tess) return false;
  Tessellation result;
  gluTessCallback(tess.get(), GLU_TESS_VERTEX_DATA, glu_function(&on_vertex));
  gluTessCallback(tess.get(), GLU_TESS_COMBINE_DATA, glu_function(&on_combine));
  gluTessCallback(tess.get(), GLU_TESS_ERROR_DATA, glu_function(&on_error));
  gluTessCallback(tess.get(), GLU_TESS_EDGE_FLAG_DATA, glu_function(&on_edge_flag));
  gluTessProperty(tess.get(), GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
  gluTessNormal(tess.get(), projection.x, projection.y, projection.z);

  // The coordinates stay in place until the tessellation ends.
  std::size_t total = 0;
  for (const auto& contour : contours) total += contour.size();
  std::vector<std::array<GLdouble, 3>> coords;
  coords.reserve(total);
  gluTessBeginPolygon(tess.get(), &result);
  for (const auto& contour : contours) {
    gluTessBeginContour(tess.get());
    for (const ZT_Point& p : contour) {
      coords.push_back({p.x, p.y, p.z});
      gluTessVertex(tess.get(), coords.back().data(), const_cast<ZT_Point*>(&p));
    }
    gluTessEndContour(tess.get());
  }
  gluTessEndPolygon(tess.get());
  if (result.failed || result.corners.size() % 3 != 0) return false;

  for (std::size_t i = 0; i < result.corners.size(); i += 3) {
    const ZT_Point *a = result.corners[i], *b = result.corners[i + 1], *c = result.corners[i + 2];
    // Triangles without area cover nothing.
    if (projected_area(*a, *b, *c, projection) == 0) continue;
    callback(a, b, c, context);
  }
  return true;
}
