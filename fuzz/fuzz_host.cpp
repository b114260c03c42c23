#include "fuzz/fuzz_host.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>

void finding(const char* what, const char* after) {
  std::fprintf(stderr, "finding: %s after %s\n", what, after);
  std::abort();
}

Fuzz_Host::Fuzz_Host() {
  parent_.allocate_image = &allocate;
  parent_.allocate_image_context = this;
  ZT_Renderer_Data* parent = &parent_;
  renderer = ZD_Renderer(&parent);
  if (!renderer) std::abort();
  renderer->retain();
  ZD_Fallback_Log::clear();
}

uint8_t* guarded_array_space(std::size_t bytes) {
  static Guarded_Block blocks[4] = {Guarded_Block(largest_guarded_array),
                                    Guarded_Block(largest_guarded_array),
                                    Guarded_Block(largest_guarded_array),
                                    Guarded_Block(largest_guarded_array)};
  static unsigned next = 0;
  if (bytes > largest_guarded_array) std::abort();
  return blocks[next++ & 3].last(bytes);
}

Fuzz_Host& Fuzz_Host::for_input() {
  static Fuzz_Host host;
  host.start_input();
  return host;
}

// Buffers the renderer let go of are unmapped; the others are cleared (colour
// 0, depth far) and their fences set; the rendition and the fallback log start
// anew.
void Fuzz_Host::start_input() {
  std::erase_if(images_, [](const Guarded_Image& g) { return g.image->reference_count() == 1; });
  for (Guarded_Image& g : images_) {
    const uint8_t fill = g.image->format == ZT_Image_Format_Depth16 ? 0xFF : 0;
    for (uint8_t* row : g.image->rows_by_y) std::memset(row, fill, std::size_t(g.tight));
  }
  rearm_fences();
  rendition = ZT_Rendition();
  r().color_cube = ZT_Color_Cube({2, 2, 2}, 1.0f, 0);
  ZD_Fallback_Log::clear();
}

Fuzz_Host::~Fuzz_Host() {
  rendition = ZT_Rendition();
  renderer->release();
  images_.clear();
  ZD_Fallback_Log::clear();
}

// The buffer's rows live in a guarded mapping laid out as the image's own
// storage would be (rows from the top row down, row_bytes apart, a fence at the
// end of each); the image's row pointers are pointed there.
void Fuzz_Host::allocate(void* context, int32_t width, int32_t height,
                         const ZT_Image_Format* format, ZT_Shared_Image* image) {
  auto* self = static_cast<Fuzz_Host*>(context);
  const int32_t tight = width * ZT_Image_Data::bytes_per_pixel(*format);
  *image = ZT_Shared_Image(width, height, *format, tight + fuzz_fence_bytes, nullptr, false);
  ZT_Image_Data& d = *image->data();
  if (d.width != width || d.height != height) return;  // refused by the host's cap
  auto block = std::make_unique<Guarded_Block>(std::size_t(d.row_bytes) * std::size_t(height));
  std::memset(block->data(), 0, block->size());
  for (int32_t i = 0; i < height; ++i) {
    uint8_t* row = block->data() + std::size_t(i) * std::size_t(d.row_bytes);
    d.rows_in_memory_order[std::size_t(i)] = row;
    d.rows_by_y[std::size_t(height - 1 - i)] = row;
  }
  self->images_.push_back({*image, std::move(block), tight});
  self->rearm_fences();
}

const Fuzz_Host::Guarded_Image* Fuzz_Host::find(const ZT_Shared_Image& image) const {
  for (const Guarded_Image& g : images_)
    if (g.image == image) return &g;
  return nullptr;
}

void Fuzz_Host::rearm_fences() {
  for (Guarded_Image& g : images_)
    for (uint8_t* row : g.image->rows_by_y)
      std::memset(row + g.tight, fuzz_fence_canary, std::size_t(g.image->row_bytes - g.tight));
}

