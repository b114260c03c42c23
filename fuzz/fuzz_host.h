// The host of the fuzz targets: one renderer, linked in and created through
// ZD_Renderer, whose buffers the host allocates with a canary at every row end
// and no-access pages around each buffer; a window, palette, options and
// rendition read from the fuzzer's bytes; and the arrays of every call copied
// next to a no-access page, so that reading past them faults.
#pragma once

#include <memory>
#include <vector>

#include "core/software_z_buffer.h"
#include "fuzz/byte_reader.h"
#include "fuzz/guarded_memory.h"
#include "host/zarnik11.h"

extern "C" ZT_Renderer_Data* ZD_Renderer(ZT_Renderer_Data** parent);

// Bytes at the end of every buffer row, filled with a canary.
constexpr int32_t fuzz_fence_bytes = 16;
constexpr uint8_t fuzz_fence_canary = 0xCD;

// Stops the run with a message: libFuzzer keeps the input as a finding.
[[noreturn]] void finding(const char* what, const char* after);

// Space for an array of calls: the last bytes of one of four guarded blocks,
// taken in turn and reused from call to call.
constexpr std::size_t largest_guarded_array = 1 << 16;
uint8_t* guarded_array_space(std::size_t bytes);

// A copy of an array whose end abuts a no-access page.  Up to four live at once
// (one per block); arrays are read only, so only their end is guarded.
template <typename T>
class Guarded_Array {
public:
  explicit Guarded_Array(const std::vector<T>& values) : empty_(values.empty()) {
    const std::size_t bytes = std::max<std::size_t>(values.size(), 1) * sizeof(T);
    data_ = guarded_array_space(bytes);
    std::memset(data_, 0, bytes);
    if (!values.empty()) std::memcpy(data_, values.data(), values.size() * sizeof(T));
  }
  Guarded_Array(const Guarded_Array&) = delete;
  // Null for an empty array: the call passes none.
  const T* get() const { return empty_ ? nullptr : any(); }
  // The copy even when empty (one zero element's worth of bytes).
  const T* any() const { return reinterpret_cast<const T*>(data_); }

private:
  uint8_t* data_;
  bool empty_;
};

// One renderer serves every input of a run (making one per input costs more
// than most draws); each input establishes it afresh and starts from cleared
// buffers, so an input draws the same on every run.
class Fuzz_Host {
public:
  static Fuzz_Host& for_input();
  Fuzz_Host();
  ~Fuzz_Host();
  Fuzz_Host(const Fuzz_Host&) = delete;

  // Reads the named options that establish uses (mask, tiling, merge), a
  // configuration, a window (sides 1..largest_side, an origin near 0 or at the
  // edges of 32 bits, local coordinates or not) and, for the palette
  // configurations, a palette; then establishes.  False when the renderer
  // refused or has no buffers: there is nothing to draw into.
  bool establish_from(Byte_Reader& in, int32_t largest_side = 40);
  // Reads the rendition items and the renderer's depth settings for one draw;
  // the hard clip is inside the window, around it, or anything.
  void rendition_from(Byte_Reader& in);

  // Stops with a finding when a row-end canary or the bytes just before a
  // buffer were touched; check_guards also reads the whole slack before it
  // (up to a page), once per input.
  void check_fences(const char* after) const;
  void check_guards(const char* after) const;
  // Sets every canary again (full-width fills cover the row ends on purpose).
  void rearm_fences();
  // The colour and depth pixels of the window, row by row.
  std::vector<uint8_t> snapshot() const;
  // Stops with a finding when a pixel outside the device rectangle clip changed
  // since the snapshot.
  void check_unchanged_outside(const std::vector<uint8_t>& before, const ZT_Int_Rectangle& clip,
                               const char* after) const;

  Software_Z_Buffer& r() const { return *Software_Z_Buffer::from(renderer); }
  ZT_Action_Table& actions() const { return renderer->actions; }
  int32_t width() const { return r().window_size.x; }
  int32_t height() const { return r().window_size.y; }

  ZT_Renderer_Data* renderer = nullptr;
  ZT_Rendition rendition;

private:
  struct Guarded_Image {
    ZT_Shared_Image image;
    std::unique_ptr<Guarded_Block> block;
    int32_t tight;  // bytes of pixels in a row, before the fence
  };
  static void allocate(void* context, int32_t width, int32_t height, const ZT_Image_Format* format,
                       ZT_Shared_Image* image);
  const Guarded_Image* find(const ZT_Shared_Image& image) const;
  void start_input();

  ZT_Renderer_Data parent_{nullptr};
  std::vector<Guarded_Image> images_;
};

// The points of one call and its colours, in every form the point slots take.
struct Fuzz_Points {
  std::vector<ZT_DCI_Point> integer;
  std::vector<ZT_Point> floats;
  std::vector<ZT_Point_D> doubles;
  std::vector<ZT_RGB32> colours;  // empty: the call passes none
  bool single = false;
  int32_t count = 0;  // the count passed: the number of points, or one below 1
};
// Up to 70 points near a window of the given extent or anywhere, with colours
// (sometimes none), a single-colour flag and sometimes a count of 0 or below.
Fuzz_Points points_from(Byte_Reader& in, int32_t extent);

// Calls slot s (a strip, polyline, polymarker, polygon or pre-clip slot) with
// the points, each array guarded.
void draw_points(Fuzz_Host& host, ZT_Slot s, const Fuzz_Points& p);
// True for the slots that clip their points to the hard clip (2D, 2DI, pre-clip).
bool clips_to_hard_clip(ZT_Slot s);

// One input of a door that takes lists of points: a window, then up to four
// calls of the slots named by every part in `parts` (and by none in
// `without`), each with its own rendition, checking the fences after every
// call and, for the slots that clip, that nothing outside the hard clip moved.
int fuzz_point_slots(const uint8_t* data, std::size_t size,
                     std::initializer_list<const char*> parts,
                     std::initializer_list<const char*> without = {});
