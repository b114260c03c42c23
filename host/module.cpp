#include <dlfcn.h>

#include "host/zt_module.h"
#include "host/zt_renderer_data.h"

ZT_Module::~ZT_Module() { unload(); }

bool ZT_Module::load(const std::string& path) {
  unload();
  // RTLD_LOCAL keeps the module's own symbols private; it finds the host's
  // symbols in the host library that this program already loaded.
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* e = dlerror();
    error_ = e ? e : "cannot load module";
    return false;
  }
  entry_ = reinterpret_cast<ZT_Renderer_Data* (*)(ZT_Renderer_Data**)>(
      dlsym(handle_, "ZD_Renderer"));
  if (!entry_) {
    error_ = "module has no ZD_Renderer: " + path;
    unload();
    return false;
  }
  error_.clear();
  return true;
}

void ZT_Module::unload() {
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
  entry_ = nullptr;
}

ZT_Renderer_Data* ZT_Module::create_renderer(ZT_Renderer_Data* parent) {
  if (!entry_) return nullptr;
  ZT_Renderer_Data* r = entry_(&parent);
  if (r) r->retain();
  return r;
}