void Fuzz_Host::check_fences(const char* after) const {
  for (const Guarded_Image& g : images_) {
    if (!g.block->slack_intact(64)) finding("a write just before a buffer's first row", after);
    for (const uint8_t* row : g.image->rows_by_y)
      for (int32_t k = g.tight; k < g.image->row_bytes; ++k)
        if (row[k] != fuzz_fence_canary) finding("a write past a row's end", after);
  }
}

void Fuzz_Host::check_guards(const char* after) const {
  check_fences(after);
  for (const Guarded_Image& g : images_)
    if (!g.block->slack_intact()) finding("a write before a buffer's first row", after);
}

std::vector<uint8_t> Fuzz_Host::snapshot() const {
  std::vector<uint8_t> out;
  for (const ZT_Shared_Image* image : {&r().color_buffer, &r().depth_buffer}) {
    const Guarded_Image* g = image->empty() ? nullptr : find(*image);
    if (!g) continue;
    for (const uint8_t* row : g->image->rows_by_y) out.insert(out.end(), row, row + g->tight);
  }
  return out;
}

void Fuzz_Host::check_unchanged_outside(const std::vector<uint8_t>& before,
                                        const ZT_Int_Rectangle& clip, const char* after) const {
  const std::vector<uint8_t> now = snapshot();
  if (now.size() != before.size()) finding("the buffers changed size", after);
  std::size_t at = 0;
  for (const ZT_Shared_Image* image : {&r().color_buffer, &r().depth_buffer}) {
    if (image->empty() || !find(*image)) continue;
    const int32_t bpp = ZT_Image_Data::bytes_per_pixel((*image)->format);
    for (int32_t y = 0; y < (*image)->height; ++y)
      for (int32_t x = 0; x < (*image)->width; ++x, at += std::size_t(bpp)) {
        const int64_t dx = int64_t(x) + r().window_origin().x, dy = int64_t(y) + r().window_origin().y;
        const bool inside = dx >= clip.left && dx <= clip.right && dy >= clip.bottom && dy <= clip.top;
        if (!inside && std::memcmp(&now[at], &before[at], std::size_t(bpp)) != 0)
          finding("a pixel outside the hard clip changed", after);
      }
  }
}

namespace {

ZT_Counted_Ptr<ZT_Palette> palette_from(Byte_Reader& in) {
  if (in.pick(8) == 0) return {};  // none: establish refuses a palette colour system
  if (in.flag()) {
    const ZT_Int_RGB levels{int32_t(in.in_range(1, 8)), int32_t(in.in_range(1, 8)),
                            int32_t(in.in_range(1, 6))};
    ZT_Counted_Ptr<ZT_Palette> p(ZT_Palette::with_color_cube(levels, in.take<uint8_t>()));
    if (!p) p = ZT_Palette::with_color_cube({6, 6, 6}, 16);
    return p;
  }
  ZT_Counted_Ptr<ZT_Palette> p(new ZT_Palette());
  for (int32_t i = 0; i < 256; i += 1 + int32_t(in.pick(16)))
    p->set_color(i, ZT_RGB32::from_word(in.take<uint32_t>()));
  p->set_count(in.pick(4) == 0 ? in.take<int32_t>() : int32_t(in.in_range(1, 256)));
  if (in.flag()) {
    ZT_Color_Cube cube({int32_t(in.in_range(0, 9)), int32_t(in.in_range(0, 9)),
                        int32_t(in.in_range(0, 9))},
                       1.0f, in.take<uint8_t>());
    if (in.flag()) {
      cube.red_step = in.take<uint8_t>();
      cube.green_step = in.take<uint8_t>();
      cube.blue_step = in.take<uint8_t>();
    }
    if (in.flag()) {
      auto scale = [&] { return in.flag() ? int32_t(in.in_range(0, 300)) : in.take<int32_t>(); };
      cube.red_scale = scale();
      cube.green_scale = scale();
      cube.blue_scale = scale();
    }
    p->set_color_cube(cube);
  }
  return p;
}

void set_option(ZT_Renderer_Data* r, const char* name, const ZT_Option_Value& v) {
  if (ZT_Option* o = r->requested_options.find(name)) o->set(v);
}

}  // namespace

