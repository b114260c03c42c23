#include "tests/support/test_host.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "core/mask_cache.h"

std::string module_path() { return ZDI_MODULE_PATH; }

std::string temporary_path(const std::string& name) {
  return (std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + "_" + name))
      .string();
}

void fenced_allocate(void* context, int32_t width, int32_t height, const ZT_Image_Format* format,
                     ZT_Shared_Image* image) {
  if (context) ++static_cast<Test_Host*>(context)->allocations;
  int32_t bpp = ZT_Image_Data::bytes_per_pixel(*format);
  int32_t row = width * bpp;
  *image = ZT_Shared_Image(width, height, *format, row + fence_bytes, nullptr, false);
  ZT_Image_Data& d = *image->data();
  for (int32_t y = 0; y < height; ++y) std::memset(d.rows_by_y[y] + row, fence_canary, fence_bytes);
}

Test_Host::Test_Host() {
  if (!module.load(module_path())) throw std::runtime_error(module.error());
  parent.allocate_image = &fenced_allocate;
  parent.allocate_image_context = this;
  renderer = module.create_renderer(&parent);
  if (!renderer) throw std::runtime_error("ZD_Renderer returned null");
}

Test_Host::Test_Host(char configuration, int32_t width, int32_t height, ZT_Int_Point origin)
    : Test_Host() {
  establish_config(configuration, width, height, origin);
  if (r().color_buffer.empty()) return;
  fill_color(0);
  fill_depth(0xFFFF);
}

Test_Host::~Test_Host() {
  if (renderer) renderer->release();
}

void Test_Host::establish(const Window_Setup& s) {
  ZT_Renderer_Options& o = *renderer->renderer_options();
  o.set_window_size({s.width, s.height});
  o.set_buffer_depth(s.buffer_depth);
  o.set_color_system(s.color_system);
  o.set_alpha_blending(s.alpha_blending);
  o.set_window_origin(s.origin);
  o.set_local_coordinates(s.local_coordinates);
  if (s.color_system != 1 && !o.palette()) {
    ZT_Counted_Ptr<ZT_Palette> p(ZT_Palette::with_color_cube({6, 6, 6}, 16));
    o.set_palette(p.get());
  }
  renderer->establish();
  ZT_Rendition_Data* d = rendition.modify();
  d->hard_clip = {s.origin.x, s.origin.x + (s.width - 1), s.origin.y, s.origin.y + (s.height - 1)};
}

void Test_Host::establish_config(char c, int32_t width, int32_t height, ZT_Int_Point origin) {
  Window_Setup s;
  s.width = width;
  s.height = height;
  s.origin = origin;
  s.buffer_depth = (c >= 'D') ? 16 : 0;
  s.color_system = (c == 'C' || c == 'D') ? 0 : 1;
  s.alpha_blending = (c == 'A' || c == 'E');
  establish(s);
}

void Test_Host::set_option(const char* name, const ZT_Option_Value& value) {
  ZT_Option* o = renderer->requested_options.find(name);
  if (!o) throw std::runtime_error(std::string("no option ") + name);
  o->set(value);
  renderer->update_current_options();
}

void Test_Host::use_mask(const ZT_Contour_Set& clip) {
  set_option("Use Mask", ZT_Option_Value(true));
  establish_again();
  rendition.modify()->complex_clip = clip;
}

namespace {
int32_t bytes_per_pixel(const ZT_Shared_Image& image) {
  return ZT_Image_Data::bytes_per_pixel(image->format);
}
}  // namespace

bool Test_Host::mapped() const { return r().color_buffer->format == ZT_Image_Format_Mapped8; }

void Test_Host::fill_color(uint32_t value) {
  for (int32_t y = 0; y < r().color_buffer->height; ++y)
    for (int32_t x = 0; x < r().color_buffer->width; ++x) set_color(x, y, value);
  rearm_fences();
}

void Test_Host::fill_depth(uint16_t value) {
  if (r().depth_buffer.empty()) return;
  for (int32_t y = 0; y < r().depth_buffer->height; ++y)
    for (int32_t x = 0; x < r().depth_buffer->width; ++x) set_depth(x, y, value);
  rearm_fences();
}

