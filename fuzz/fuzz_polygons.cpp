// Polygons from float and integer points, clipped (2D, 2DI) or not (DC, DCI).
#include "fuzz/fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return fuzz_point_slots(data, size, {"polygon"});
}
