// Whole-buffer services: depth clears, depth reads and writes, colour reads and
// solid rectangles, addressed in local coordinates (device minus window origin).
#pragma once

#include "host/zarnik11.h"

void clear_depth_buffer(ZT_Renderer_Data* r, const ZT_Rendition& rendition);
void put_depth_image(ZT_Renderer_Data* r, const ZT_Rendition& rendition, const ZT_DCI_Point* start,
                     const ZT_DCI_Point* end, int32_t row_bytes, const void* bytes);
void get_depth_image(ZT_Renderer_Data* r, const ZT_Rendition& rendition,
                     const ZT_DCI_Point* upper_left, const ZT_DCI_Point* lower_right,
                     const ZT_Image_Format* format, ZT_Shared_Image* target);
void get_mapped_image(ZT_Renderer_Data* r, const ZT_Rendition& rendition,
                      const ZT_DCI_Point* upper_left, const ZT_DCI_Point* lower_right,
                      const ZT_Image_Format* format, ZT_Shared_Image* target);
void get_true_color_image(ZT_Renderer_Data* r, const ZT_Rendition& rendition,
                          const ZT_DCI_Point* upper_left, const ZT_DCI_Point* lower_right,
                          const ZT_Image_Format* format, ZT_Shared_Image* target);
void span_true_color_rectangle(ZT_Renderer_Data* r, const ZT_Rendition& rendition);
void span_mapped_rectangle(ZT_Renderer_Data* r, const ZT_Rendition& rendition);
