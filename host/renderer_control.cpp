#include "host/zd_call_recorder.h"
#include "host/zd_renderer_control.h"
#include "host/zt_renderer_data.h"

bool ZD_Set_Option(ZT_Renderer_Data* renderer, const char* name, const ZT_Option_Value& value) {
  ZT_Option* option = renderer->requested_options.find(name);
  if (!option || (option->value() && option->value()->kind() != value.kind())) return false;
  if (ZD_call_recorder) ZD_call_recorder->option(renderer, name, value);
  option->set(value);
  renderer->update_current_options();
  return true;
}

namespace {
void* published_setter(ZT_Renderer_Data* renderer, const char* name) {
  const ZT_Option* option = renderer->option_table()->find(name);
  return option && option->value() ? option->value()->as_pointer() : nullptr;
}
}  // namespace

bool ZD_Set_ZBuffer_Write(ZT_Renderer_Data* renderer, bool write) {
  auto setter =
      reinterpret_cast<ZT_Depth_Write_Setter>(published_setter(renderer, ZD_ZBuffer_Write_Option));
  if (!setter) return false;
  if (ZD_call_recorder)
    ZD_call_recorder->option(renderer, ZD_ZBuffer_Write_Option, ZT_Option_Value(write));
  setter(renderer, write);
  return true;
}

bool ZD_Set_ZBuffer_Test(ZT_Renderer_Data* renderer, int32_t mode) {
  auto setter =
      reinterpret_cast<ZT_Depth_Test_Setter>(published_setter(renderer, ZD_ZBuffer_Test_Option));
  if (!setter) return false;
  if (ZD_call_recorder)
    ZD_call_recorder->option(renderer, ZD_ZBuffer_Test_Option, ZT_Option_Value(mode));
  setter(renderer, &mode);
  return true;
}

int32_t ZD_Establish(ZT_Renderer_Data* renderer) {
  if (ZD_call_recorder) ZD_call_recorder->establish(renderer);
  return renderer->establish();
}

void ZD_Update(ZT_Renderer_Data* renderer, const ZT_Int_Rectangle& rect) {
  if (ZD_call_recorder) ZD_call_recorder->update(renderer, rect);
  renderer->update(rect);
}