bool Fuzz_Host::establish_from(Byte_Reader& in, int32_t largest_side) {
  set_option(renderer, "Use Mask", ZT_Option_Value(in.pick(3) == 0));
  set_option(renderer, "Enable Tiling", ZT_Option_Value(in.flag()));
  set_option(renderer, "Force Merge Control On", ZT_Option_Value(in.pick(6) == 0));
  if (in.pick(4) == 0)
    set_option(renderer, "Merge Control Background Color",
               ZT_Option_Value(in.take<int32_t>(), in.take<int32_t>(), in.take<int32_t>()));
  else
    set_option(renderer, "Merge Control Background Color", ZT_Option_Value(255, 255, 255));
  renderer->update_current_options();

  ZT_Renderer_Options& o = *renderer->renderer_options();
  const uint32_t config = in.pick(6);  // A..F
  o.set_buffer_depth(config >= 3 ? 16 : 0);
  o.set_color_system(config == 2 || config == 3 ? 0 : 1);
  o.set_alpha_blending(config == 0 || config == 4);
  const int32_t w = int32_t(in.in_range(1, largest_side)), h = int32_t(in.in_range(1, largest_side));
  o.set_window_size({w, h});
  ZT_Int_Point origin{0, 0};
  switch (in.pick(4)) {
  case 0: origin = {int32_t(in.in_range(-200, 200)), int32_t(in.in_range(-200, 200))}; break;
  case 1: origin = {INT32_MAX - w + 1 - int32_t(in.pick(2)), INT32_MIN + int32_t(in.pick(3))}; break;
  case 2: origin = {in.take<int32_t>(), in.take<int32_t>()}; break;
  default: break;
  }
  o.set_window_origin(origin);
  o.set_local_coordinates(in.pick(4) == 0);
  ZT_Counted_Ptr<ZT_Palette> palette;
  if (o.color_system() != 1) palette = palette_from(in);
  o.set_palette(palette.get());
  const int32_t result = renderer->establish();
  rendition.modify()->hard_clip = {r().window_origin().x, int32_t(int64_t(r().window_origin().x) + w - 1),
                                   r().window_origin().y, int32_t(int64_t(r().window_origin().y) + h - 1)};
  return result == ZT_Established && !r().color_buffer.empty();
}

