#include "lines/strip_edge_lines.h"

#include "lines/polyline_actions.h"

// Configuration F's 2DI polyline.  It writes 32-bit colours and tests depth,
// so it needs a true-colour buffer; without a depth buffer it draws as B.  A
// mapped buffer (where strip edges are not drawn by the renderer itself) leaves
// the polyline to the host.
void draw_2di_polyline_configuration_F(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition,
                                       int32_t count, const ZT_DCI_Point* points) {
  const Software_Z_Buffer& r = *Software_Z_Buffer::from(renderer);
  if (r.color_buffer.empty() || r.color_buffer->format != ZT_Image_Format_RGB32)
    return ZD_Standard_Draw_2DI_Polyline(renderer, rendition, count, points);
  if (r.depth_buffer.empty())
    return lines::polyline_action<ZT_Slot::draw_2di_polyline, pixel::Config_B>(renderer, rendition,
                                                                               count, points);
  lines::polyline_action<ZT_Slot::draw_2di_polyline, pixel::Config_F>(renderer, rendition, count,
                                                                      points);
}
