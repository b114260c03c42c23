// The host's rectangle fill for patterned faces: two triangles through the
// renderer's own 2DI strip, which clips them to the hard clip and applies the
// face pattern (a host pattern goes on to the host's own triangle routine).
// The strip draws on a copy of the rendition whose colour is the rectangle
// colour made opaque (its index in palette buffers), with depth testing off
// (a fill neither tests nor writes depth) and without the strip-edges and
// transparency bits.
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
  ZT_Rendition fill = rendition;
  ZT_Rendition_Data* d = fill.modify();
  d->current_color = d->rectangle_color;
  d->current_color.a = 255;
  d->current_index = d->rectangle_index;
  d->depth_test_active = 0;
  d->advanced_options &= ~uint32_t(ZT_Advanced_Strip_Edges | ZT_Advanced_Transparency);
  // Spans and rows are half-open, so the far corner lies one past the rectangle.
  const int32_t r1 = right == INT32_MAX ? right : right + 1;
  const int32_t t1 = top == INT32_MAX ? top : top + 1;
  const ZT_DCI_Point strip[4] = {{left, bottom, 0}, {r1, bottom, 0}, {left, t1, 0}, {r1, t1, 0}};
  renderer->actions.call<ZT_Slot::draw_2di_polytriangle>(fill, 4, strip);
}
