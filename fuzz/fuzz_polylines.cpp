// Polylines of every kind: 2DI, DCI and pre-clip.
#include "fuzz/fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return fuzz_point_slots(data, size, {"polyline"});
}
