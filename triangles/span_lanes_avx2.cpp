// Compiled with AVX2 enabled.  Everything this file instantiates is a template
// over Avx2_Lanes, whose names no file compiled without AVX2 shares, so no
// AVX2 code can stand in for a function the rest of the module calls.
#include "triangles/span_lanes_avx2.h"

#include "triangles/lanes_avx2.h"

namespace triangles {

template <class Kind, bool Depth>
void write_lane_blocks_avx2(const Lane_Span& s) {
  write_lane_blocks<Avx2_Lanes, Kind, Depth>(s);
}

template void write_lane_blocks_avx2<Lane_Opaque_Channels, false>(const Lane_Span&);
template void write_lane_blocks_avx2<Lane_Opaque_Channels, true>(const Lane_Span&);
template void write_lane_blocks_avx2<Lane_Alpha_Channels, false>(const Lane_Span&);
template void write_lane_blocks_avx2<Lane_Alpha_Channels, true>(const Lane_Span&);
template void write_lane_blocks_avx2<Lane_Cube_Levels, false>(const Lane_Span&);
template void write_lane_blocks_avx2<Lane_Cube_Levels, true>(const Lane_Span&);
template void write_lane_blocks_avx2<Lane_Row_Indices, false>(const Lane_Span&);
template void write_lane_blocks_avx2<Lane_Row_Indices, true>(const Lane_Span&);

}  // namespace triangles
