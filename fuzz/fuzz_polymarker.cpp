// The polymarker, and dots at the same points with and without a colour.
#include "fuzz/fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  Byte_Reader in(data, size);
  Fuzz_Host& host = Fuzz_Host::for_input();
  if (!host.establish_from(in)) return 0;
  for (int call = 0; call < 4 && !in.exhausted(); ++call) {
    host.rendition_from(in);
    const Fuzz_Points points = points_from(in, std::max(host.width(), host.height()));
    const std::vector<uint8_t> before = host.snapshot();
    draw_points(host, ZT_Slot::draw_2di_polymarker, points);
    host.check_fences("draw_2di_polymarker");
    host.check_unchanged_outside(before, host.rendition->hard_clip, "draw_2di_polymarker");
    for (std::size_t i = 0; i < points.integer.size(); ++i) {
      const Guarded_Array<ZT_DCI_Point> point({points.integer[i]});
      const Guarded_Array<ZT_RGB32> colour(
          i < points.colours.size() && in.flag() ? std::vector<ZT_RGB32>{points.colours[i]}
                                                 : std::vector<ZT_RGB32>{});
      host.actions().call<ZT_Slot::draw_dci_dot>(host.rendition, point.get(), colour.get());
      host.check_fences("draw_dci_dot");
    }
  }
  host.check_guards("the input's calls");
  return 0;
}
