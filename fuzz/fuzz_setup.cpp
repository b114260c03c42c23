// Window and palette set-up: sizes, origins, local coordinates, palettes with
// any count, cube levels, steps and scales, and the named options establish
// reads; then establish again with some of it changed, and one draw of each
// kind (strip, Gouraud strip, polyline, dots, polygon, image, rectangle, depth
// clear), so that odd palettes and cubes meet the dither and the merge rule.
#include <algorithm>

#include "fuzz/fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  Byte_Reader in(data, size);
  Fuzz_Host& host = Fuzz_Host::for_input();
  if (!host.establish_from(in, 24)) return 0;
  if (in.flag() && !host.establish_from(in, 24)) return 0;
  host.rendition_from(in);
  const int32_t w = host.width(), h = host.height();
  const ZT_Int_Point o = host.r().window_origin();
  const ZT_Rendition& d = host.rendition;
  const std::vector<ZT_DCI_Point> points = {
      {o.x, o.y, 10}, {o.x + (w - 1), o.y, 20000}, {o.x, o.y + (h - 1), 40000},
      {o.x + (w - 1), o.y + (h - 1), 65535}, {o.x + w / 2, o.y + h / 2, 0}};
  std::vector<ZT_RGB32> colours;
  for (int i = 0; i < 5; ++i) colours.push_back(ZT_RGB32::from_word(in.take<uint32_t>()));
  const Guarded_Array<ZT_DCI_Point> p(points);
  const Guarded_Array<ZT_RGB32> c(colours);
  ZT_Action_Table& a = host.actions();
  a.call<ZT_Slot::draw_dci_colorized_polytriangle>(d, 5, p.get(), c.get(), in.flag());
  host.check_fences("draw_dci_colorized_polytriangle");
  a.call<ZT_Slot::draw_dci_gouraud_polytriangle>(d, 5, p.get(), c.get());
  host.check_fences("draw_dci_gouraud_polytriangle");
  a.call<ZT_Slot::draw_dci_polytriangle>(d, 5, p.get());
  host.check_fences("draw_dci_polytriangle");
  a.call<ZT_Slot::draw_2di_colorized_polyline>(d, 5, p.get(), c.get(), in.flag());
  host.check_fences("draw_2di_colorized_polyline");
  a.call<ZT_Slot::draw_dci_gouraud_polyline>(d, 5, p.get(), c.get());
  host.check_fences("draw_dci_gouraud_polyline");
  for (int i = 0; i < 5; ++i) a.call<ZT_Slot::draw_dci_dot>(d, p.get() + i, in.flag() ? c.get() + i : nullptr);
  host.check_fences("draw_dci_dot");
  a.call<ZT_Slot::draw_2di_polymarker>(d, 5, p.get());
  host.check_fences("draw_2di_polymarker");
  a.call<ZT_Slot::draw_dci_polygon>(d, 4, p.get(), in.flag() ? c.get() : nullptr);
  host.check_fences("draw_dci_polygon");
  // A 2 × 2 image at the window's lower-left corner (or the part of it inside).
  const ZT_DCI_Point start{o.x, o.y + std::min(h - 1, 1), 100}, end{o.x + std::min(w - 1, 1), o.y, 200};
  const Guarded_Array<uint8_t> pixels(std::vector<uint8_t>(16, in.take<uint8_t>()));
  a.call<ZT_Slot::draw_dci_index8_image>(d, &start, &end, 2, pixels.get());
  host.check_fences("draw_dci_index8_image");
  a.call<ZT_Slot::draw_dci_rgb32_image>(d, &start, &end, 8,
                                        reinterpret_cast<const ZT_RGB32*>(pixels.get()), int32_t(0),
                                        static_cast<const ZT_Packing*>(nullptr));
  host.check_fences("draw_dci_rgb32_image");
  // Full-width fills cover the row ends on purpose: the fences are set again.
  a.call<ZT_Slot::span_dc_rectangle>(d);
  a.call<ZT_Slot::clear_depth_buffer>(d);
  host.rearm_fences();
  host.check_fences("span_dc_rectangle and clear_depth_buffer");
  host.check_guards("the input's calls");
  return 0;
}
