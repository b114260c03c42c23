// Images and depth blocks: true-colour and index images (drawn by the renderer
// or converted by the host), depth blocks put and read back, and colour reads,
// with corners near the window or anywhere in 32 bits.  Every source holds the
// rows its corners promise, row_bytes apart, and ends at a no-access page.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_host.h"

namespace {

// Corners of an image of up to 48 × 48 pixels whose upper-left corner lies
// anywhere; in one call of eight they are crossed (nothing to draw).
struct Corners {
  ZT_DCI_Point start, end;
  int32_t columns = 0, rows = 0;
};

Corners corners_from(Byte_Reader& in, int32_t extent, const ZT_Int_Point& origin) {
  Corners c;
  c.columns = int32_t(in.in_range(1, 48));
  c.rows = int32_t(in.in_range(1, 48));
  const int64_t x0 = in.flag() ? int64_t(origin.x) + in.in_range(-50, extent + 5) : in.coordinate(extent);
  const int64_t y0 = in.flag() ? int64_t(origin.y) + in.in_range(-5, extent + 50) : in.coordinate(extent);
  // Keep x1 = x0 + columns - 1 and y_bottom = y_top - rows + 1 inside 32 bits.
  c.start = {int32_t(std::clamp<int64_t>(x0, INT32_MIN, INT32_MAX - c.columns + 1)),
             int32_t(std::clamp<int64_t>(y0, INT32_MIN + c.rows - 1, INT32_MAX)), in.depth()};
  c.end = {c.start.x + (c.columns - 1), c.start.y - (c.rows - 1), in.depth()};
  if (in.pick(8) == 0) {  // crossed: the right edge left of the left one
    if (c.start.x == INT32_MIN) ++c.start.x;
    c.end.x = c.start.x - 1;
    c.columns = c.rows = 0;
  }
  return c;
}

std::vector<uint8_t> source_bytes(Byte_Reader& in, std::size_t n) {
  std::vector<uint8_t> out(std::max<std::size_t>(n, 1));
  for (std::size_t i = 0; i < n; i += 4) {
    const uint32_t v = in.pick(3) == 0 ? 0xFF000000u | in.take<uint8_t>() : in.take<uint32_t>();
    std::memcpy(&out[i], &v, std::min<std::size_t>(4, n - i));
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  Byte_Reader in(data, size);
  Fuzz_Host& host = Fuzz_Host::for_input();
  if (!host.establish_from(in)) return 0;
  ZT_Shared_Image target;
  for (int call = 0; call < 5 && !in.exhausted(); ++call) {
    host.rendition_from(in);
    const int32_t extent = std::max(host.width(), host.height());
    const uint32_t kind = in.pick(5);
    const int32_t bpp = kind == 0 ? 4 : kind == 1 ? 1 : 2;
    const Corners c = corners_from(in, extent, host.r().window_origin());
    const int32_t row_bytes = c.columns * bpp + int32_t(in.pick(9));
    const std::size_t bytes =
        c.rows ? std::size_t(c.rows - 1) * std::size_t(row_bytes) + std::size_t(c.columns * bpp) : 0;
    const Guarded_Array<uint8_t> source(source_bytes(in, bytes));
    if (std::getenv("ZDI_FUZZ_VERBOSE"))
      std::fprintf(stderr, "kind %u start %d %d %d end %d %d %d row_bytes %d bytes %zu window %dx%d at %d,%d config %d\n",
                   kind, c.start.x, c.start.y, c.start.z, c.end.x, c.end.y, c.end.z, row_bytes, bytes,
                   host.width(), host.height(), host.r().window_origin().x, host.r().window_origin().y,
                   int(host.r().configuration));
    const ZT_Rendition& d = host.rendition;
    const char* what = "?";
    switch (kind) {
    case 0:
      what = "draw_dci_rgb32_image";
      host.actions().call<ZT_Slot::draw_dci_rgb32_image>(
          d, &c.start, &c.end, row_bytes, reinterpret_cast<const ZT_RGB32*>(source.any()),
          int32_t(0), static_cast<const ZT_Packing*>(nullptr));
      break;
    case 1:
      what = "draw_dci_index8_image";
      host.actions().call<ZT_Slot::draw_dci_index8_image>(d, &c.start, &c.end, row_bytes,
                                                          source.any());
      break;
    case 2:
      what = "put_depth_image";
      host.actions().call<ZT_Slot::put_depth_image>(d, &c.start, &c.end, row_bytes,
                                                    static_cast<const void*>(source.any()));
      break;
    default: {
      // Reads into a target that is empty, reused, or a full-window image.
      const ZT_Image_Format format = ZT_Image_Format(in.pick(9));
      if (in.pick(3) == 0)
        target = ZT_Shared_Image(int32_t(in.in_range(0, 50)), int32_t(in.in_range(0, 50)),
                                 ZT_Image_Format(in.in_range(0, 3)), 0, nullptr, in.flag());
      ZT_DCI_Point ul = c.start, lr = c.end;
      if (in.pick(4) == 0) {
        ul = {in.coordinate(extent), in.coordinate(extent), 0};
        lr = {in.coordinate(extent), in.coordinate(extent), 0};
      }
      what = kind == 3 ? "get_image" : "get_depth_image";
      if (kind == 3) host.actions().call<ZT_Slot::get_image>(d, &ul, &lr, &format, &target);
      else host.actions().call<ZT_Slot::get_depth_image>(d, &ul, &lr, &format, &target);
      if (!target.empty() && int64_t(target->rows_by_y.size()) != target->height)
        finding("a read image without its rows", what);
    }
    }
    host.check_fences(what);
  }
  host.check_guards("the input's calls");
  return 0;
}
