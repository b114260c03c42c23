// Loading a renderer module (.zdi) by path.
#pragma once

#include <string>

class ZT_Renderer_Data;

// A loaded module.  Unloads when destroyed; renderers it created must be
// released before.
class ZT_Module {
public:
  ZT_Module() = default;
  ZT_Module(const ZT_Module&) = delete;
  ZT_Module& operator=(const ZT_Module&) = delete;
  ~ZT_Module();

  // Loads the module and finds ZD_Renderer.  False with error() set on failure.
  bool load(const std::string& path);
  void unload();
  bool loaded() const { return handle_ != nullptr; }
  const std::string& error() const { return error_; }
  // Creates a renderer from the parent through ZD_Renderer (count 1, owned by the
  // caller: release it).  Null when the module is not loaded or creation failed.
  ZT_Renderer_Data* create_renderer(ZT_Renderer_Data* parent);

private:
  void* handle_ = nullptr;
  ZT_Renderer_Data* (*entry_)(ZT_Renderer_Data**) = nullptr;
  std::string error_;
};
