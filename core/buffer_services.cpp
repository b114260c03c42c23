#include "core/buffer_services.h"

#include <algorithm>
#include <cstring>

#include "core/software_z_buffer.h"

namespace {

// A rectangle of local rows and columns, inclusive, y growing upward.
struct Local_Rect {
  int32_t left, right, bottom, top;
  bool empty() const { return left > right || bottom > top; }
};

// The rectangle cut to the buffer.  The host passes rectangles inside the
// window; the cut only keeps a rectangle that is not from writing outside.
Local_Rect clamp_to(const Local_Rect& r, const ZT_Image_Data& image) {
  return {std::max(r.left, 0), std::min(r.right, image.width - 1), std::max(r.bottom, 0),
          std::min(r.top, image.height - 1)};
}

// A device rectangle in local coordinates, held to 32 bits (only the part in
// the buffer is ever used).
Local_Rect local_rect(const Software_Z_Buffer& r, const ZT_Int_Rectangle& c) {
  const int64_t ox = r.frame.origin_x, oy = r.frame.origin_y;
  auto local = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  return {local(c.left - ox), local(c.right - ox), local(c.bottom - oy), local(c.top - oy)};
}

Local_Rect local_hard_clip(const Software_Z_Buffer& r, const ZT_Rendition& rendition) {
  return local_rect(r, rendition->hard_clip);
}

// Fills rows bottom..top from column left to right with one pixel value.  When
// the rectangle spans the buffer's full width the rows are one block of memory
// (rows lie from the top row down), filled in one pass from the top row; the
// pass covers the row padding too.
template <typename Pixel>
void fill_rectangle(ZT_Image_Data& image, const Local_Rect& rect, Pixel value) {
  if (rect.empty()) return;
  const bool full_width = rect.left == 0 && rect.right == image.width - 1;
  if (full_width && (sizeof(Pixel) == 1 || image.row_bytes % int32_t(sizeof(Pixel)) == 0)) {
    Pixel* block = reinterpret_cast<Pixel*>(image.rows_by_y[std::size_t(rect.top)]);
    std::size_t count = std::size_t(rect.top - rect.bottom + 1) * std::size_t(image.row_bytes) /
                        sizeof(Pixel);
    std::fill_n(block, count, value);
    return;
  }
  for (int32_t y = rect.bottom; y <= rect.top; ++y) {
    Pixel* row = reinterpret_cast<Pixel*>(image.rows_by_y[std::size_t(y)]);
    std::fill(row + rect.left, row + rect.right + 1, value);
  }
}

// Makes target an image of the given size and format, reusing it when it is one.
void prepare_target(ZT_Shared_Image* target, int32_t width, int32_t height,
                    ZT_Image_Format format) {
  if (!target->empty() && (*target)->width == width && (*target)->height == height &&
      (*target)->format == format)
    return;
  *target = ZT_Shared_Image(width, height, format,
                            width * ZT_Image_Data::bytes_per_pixel(format), nullptr, false);
}

// Where the rows of a read rectangle go in the target.
enum class Placement {
  // Each pixel keeps its place in the rectangle; parts outside the buffer stay
  // zero (the host passes rectangles inside the window).
  In_Place,
  // The rectangle is cut to the buffer and the cut rows and columns are copied
  // from the target's first row in memory and first column on.
  Cut_To_Buffer,
};

// Copies the rectangle (upper-left, lower-right in device coordinates) out of a
// buffer into target rows from the first row in memory on, top row first.  A
// rectangle larger than the buffer is refused (the target is released).
void copy_rectangle_out(const Software_Z_Buffer& r, const ZT_Image_Data& source,
                        const ZT_DCI_Point& ul, const ZT_DCI_Point& lr, ZT_Image_Format format,
                        Placement placement, ZT_Shared_Image* target) {
  const int64_t width = int64_t(lr.x) - ul.x + 1, height = int64_t(ul.y) - lr.y + 1;
  if (width < 1 || height < 1 || width > source.width || height > source.height) {
    target->release();
    return;
  }
  prepare_target(target, int32_t(width), int32_t(height), format);
  ZT_Image_Data& out = *target->data();
  const int32_t bpp = ZT_Image_Data::bytes_per_pixel(format);
  const int64_t left = int64_t(ul.x) - r.frame.origin_x, top = int64_t(ul.y) - r.frame.origin_y;
  const int64_t right = left + width - 1, bottom = top - height + 1;
  const int64_t cut_left = std::max<int64_t>(left, 0), cut_right = std::min<int64_t>(right, source.width - 1);
  const int64_t cut_top = std::min<int64_t>(top, source.height - 1), cut_bottom = std::max<int64_t>(bottom, 0);
  std::memset(out.pixels(), 0, out.size_in_bytes());
  if (cut_left > cut_right || cut_bottom > cut_top) return;
  const std::size_t length = std::size_t(cut_right - cut_left + 1) * std::size_t(bpp);
  for (int64_t y = cut_top; y >= cut_bottom; --y) {
    const bool in_place = placement == Placement::In_Place;
    const int64_t row = in_place ? top - y : cut_top - y;
    const int64_t column = in_place ? cut_left - left : 0;
    std::memcpy(out.rows_in_memory_order[std::size_t(row)] + column * bpp,
                source.rows_by_y[std::size_t(y)] + cut_left * bpp, length);
  }
}

}  // namespace

void clear_depth_buffer(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition) {
  Software_Z_Buffer& r = *Software_Z_Buffer::from(renderer);
  if (r.depth_buffer.empty()) return;
  ZT_Image_Data& depth = *r.depth_buffer.data();
  fill_rectangle<uint16_t>(depth, clamp_to(local_hard_clip(r, rendition), depth), 0xFFFF);
}

