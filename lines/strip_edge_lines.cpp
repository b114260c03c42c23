#include "lines/strip_edge_lines.h"

#include "lines/line_dispatch.h"

// Configuration F's 2DI polyline.  It writes 32-bit colours and tests depth,
// so it needs a true-colour buffer; without a depth buffer it draws as B.  A
// mapped buffer (where strip edges are not drawn by the renderer itself) leaves
// the polyline to the host.
void draw_2di_polyline_configuration_F(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition,
                                       int32_t count, const ZT_DCI_Point* points) {
  const pixel::Frame& f = pixel::Renderer_State::of(renderer).frame;
  if (!f.has_color() || f.color_pixel_bytes != 4)
    return ZD_Standard_Draw_2DI_Polyline(renderer, rendition, count, points);
  if (!f.depth_rows)
    return lines::Line_Action<ZT_Slot::draw_2di_polyline, pixel::Config_B>::run(renderer, rendition,
                                                                                count, points);
  lines::Line_Action<ZT_Slot::draw_2di_polyline, pixel::Config_F>::run(renderer, rendition, count,
                                                                       points);
}
