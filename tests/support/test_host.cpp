#include "test_host.h"

#include <cstring>
#include <stdexcept>

std::string module_path() { return ZDI_MODULE_PATH; }

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
  d->hard_clip = {s.origin.x, s.origin.x + s.width - 1, s.origin.y, s.origin.y + s.height - 1};
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

namespace {
int32_t bytes_per_pixel(const ZT_Shared_Image& image) {
  return ZT_Image_Data::bytes_per_pixel(image->format);
}
}  // namespace

void Test_Host::fill_color(uint32_t value) {
  const ZT_Shared_Image& img = r().color_buffer;
  for (int32_t y = 0; y < img->height; ++y)
    for (int32_t x = 0; x < img->width; ++x) {
      uint8_t* p = img->rows_by_y[y] + x * bytes_per_pixel(img);
      if (bytes_per_pixel(img) == 4) std::memcpy(p, &value, 4);
      else *p = uint8_t(value);
    }
  rearm_fences();
}

void Test_Host::fill_depth(uint16_t value) {
  const ZT_Shared_Image& img = r().depth_buffer;
  if (img.empty()) return;
  for (int32_t y = 0; y < img->height; ++y)
    for (int32_t x = 0; x < img->width; ++x) std::memcpy(img->rows_by_y[y] + 2 * x, &value, 2);
  rearm_fences();
}

uint32_t Test_Host::color(int32_t x, int32_t y) const {
  const ZT_Shared_Image& img = const_cast<Test_Host*>(this)->r().color_buffer;
  const uint8_t* p = img->rows_by_y[y] + x * bytes_per_pixel(img);
  if (bytes_per_pixel(img) == 1) return *p;
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

uint16_t Test_Host::depth(int32_t x, int32_t y) const {
  const ZT_Shared_Image& img = const_cast<Test_Host*>(this)->r().depth_buffer;
  uint16_t v;
  std::memcpy(&v, img->rows_by_y[y] + 2 * x, 2);
  return v;
}

std::vector<uint32_t> Test_Host::color_snapshot() const {
  std::vector<uint32_t> out;
  const ZT_Shared_Image& img = const_cast<Test_Host*>(this)->r().color_buffer;
  if (img.empty()) return out;
  for (int32_t y = 0; y < img->height; ++y)
    for (int32_t x = 0; x < img->width; ++x) out.push_back(color(x, y));
  return out;
}

std::vector<uint16_t> Test_Host::depth_snapshot() const {
  std::vector<uint16_t> out;
  const ZT_Shared_Image& img = const_cast<Test_Host*>(this)->r().depth_buffer;
  if (img.empty()) return out;
  for (int32_t y = 0; y < img->height; ++y)
    for (int32_t x = 0; x < img->width; ++x) out.push_back(depth(x, y));
  return out;
}

namespace {
bool fence_ok(const ZT_Shared_Image& img) {
  if (img.empty()) return true;
  int32_t row = img->width * bytes_per_pixel(img);
  for (int32_t y = 0; y < img->height; ++y)
    for (int32_t i = row; i < img->row_bytes; ++i)
      if (img->rows_by_y[y][i] != fence_canary) return false;
  return true;
}
void rearm(const ZT_Shared_Image& img) {
  if (img.empty()) return;
  int32_t row = img->width * bytes_per_pixel(img);
  for (int32_t y = 0; y < img->height; ++y)
    std::memset(img->rows_by_y[y] + row, fence_canary, std::size_t(img->row_bytes - row));
}
}  // namespace

bool Test_Host::fences_intact() const {
  auto& self = const_cast<Test_Host*>(this)->r();
  return fence_ok(self.color_buffer) && fence_ok(self.depth_buffer);
}

void Test_Host::rearm_fences() {
  rearm(r().color_buffer);
  rearm(r().depth_buffer);
}
