// A host for tests: loads the renderer module by path, gives it fenced buffers
// and drives it through its action table as the real host would.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "software_z_buffer.h"
#include "zarnik11.h"

// Padding at the end of every row of a fenced buffer, filled with a canary: an
// overrun past a row's right end lands in the padding, where the check finds it.
constexpr int32_t fence_bytes = 24;
constexpr uint8_t fence_canary = 0xCD;

struct Window_Setup {
  int32_t width = 64, height = 48;
  int32_t buffer_depth = 16;  // 0: no depth buffer
  int32_t color_system = 1;   // 1 true colour, 0 mapped
  bool alpha_blending = false;
  ZT_Int_Point origin{0, 0};
  bool local_coordinates = false;
};

// The path of the module under test (set by the build).
std::string module_path();

class Test_Host {
public:
  Test_Host();
  ~Test_Host();
  Test_Host(const Test_Host&) = delete;

  // Sets the renderer options for a configuration and establishes.
  void establish(const Window_Setup& setup);
  void establish_config(char configuration, int32_t width = 64, int32_t height = 48,
                        ZT_Int_Point origin = {0, 0});
  int32_t establish_again() { return renderer->establish(); }

  // Sets a named option in the requested table and copies it to the current one.
  void set_option(const char* name, const ZT_Option_Value& value);

  Software_Z_Buffer& r() { return *Software_Z_Buffer::from(renderer); }
  ZT_Action_Table& actions() { return renderer->actions; }

  // Fills colour buffer pixels (true colour words or indices) and depths, and
  // re-arms the fences.
  void fill_color(uint32_t value);
  void fill_depth(uint16_t value);
  uint32_t color(int32_t x, int32_t y) const;  // local coordinates
  uint16_t depth(int32_t x, int32_t y) const;
  std::vector<uint32_t> color_snapshot() const;
  std::vector<uint16_t> depth_snapshot() const;

  // True when every fence byte of both buffers still holds the canary.
  bool fences_intact() const;
  void rearm_fences();

  ZT_Module module;
  ZT_Renderer_Data parent{nullptr};
  ZT_Renderer_Data* renderer = nullptr;
  ZT_Rendition rendition;
  int allocations = 0;
};

// The fenced allocator: rows carry fence_bytes of canary at their end.
void fenced_allocate(void* context, int32_t width, int32_t height, const ZT_Image_Format* format,
                     ZT_Shared_Image* image);
