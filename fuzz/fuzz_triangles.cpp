// Triangle strips of every kind and point space (2D, 2DI, DC, DCI, pre-clip).
#include "fuzz/fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return fuzz_point_slots(data, size, {"polytriangle"}, {"textured"});
}
