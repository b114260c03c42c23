// The AVX2 form of the spans in lanes, compiled apart (span_lanes_avx2.cpp)
// with AVX2 enabled; the module calls it only on a processor that has AVX2.
#pragma once

#include "triangles/span_lanes.h"

namespace triangles {

// write_lane_blocks over eight lanes; Kind is one of the Lane_… shades.
template <class Kind, bool Depth>
void write_lane_blocks_avx2(const Lane_Span& s);

}  // namespace triangles