uint32_t Test_Host::color(int32_t x, int32_t y) const {
  const uint8_t* p = r().color_buffer->rows_by_y[y];
  if (mapped()) return p[x];
  uint32_t v;
  std::memcpy(&v, p + 4 * x, 4);
  return v;
}

uint16_t Test_Host::depth(int32_t x, int32_t y) const {
  uint16_t v;
  std::memcpy(&v, r().depth_buffer->rows_by_y[y] + 2 * x, 2);
  return v;
}

void Test_Host::set_color(int32_t x, int32_t y, uint32_t value) {
  uint8_t* p = r().color_buffer->rows_by_y[y];
  if (mapped()) p[x] = uint8_t(value);
  else std::memcpy(p + 4 * x, &value, 4);
}

void Test_Host::set_depth(int32_t x, int32_t y, uint16_t value) {
  if (!r().depth_buffer.empty()) std::memcpy(r().depth_buffer->rows_by_y[y] + 2 * x, &value, 2);
}

namespace {
// Every pixel of an image of T (or of bytes widened to T), row by row.
template <typename T>
std::vector<T> snapshot_of(const ZT_Shared_Image& image) {
  std::vector<T> out;
  const bool bytes = !image.empty() && bytes_per_pixel(image) == 1;
  for (int32_t y = 0; !image.empty() && y < image->height; ++y) {
    const uint8_t* row = image->rows_by_y[y];
    for (int32_t x = 0; x < image->width; ++x) {
      T v = 0;
      if (bytes) v = row[x];
      else std::memcpy(&v, row + sizeof(T) * std::size_t(x), sizeof(T));
      out.push_back(v);
    }
  }
  return out;
}
}  // namespace

std::vector<uint32_t> Test_Host::color_snapshot() const {
  return snapshot_of<uint32_t>(r().color_buffer);
}

std::vector<uint16_t> Test_Host::depth_snapshot() const {
  return snapshot_of<uint16_t>(r().depth_buffer);
}

namespace {
// Calls fence(first padding byte, padding length) for every row.
template <class Fence>
void for_each_fence(const ZT_Shared_Image& img, Fence&& fence) {
  if (img.empty()) return;
  const int32_t row = img->width * bytes_per_pixel(img);
  for (int32_t y = 0; y < img->height; ++y)
    fence(img->rows_by_y[y] + row, std::size_t(img->row_bytes - row));
}
}  // namespace

bool Test_Host::fences_intact() const {
  bool intact = true;
  for (const ZT_Shared_Image* img : {&r().color_buffer, &r().depth_buffer})
    for_each_fence(*img, [&](const uint8_t* p, std::size_t n) {
      for (std::size_t i = 0; i < n; ++i) intact = intact && p[i] == fence_canary;
    });
  return intact;
}

void Test_Host::rearm_fences() {
  for (const ZT_Shared_Image* img : {&r().color_buffer, &r().depth_buffer})
    for_each_fence(*img, [](uint8_t* p, std::size_t n) { std::memset(p, fence_canary, n); });
}

::testing::AssertionResult same_buffers(const Buffers& got, const Buffers& expected,
                                        int32_t width) {
  if (got.color != expected.color)
    return ::testing::AssertionFailure()
           << "colour " << first_difference(got.color, expected.color, width);
  if (got.depth != expected.depth)
    return ::testing::AssertionFailure()
           << "depth " << first_difference(got.depth, expected.depth, width);
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult same_buffers(const Test_Host& got, const Test_Host& expected) {
  return same_buffers(got.snapshot(), expected.snapshot(), got.r().color_buffer->width);
}

::testing::AssertionResult masked_like_direct(const Test_Host& masked, const Buffers& before,
                                              const Test_Host& direct) {
  const int32_t width = masked.r().color_buffer->width;
  const Frame_Buffer_Mask* mask = masked.r().mask_cache ? masked.r().mask_cache->head : nullptr;
  Buffers expected = direct.snapshot();
  for (std::size_t i = 0; mask && i < expected.color.size(); ++i)
    if (mask->excludes(int32_t(i % std::size_t(width)), int32_t(i / std::size_t(width)))) {
      expected.color[i] = before.color[i];
      if (!expected.depth.empty()) expected.depth[i] = before.depth[i];
    }
  return same_buffers(masked.snapshot(), expected, width);
}
