#pragma once
#include <cstdint>

class ZT_Renderer_Data;
class ZT_Rendition;

// Fills the rectangle with the rendition's face pattern through the renderer's
// own actions (the host routine behind non-solid rectangle fills).
void ZD_Span_DC_Rectangle(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition,
                          int32_t left, int32_t right, int32_t bottom, int32_t top);
