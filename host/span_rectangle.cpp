// The host's rectangle fill for patterned faces: two triangles through the
// renderer's own 2DI strip, which clips them to the hard clip.
#include "host/zd_fallback_log.h"
#include "host/zd_span_rectangle.h"
#include "host/zt_renderer_data.h"

void ZD_Span_DC_Rectangle(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition, int32_t left,
                          int32_t right, int32_t bottom, int32_t top) {
  ZD_Fallback_Call call{"ZD_Span_DC_Rectangle", renderer, rendition.data(),
                        {uint64_t(int64_t(left)), uint64_t(int64_t(right)),
                         uint64_t(int64_t(bottom)), uint64_t(int64_t(top))}};
  ZD_Fallback_Log::calls().push_back(call);
  if (auto& f = ZD_Fallback_Log::observer()) f(call);
  if (!ZD_Standard_Actions_Draw() || left > right || bottom > top) return;
  // Spans and rows are half-open, so the far corner lies one past the rectangle.
  const int32_t r1 = right == INT32_MAX ? right : right + 1;
  const int32_t t1 = top == INT32_MAX ? top : top + 1;
  const ZT_DCI_Point strip[4] = {{left, bottom, 0}, {r1, bottom, 0}, {left, t1, 0}, {r1, t1, 0}};
  renderer->actions.call<ZT_Slot::draw_2di_polytriangle>(rendition, 4, strip);
}