void Fuzz_Host::rendition_from(Byte_Reader& in) {
  const int32_t w = width(), h = height();
  const ZT_Int_Point o = r().window_origin();
  ZT_Rendition_Data* d = rendition.modify();
  d->depth_test_active = in.pick(5) != 0;
  d->current_color = ZT_RGB32::from_word(in.take<uint32_t>());
  d->current_index = in.take<uint8_t>();
  d->contrast_color = ZT_RGB32::from_word(in.take<uint32_t>());
  d->contrast_index = in.take<uint8_t>();
  d->rectangle_color = ZT_RGB32::from_word(in.take<uint32_t>());
  d->rectangle_index = in.take<uint8_t>();
  d->drawing_mode = in.pick(4) == 0 ? ZT_Drawing_Mode_Merge : 0;
  d->advanced_options = in.pick(3) == 0 ? in.take<uint32_t>() : 0;
  d->line_style = in.pick(12) == 0 ? 1 : 0;
  d->line_weight = in.pick(12) == 0 ? 2 : 1;
  d->marker_style = in.pick(12) == 0 ? 3 : 0;
  switch (in.pick(5)) {
  case 0: {
    const int64_t l = in.in_range(-3, w + 3), b = in.in_range(-3, h + 3);
    d->hard_clip = {int32_t(o.x + l), int32_t(o.x + l + in.in_range(-1, w)), int32_t(o.y + b),
                    int32_t(o.y + b + in.in_range(-1, h))};
    break;
  }
  case 1: d->hard_clip = {INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX}; break;
  case 2: d->hard_clip = {in.take<int32_t>(), in.take<int32_t>(), in.take<int32_t>(), in.take<int32_t>()}; break;
  default: break;  // the window, as establish left it
  }
  d->complex_clip = ZT_Contour_Set();
  d->clip_offset_x = d->clip_offset_y = 0;
  if (in.pick(3) == 0) {
    std::vector<ZT_Point> q(3 + in.pick(4));
    for (ZT_Point& p : q) p = {float(o.x) + in.float_coordinate(w), float(o.y) + in.float_coordinate(h), 0};
    d->complex_clip = ZT_Contour_Set(int32_t(q.size()), q.data(), false);
    if (in.pick(4) == 0) {
      d->clip_offset_x = int32_t(in.in_range(-5, 5));
      d->clip_offset_y = int32_t(in.in_range(-5, 5));
    }
  }
  ZT_Face_Attributes* f = rendition.modify_face();
  const uint32_t pattern = in.pick(8);
  f->pattern_index = pattern < 3 ? ZT_Pattern_Solid
                     : pattern == 3 ? ZT_Pattern_User
                     : pattern == 4 ? int32_t(in.in_range(-3, 80))
                                    : int32_t(in.in_range(0, 73));
  f->pattern_flags = in.pick(4);
  f->pattern_origin = in.pick(4) == 0 ? ZT_Int_Point{in.take<int32_t>(), in.take<int32_t>()}
                                      : ZT_Int_Point{int32_t(in.in_range(-20, 20)), int32_t(in.in_range(-20, 20))};
  f->user_pattern_width = int32_t(in.in_range(1, 20));
  f->user_pattern_height = int32_t(in.in_range(1, 9));
  f->user_pattern_row_bytes = (f->user_pattern_width + 7) / 8 + int32_t(in.pick(3));
  f->user_pattern_bits.assign(std::size_t(f->user_pattern_height * f->user_pattern_row_bytes), 0);
  for (uint8_t& b : f->user_pattern_bits) b = in.take<uint8_t>();
  if (in.pick(6) == 0) f->user_pattern_bits.clear();
  f->depth_offset = in.pick(4) == 0 ? in.take<int32_t>() : int32_t(in.in_range(-300, 300));
  r().depth_test_mode = in.pick(4) == 0 ? in.take<int32_t>() : int32_t(in.pick(6));
  r().depth_write = in.take<uint8_t>();
}

Fuzz_Points points_from(Byte_Reader& in, int32_t extent) {
  Fuzz_Points p;
  const uint32_t size_pick = in.pick(8);
  const int32_t n = size_pick == 0 ? int32_t(in.in_range(64, 70)) : int32_t(in.in_range(0, 12));
  for (int32_t i = 0; i < n; ++i) {
    ZT_DCI_Point q{in.coordinate(extent), in.coordinate(extent), in.depth()};
    if (i > 0 && in.pick(8) == 0) q = p.integer.back();
    p.integer.push_back(q);
    p.floats.push_back({in.pick(3) == 0 ? in.float_coordinate(extent) : float(q.x),
                        in.pick(3) == 0 ? in.float_coordinate(extent) : float(q.y), float(q.z)});
    const double far = in.pick(6) == 0 ? 1e12 : 1.0;
    p.doubles.push_back({double(q.x) * far, double(q.y) * (in.flag() ? far : 1.0), double(q.z)});
  }
  p.count = in.pick(10) == 0 ? int32_t(in.in_range(-5, 0)) : n;
  p.single = in.flag();
  if (in.pick(5) != 0)
    for (int32_t i = 0; i < std::max(n, 1); ++i) p.colours.push_back(ZT_RGB32::from_word(in.take<uint32_t>()));
  return p;
}

