// update: any rectangle, with the window at any origin, presented through the
// host's callback into its window image; also after the window changed without
// an establish, when the renderer's idea of the window and the host's differ.
#include <algorithm>

#include "fuzz/byte_reader.h"
#include "tools/host_session.h"

extern "C" ZT_Renderer_Data* ZD_Renderer(ZT_Renderer_Data** parent);

namespace {
ZT_Int_Point origin_from(Byte_Reader& in, int32_t w, int32_t h) {
  switch (in.pick(4)) {
  case 0: return {int32_t(in.in_range(-100, 100)), int32_t(in.in_range(-100, 100))};
  case 1: return {INT32_MAX - std::max(w, 1) + 1, INT32_MAX - std::max(h, 1) + 1};
  case 2: return {INT32_MIN, INT32_MIN};
  default: return {in.take<int32_t>(), in.take<int32_t>()};
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  Byte_Reader in(data, size);
  Host_Session session(&ZD_Renderer);
  const char config = char('A' + in.pick(6));
  int32_t w = int32_t(in.in_range(0, 40)), h = int32_t(in.in_range(0, 40));
  session.configure(w, h, *configuration_named(config));
  ZT_Renderer_Options& o = session.options();
  o.set_window_origin(origin_from(in, w, h));
  o.set_local_coordinates(in.pick(4) == 0);
  ZD_Establish(session.renderer());
  for (int call = 0; call < 6 && !in.exhausted(); ++call) {
    if (in.pick(4) == 0) {  // the window changes; establish follows or not
      w = int32_t(in.in_range(0, 40));
      h = int32_t(in.in_range(0, 40));
      o.set_window_size({w, h});
      o.set_window_origin(origin_from(in, w, h));
      o.set_local_coordinates(in.pick(4) == 0);
      if (in.flag()) ZD_Establish(session.renderer());
    }
    ZT_Int_Rectangle rect;
    switch (in.pick(4)) {
    case 0: rect = {INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX}; break;
    case 1: rect = {in.take<int32_t>(), in.take<int32_t>(), in.take<int32_t>(), in.take<int32_t>()}; break;
    default:
      rect.left = int32_t(in.in_range(-5, 45));
      rect.right = rect.left + int32_t(in.in_range(-2, 45));
      rect.bottom = int32_t(in.in_range(-5, 45));
      rect.top = rect.bottom + int32_t(in.in_range(-2, 45));
    }
    ZD_Update(session.renderer(), rect);
  }
  return 0;
}
