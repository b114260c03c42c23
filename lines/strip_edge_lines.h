// The polyline that draws a triangle strip's edges: configuration F's
// draw_2di_polyline, whatever the current configuration.
#pragma once

#include "host/zarnik11.h"

void draw_2di_polyline_configuration_F(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition,
                                       int32_t count, const ZT_DCI_Point* points);
