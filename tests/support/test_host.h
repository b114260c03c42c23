// A host for tests: loads the renderer module by path, gives it fenced buffers
// and drives it through its action table as the real host would.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/software_z_buffer.h"
#include "host/zarnik11.h"

// Padding at the end of every row of a fenced buffer, filled with a canary: an
// overrun past a row's right end lands in the padding, where the check finds it.
constexpr int32_t fence_bytes = 24;
constexpr uint8_t fence_canary = 0xCD;

constexpr std::string_view every_configuration = "ABCDEF";

struct Window_Setup {
  int32_t width = 64, height = 48;
  int32_t buffer_depth = 16;  // 0: no depth buffer
  int32_t color_system = 1;   // 1 true colour, 0 mapped
  bool alpha_blending = false;
  ZT_Int_Point origin{0, 0};
  bool local_coordinates = false;
};

// A copy of both buffers, pixel x + width × y (local coordinates).
struct Buffers {
  std::vector<uint32_t> color;
  std::vector<uint16_t> depth;  // empty without a depth buffer
};

// The path of the module under test (set by the build).
std::string module_path();
// A file name in the temporary folder, unique to this process.
std::string temporary_path(const std::string& name);

class Test_Host {
public:
  Test_Host();
  // Established in a configuration, the colour buffer 0 and every depth far.
  explicit Test_Host(char configuration, int32_t width = 64, int32_t height = 48,
                     ZT_Int_Point origin = {0, 0});
  ~Test_Host();
  Test_Host(const Test_Host&) = delete;

  // Sets the renderer options for a configuration and establishes.
  void establish(const Window_Setup& setup);
  void establish_config(char configuration, int32_t width = 64, int32_t height = 48,
                        ZT_Int_Point origin = {0, 0});
  int32_t establish_again() { return renderer->establish(); }

  // Sets a named option in the requested table and copies it to the current one.
  void set_option(const char* name, const ZT_Option_Value& value);
  // Turns "Use Mask" on (establishing again) and makes clip the complex clip.
  void use_mask(const ZT_Contour_Set& clip);

  Software_Z_Buffer& r() { return *Software_Z_Buffer::from(renderer); }
  const Software_Z_Buffer& r() const { return *Software_Z_Buffer::from(renderer); }
  ZT_Action_Table& actions() { return renderer->actions; }
  bool mapped() const;  // an 8-bit colour buffer

  // Fills colour buffer pixels (true colour words or indices) and depths, and
  // re-arms the fences.
  void fill_color(uint32_t value);
  void fill_depth(uint16_t value);
  uint32_t color(int32_t x, int32_t y) const;  // local coordinates
  uint16_t depth(int32_t x, int32_t y) const;
  void set_color(int32_t x, int32_t y, uint32_t value);
  void set_depth(int32_t x, int32_t y, uint16_t value);  // ignored without a depth buffer
  std::vector<uint32_t> color_snapshot() const;
  std::vector<uint16_t> depth_snapshot() const;
  Buffers snapshot() const { return {color_snapshot(), depth_snapshot()}; }

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

// Equal colours and equal depths, or where they first differ.
::testing::AssertionResult same_buffers(const Buffers& got, const Buffers& expected, int32_t width);
::testing::AssertionResult same_buffers(const Test_Host& got, const Test_Host& expected);

// A draw through the complex-clip mask (the head of masked's cache, if any)
// left the pixels under set bits as they were before and shows elsewhere what
// the same draw without the mask shows in direct.
::testing::AssertionResult masked_like_direct(const Test_Host& masked, const Buffers& before,
                                              const Test_Host& direct);

// The first pixel where two images of the given width differ, for messages.
template <typename T>
std::string first_difference(const std::vector<T>& a, const std::vector<T>& b, int32_t width) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i] != b[i])
      return "pixel " + std::to_string(i % size_t(width)) + "," +
             std::to_string(i / size_t(width)) + ": " + std::to_string(a[i]) + " instead of " +
             std::to_string(b[i]);
  return a.size() == b.size() ? "none" : "sizes";
}

// The calls the host's standard actions received while draw ran, their own
// drawing turned off meanwhile.
template <class Draw>
std::vector<ZD_Fallback_Call> host_calls(Draw&& draw) {
  ZD_Set_Standard_Actions_Draw(false);
  ZD_Fallback_Log::clear();
  draw();
  ZD_Set_Standard_Actions_Draw(true);
  return ZD_Fallback_Log::calls();
}