namespace {
template <ZT_Slot S>
void draw_points_in(Fuzz_Host& h, const Fuzz_Points& p) {
  using F = typename ZT_Slot_Traits<S>::Function;
  const ZT_Rendition& d = h.rendition;
  const Guarded_Array<ZT_RGB32> colours(p.colours);
  const ZT_RGB32* c = colours.get();
  ZT_Action_Table& a = h.actions();
  if constexpr (std::is_same_v<F, ZT_Int_Strip_Fn> || std::is_same_v<F, ZT_Int_Colorized_Fn> ||
                std::is_same_v<F, ZT_Int_Colors_Fn>) {
    const Guarded_Array<ZT_DCI_Point> points(p.integer);
    if constexpr (std::is_same_v<F, ZT_Int_Strip_Fn>) a.call<S>(d, p.count, points.any());
    else if constexpr (std::is_same_v<F, ZT_Int_Colorized_Fn>) a.call<S>(d, p.count, points.any(), c, p.single);
    else a.call<S>(d, p.count, points.any(), c);
  } else if constexpr (std::is_same_v<F, ZT_Float_Strip_Fn> ||
                       std::is_same_v<F, ZT_Float_Colorized_Fn> ||
                       std::is_same_v<F, ZT_Float_Colors_Fn>) {
    const Guarded_Array<ZT_Point> points(p.floats);
    if constexpr (std::is_same_v<F, ZT_Float_Strip_Fn>) a.call<S>(d, p.count, points.any());
    else if constexpr (std::is_same_v<F, ZT_Float_Colorized_Fn>) a.call<S>(d, p.count, points.any(), c, p.single);
    else a.call<S>(d, p.count, points.any(), c);
  } else if constexpr (std::is_same_v<F, ZT_Double_Strip_Fn> ||
                       std::is_same_v<F, ZT_Double_Colorized_Fn> ||
                       std::is_same_v<F, ZT_Double_Colors_Fn>) {
    const Guarded_Array<ZT_Point_D> points(p.doubles);
    if constexpr (std::is_same_v<F, ZT_Double_Strip_Fn>) a.call<S>(d, p.count, points.any());
    else if constexpr (std::is_same_v<F, ZT_Double_Colorized_Fn>) a.call<S>(d, p.count, points.any(), c, p.single);
    else a.call<S>(d, p.count, points.any(), c);
  }
}
}  // namespace

void draw_points(Fuzz_Host& host, ZT_Slot s, const Fuzz_Points& p) {
  switch (s) {
#define FUZZ_DRAW_CASE(name, fn, standard) \
  case ZT_Slot::name: draw_points_in<ZT_Slot::name>(host, p); break;
    ZT_ACTION_SLOTS(FUZZ_DRAW_CASE)
#undef FUZZ_DRAW_CASE
  default: break;
  }
}

bool clips_to_hard_clip(ZT_Slot s) {
  const std::string name = ZT_slot_name(s);
  return name.find("_2d") != std::string::npos || name.find("preclip") != std::string::npos;
}

int fuzz_point_slots(const uint8_t* data, std::size_t size, std::initializer_list<const char*> parts,
                     std::initializer_list<const char*> without) {
  static const std::vector<ZT_Slot> slots = [&] {
    std::vector<ZT_Slot> out;
    for (int32_t i = 0; i < ZT_Slot_Count; ++i) {
      const std::string name = ZT_slot_name(ZT_Slot(i));
      bool wanted = true;
      for (const char* p : parts) wanted &= name.find(p) != std::string::npos;
      for (const char* p : without) wanted &= name.find(p) == std::string::npos;
      if (wanted) out.push_back(ZT_Slot(i));
    }
    return out;
  }();
  Byte_Reader in(data, size);
  Fuzz_Host& host = Fuzz_Host::for_input();
  if (!host.establish_from(in)) return 0;
  for (int call = 0; call < 4 && !in.exhausted(); ++call) {
    host.rendition_from(in);
    const ZT_Slot slot = slots[in.pick(uint32_t(slots.size()))];
    const Fuzz_Points points = points_from(in, std::max(host.width(), host.height()));
    const std::vector<uint8_t> before = host.snapshot();
    draw_points(host, slot, points);
    host.check_fences(ZT_slot_name(slot));
    if (clips_to_hard_clip(slot))
      host.check_unchanged_outside(before, host.rendition->hard_clip, ZT_slot_name(slot));
  }
  host.check_guards("the input's calls");
  return 0;
}
