#include "strip_edge_lines.h"

// Until the polylines land, the strip's edges go to the host's polyline.
void draw_2di_polyline_configuration_F(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition,
                                       int32_t count, const ZT_DCI_Point* points) {
  ZD_Standard_Draw_2DI_Polyline(renderer, rendition, count, points);
}
