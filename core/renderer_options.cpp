// The renderer's named options and the two depth setters published through them.
#include "core/software_z_buffer.h"

namespace {

struct Option_Definition {
  const char* name;
  ZT_Option_Enum::Scope scope;
  ZT_Option_Value* (*make_default)();
  int32_t handle;  // position among the kept handles, or -1
};

ZT_Option_Value* bool_value(bool v) { return new ZT_Option_Value(v); }
ZT_Option_Value* null_pointer() { return new ZT_Option_Value(static_cast<void*>(nullptr)); }

// Registration order.  "Mask Cache" comes after "ZBuffer Test" although its
// handle is kept in position 3; it is added only when the table lacks it.
const Option_Definition option_definitions[] = {
    {"Margin", ZT_Option_Enum::Scope_Renderer, [] { return new ZT_Option_Value(int32_t(0)); },
     Option_Margin},
    {"Color Buffer", ZT_Option_Enum::Scope_Renderer, null_pointer, Option_Color_Buffer},
    {"Depth Buffer", ZT_Option_Enum::Scope_Renderer, null_pointer, Option_Depth_Buffer},
    {"Try MMX", ZT_Option_Enum::Scope_Renderer, [] { return bool_value(true); }, Option_Try_MMX},
    {"Use Mask", ZT_Option_Enum::Scope_Renderer, [] { return bool_value(false); },
     Option_Use_Mask},
    {"Clip Phase", ZT_Option_Enum::Scope_Renderer, [] { return bool_value(false); },
     Option_Clip_Phase},
    {"Enable Tiling", ZT_Option_Enum::Scope_Renderer, [] { return bool_value(false); },
     Option_Enable_Tiling},
    {"Merge Control Background Color", ZT_Option_Enum::Scope_Renderer,
     [] { return new ZT_Option_Value(255, 255, 255); }, Option_Merge_Background_Color},
    {"Force Merge Control On", ZT_Option_Enum::Scope_Renderer, [] { return bool_value(false); },
     Option_Force_Merge},
    {"ZBuffer Write", ZT_Option_Enum::Scope_Renderer, null_pointer, Option_ZBuffer_Write},
    {"ZBuffer Test", ZT_Option_Enum::Scope_Renderer, null_pointer, Option_ZBuffer_Test},
    {"Supports Advanced Plotwise Rendering", ZT_Option_Enum::Scope_Renderer,
     [] { return bool_value(true); }, -1},
    {"Supports Antialiased Lines", ZT_Option_Enum::Scope_Renderer,
     [] { return bool_value(false); }, -1},
    {"Supports Gooch Shader", ZT_Option_Enum::Scope_Renderer, [] { return bool_value(false); },
     -1},
    {"Supports Shadow Mapping Shader", ZT_Option_Enum::Scope_Renderer,
     [] { return bool_value(false); }, -1},
    {"Shadow Mapping Quality", ZT_Option_Enum::Scope_Renderer,
     [] { return new ZT_Option_Value(int32_t(0)); }, -1},
    {"Max Active Lights", ZT_Option_Enum::Scope_Renderer,
     [] { return new ZT_Option_Value(int32_t(2147483647)); }, -1},
    {"No ISM Image Support", ZT_Option_Enum::Scope_Renderer, [] { return bool_value(true); },
     -1},
};

void set_depth_write(ZT_Renderer_Data* r, bool write) {
  Software_Z_Buffer::from(r)->depth_write = write ? 1 : 0;
}
void set_depth_test(ZT_Renderer_Data* r, const int32_t* mode) {
  Software_Z_Buffer::from(r)->depth_test_mode = *mode;
}
static_assert(std::is_same_v<decltype(&set_depth_write), ZT_Depth_Write_Setter>);
static_assert(std::is_same_v<decltype(&set_depth_test), ZT_Depth_Test_Setter>);

void install_setter(ZT_Option_Table& table, const char* name, void* address) {
  ZT_Option* option = table.find(name);
  if (!option) return;
  // The value must be this option's own before it changes.
  option->value_ref().make_unshared()->set_pointer(address);
}

}  // namespace

void register_renderer_options(ZT_Option_Table& table, ZT_Option* handles[Option_Handle_Count]) {
  for (const Option_Definition& d : option_definitions) {
    ZT_String name(d.name);
    ZT_Option option(name, d.scope, d.make_default());
    ZT_Option* handle = table.add(option);
    if (d.handle >= 0) handles[d.handle] = handle;
  }
  ZT_String mask_cache("Mask Cache");
  ZT_Option* handle = table.find(mask_cache);
  if (!handle)
    handle = table.add(ZT_Option(mask_cache, ZT_Option_Enum::Scope_Shared, null_pointer()));
  handles[Option_Mask_Cache] = handle;
}

void install_depth_setters(Software_Z_Buffer& renderer) {
  install_setter(renderer.current_options, "ZBuffer Write",
                 reinterpret_cast<void*>(&set_depth_write));
  install_setter(renderer.current_options, "ZBuffer Test",
                 reinterpret_cast<void*>(&set_depth_test));
}
