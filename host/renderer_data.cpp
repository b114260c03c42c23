#include <algorithm>

#include "host/zt_renderer_data.h"

ZT_Renderer_Data::ZT_Renderer_Data(const ZT_Renderer_Data* parent) : owner(this) {
  if (parent) {
    requested_options = parent->requested_options;
    current_options = parent->current_options;
    current_renderer_options = parent->current_renderer_options;
    allocate_image = parent->allocate_image;
    allocate_image_context = parent->allocate_image_context;
    present = parent->present;
    present_context = parent->present_context;
  }
  if (!allocate_image) allocate_image = &ZD_Default_Allocate_Image;
}

ZT_Renderer_Data::~ZT_Renderer_Data() = default;

int32_t ZT_Renderer_Data::unnamed_operation() { return 0; }
ZT_Renderer_Options* ZT_Renderer_Data::renderer_options() {
  return &owner->current_renderer_options;
}
ZT_Renderer_Options* ZT_Renderer_Data::renderer_options_second() {
  return &owner->current_renderer_options;
}
void ZT_Renderer_Data::optimize_current_options() {}
void ZT_Renderer_Data::optimize_current_renderer_options() {}
ZT_Option_Table* ZT_Renderer_Data::option_table() { return &owner->current_options; }
int32_t ZT_Renderer_Data::establish() { return 0; }
int32_t ZT_Renderer_Data::establish_all() { return establish(); }
void ZT_Renderer_Data::begin_picture() {}
void ZT_Renderer_Data::begin_picture_all() { begin_picture(); }
void ZT_Renderer_Data::end_picture() {}
void ZT_Renderer_Data::end_picture_all() { end_picture(); }
void ZT_Renderer_Data::update(const ZT_Int_Rectangle&) {}
void ZT_Renderer_Data::update_all(const ZT_Int_Rectangle& rect) { update(rect); }

void ZT_Renderer_Data::set_standard_actions(bool only_empty) {
#define ZT_INSTALL_STANDARD(name, fn, standard)                                                 \
  if (!only_empty || !actions.slot(ZT_Slot::name).function)                                     \
    actions.install<ZT_Slot::name>(this, &standard);
  ZT_ACTION_SLOTS(ZT_INSTALL_STANDARD)
#undef ZT_INSTALL_STANDARD
}

void ZT_Renderer_Data::update_current_options() {
  uint32_t since = last_update_stamp;
  for (std::size_t i = 0; i < requested_options.size(); ++i) {
    ZT_Option* requested = requested_options.at(i);
    if (requested->set_stamp() <= since) continue;
    if (ZT_Option* current = current_options.find(requested->name()))
      current->share(requested->value());
    else
      current_options.add(*requested);
    last_update_stamp = std::max(last_update_stamp, requested->set_stamp());
  }
}

void ZD_Default_Allocate_Image(void*, int32_t width, int32_t height,
                               const ZT_Image_Format* format, ZT_Shared_Image* image) {
  *image = ZT_Shared_Image(width, height, *format, 0, nullptr, false);
}

const char* ZD_Establish_Result_Text(int32_t result) {
  switch (result) {
  case ZT_Established: return "";
  case ZT_Refused_Window_Size: return "the window is larger than 16384 x 16384 pixels";
  case ZT_Refused_Window_Origin:
    return "the window's origin puts its far corner beyond 32-bit device coordinates";
  case ZT_Refused_No_Palette: return "a palette colour system needs a palette";
  case ZT_Refused_Color_Cube:
    return "the palette's colour cube has scales beyond 128, which the renderer cannot dither";
  default: return "the renderer refused the options";
  }
}

const char* ZT_slot_name(ZT_Slot s) {
  static const char* const names[] = {
#define ZT_SLOT_NAME(name, fn, standard) #name,
      ZT_ACTION_SLOTS(ZT_SLOT_NAME)
#undef ZT_SLOT_NAME
  };
  int32_t i = int32_t(s);
  return i >= 0 && i < ZT_Slot_Count ? names[i] : "?";
}

bool ZT_Action_Table::holds_standard(ZT_Slot s) const {
  static void (*const standards[])() = {
#define ZT_SLOT_STANDARD(name, fn, standard) reinterpret_cast<void (*)()>(&standard),
      ZT_ACTION_SLOTS(ZT_SLOT_STANDARD)
#undef ZT_SLOT_STANDARD
  };
  return slots_[int32_t(s)].function == standards[int32_t(s)];
}
