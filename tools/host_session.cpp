#include "tools/host_session.h"

Host_Session::Host_Session(const std::string& module_path) {
  if (!module_.load(module_path))
    throw Host_Error("cannot load the renderer module: " + module_.error());
  parent_.allocate_image = &allocate;
  parent_.allocate_image_context = this;
  parent_.present = &present;
  parent_.present_context = this;
  renderer_ = module_.create_renderer(&parent_);
  if (!renderer_) throw Host_Error("the module " + module_path + " created no renderer");
}

Host_Session::Host_Session(ZT_Renderer_Data* (*entry)(ZT_Renderer_Data**)) {
  parent_.allocate_image = &allocate;
  parent_.allocate_image_context = this;
  parent_.present = &present;
  parent_.present_context = this;
  ZT_Renderer_Data* parent = &parent_;
  renderer_ = entry(&parent);
  if (!renderer_) throw Host_Error("the entry point created no renderer");
  renderer_->retain();
}

Host_Session::~Host_Session() {
  last_depth_.release();
  if (renderer_) renderer_->release();
}

void Host_Session::configure(int32_t width, int32_t height, const Pixel_Configuration& c) {
  ZT_Renderer_Options& o = options();
  o.set_window_size({width, height});
  o.set_buffer_depth(c.depth ? 16 : 0);
  o.set_color_system(c.palette ? 0 : 1);
  o.set_alpha_blending(c.alpha_blending);
  ZT_Counted_Ptr<ZT_Palette> palette;
  if (c.palette) palette = ZT_Palette::with_color_cube({6, 6, 6}, 16);
  o.set_palette(palette.get());
}

ZT_Shared_Image Host_Session::color_buffer() const {
  const ZT_Option* published = renderer_->option_table()->find("Color Buffer");
  if (!published || !published->value() || !published->value()->as_pointer()) return {};
  return ZT_Shared_Image(static_cast<ZT_Image_Data*>(published->value()->as_pointer()));
}

ZT_Shared_Image Host_Session::depth_buffer() const {
  const ZT_Renderer_Options& o = options();
  if (o.buffer_depth() < 1 || last_depth_.empty() || last_depth_->width != o.window_size().x ||
      last_depth_->height != o.window_size().y)
    return {};
  return last_depth_;
}

void Host_Session::allocate(void* context, int32_t width, int32_t height,
                            const ZT_Image_Format* format, ZT_Shared_Image* image) {
  auto* self = static_cast<Host_Session*>(context);
  ZD_Default_Allocate_Image(nullptr, width, height, format, image);
  if (*format == ZT_Image_Format_Depth16) self->last_depth_ = *image;
  else self->presented_.resize(width, height, *format == ZT_Image_Format_Mapped8);
}

int32_t Host_Session::present(void* context, const ZT_DCI_Point* upper_left,
                              const ZT_DCI_Point* lower_right, const ZT_Shared_Image* image,
                              int32_t dest_x, int32_t dest_y) {
  auto* self = static_cast<Host_Session*>(context);
  const ZT_Renderer_Options& o = self->options();
  Window_Image& window = self->presented_;
  self->presentations_.push_back(
      {{upper_left->x, lower_right->x, lower_right->y, upper_left->y}, dest_x, dest_y});
  if (image->empty()) return 0;
  if (window.width != (*image)->width || window.height != (*image)->height)
    window.resize((*image)->width, (*image)->height, (*image)->format == ZT_Image_Format_Mapped8);
  window.palette.clear();
  if (const ZT_Palette* p = o.palette(); p && window.indexed)
    for (int32_t i = 0; i < 256; ++i) window.palette.push_back(p->color(i));
  // The destination is in the screen's coordinates; the window sits at its origin.
  const ZT_Int_Point origin = o.local_coordinates() ? ZT_Int_Point{0, 0} : o.window_origin();
  const int64_t x = int64_t(dest_x) - origin.x, y = int64_t(dest_y) - origin.y;
  if (x != int32_t(x) || y != int32_t(y)) return 0;  // nowhere in the window
  copy_into(window, *image, {upper_left->x, lower_right->x, lower_right->y, upper_left->y},
            int32_t(x), int32_t(y));
  return 0;
}