void put_depth_image(ZT_Renderer_Data* renderer, const ZT_Rendition&, const ZT_DCI_Point* start,
                     const ZT_DCI_Point* end, int32_t row_bytes, const void* bytes) {
  Software_Z_Buffer& r = *Software_Z_Buffer::from(renderer);
  if (r.depth_buffer.empty() || !start || !end || !bytes) return;
  ZT_Image_Data& depth = *r.depth_buffer.data();
  // Rows are cut at the window's right edge.
  const int64_t last_x =
      std::min<int64_t>(end->x, int64_t(r.window_size.x) + r.frame.origin_x - 1);
  const int64_t length = (last_x - start->x) * 2 + 2;
  if (length < 1) return;
  const int64_t x0 = int64_t(start->x) - r.frame.origin_x;
  const int64_t from = std::max<int64_t>(x0, 0);
  const int64_t to = std::min<int64_t>(x0 + length / 2, depth.width);
  if (from >= to) return;
  // Rows or columns the host placed outside the buffer are skipped: the first
  // row drawn is the top row or the buffer's top, whichever is lower, and the
  // source moves down to it by whole rows.
  const int64_t top = int64_t(start->y) - r.frame.origin_y;
  const int64_t bottom = std::max<int64_t>(int64_t(end->y) - r.frame.origin_y, 0);
  const int64_t first = std::min<int64_t>(top, depth.height - 1);
  const auto* source = static_cast<const uint8_t*>(bytes) + (top - first) * row_bytes;
  for (int64_t y = first; y >= bottom; --y, source += row_bytes)
    std::memcpy(depth.rows_by_y[std::size_t(y)] + from * 2, source + (from - x0) * 2,
                std::size_t((to - from) * 2));
}

void get_depth_image(ZT_Renderer_Data* renderer, const ZT_Rendition&, const ZT_DCI_Point* ul,
                     const ZT_DCI_Point* lr, const ZT_Image_Format* format,
                     ZT_Shared_Image* target) {
  Software_Z_Buffer& r = *Software_Z_Buffer::from(renderer);
  if (r.depth_buffer.empty() || (*format != ZT_Image_Format_Depth16 && *format != ZT_Image_Format_Any)) {
    target->release();
    return;
  }
  copy_rectangle_out(r, *r.depth_buffer.data(), *ul, *lr, ZT_Image_Format_Depth16,
                     Placement::In_Place, target);
}

void get_mapped_image(ZT_Renderer_Data* renderer, const ZT_Rendition&, const ZT_DCI_Point* ul,
                      const ZT_DCI_Point* lr, const ZT_Image_Format* format,
                      ZT_Shared_Image* target) {
  Software_Z_Buffer& r = *Software_Z_Buffer::from(renderer);
  if (r.color_buffer.empty() ||
      (*format != ZT_Image_Format_Mapped8 && *format != ZT_Image_Format_Any)) {
    target->release();
    return;
  }
  copy_rectangle_out(r, *r.color_buffer.data(), *ul, *lr, ZT_Image_Format_Mapped8,
                     Placement::In_Place, target);
}

void get_true_color_image(ZT_Renderer_Data* renderer, const ZT_Rendition&,
                          const ZT_DCI_Point* ul, const ZT_DCI_Point* lr,
                          const ZT_Image_Format* format, ZT_Shared_Image* target) {
  Software_Z_Buffer& r = *Software_Z_Buffer::from(renderer);
  if (r.color_buffer.empty() ||
      (*format != ZT_Image_Format_RGB32 && *format != ZT_Image_Format_Any)) {
    target->release();
    return;
  }
  const ZT_Image_Data& color = *r.color_buffer.data();
  if (target->empty() || !(*target)->full_window) {
    copy_rectangle_out(r, color, *ul, *lr, ZT_Image_Format_RGB32, Placement::Cut_To_Buffer, target);
    return;
  }
  // A full-window target mirrors the whole buffer: the rectangle, cut to the
  // buffer, lands in the same rows and columns of the target.
  if ((*target)->width != color.width || (*target)->height != color.height ||
      (*target)->format != ZT_Image_Format_RGB32) {
    *target = ZT_Shared_Image(color.width, color.height, ZT_Image_Format_RGB32, color.row_bytes,
                              nullptr, true);
  }
  const Local_Rect rect = clamp_to(local_rect(r, {ul->x, lr->x, lr->y, ul->y}), color);
  if (rect.empty()) return;
  for (int32_t y = rect.bottom; y <= rect.top; ++y)
    std::memcpy((*target)->rows_by_y[std::size_t(y)] + rect.left * 4,
                color.rows_by_y[std::size_t(y)] + rect.left * 4,
                std::size_t(rect.right - rect.left + 1) * 4);
}

namespace {
template <typename Pixel>
void span_rectangle(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition, Pixel value) {
  Software_Z_Buffer& r = *Software_Z_Buffer::from(renderer);
  if (rendition->face->pattern_index != ZT_Pattern_Solid) {
    const ZT_Int_Rectangle& c = rendition->hard_clip;
    ZD_Span_DC_Rectangle(renderer, rendition, c.left, c.right, c.bottom, c.top);
    return;
  }
  if (r.color_buffer.empty()) return;
  ZT_Image_Data& color = *r.color_buffer.data();
  fill_rectangle<Pixel>(color, clamp_to(local_hard_clip(r, rendition), color), value);
}
}  // namespace

void span_true_color_rectangle(ZT_Renderer_Data* r, const ZT_Rendition& rendition) {
  span_rectangle<uint32_t>(r, rendition, rendition->rectangle_color.word());
}

void span_mapped_rectangle(ZT_Renderer_Data* r, const ZT_Rendition& rendition) {
  span_rectangle<uint8_t>(r, rendition, rendition->rectangle_index);
}
