// Renderer options and the renderer data base class every renderer derives from.
#pragma once

#include <cstdint>

#include "host/zt_actions.h"
#include "host/zt_object.h"
#include "host/zt_options.h"
#include "host/zt_palette.h"
#include "host/zt_shared_image.h"

class ZT_Renderer_Options {
public:
  int32_t buffer_depth() const { return buffer_depth_; }
  void set_buffer_depth(int32_t d) { buffer_depth_ = d; }
  // 1 is true colour; every other value is a mapped (palette) colour system.
  int32_t color_system() const { return color_system_; }
  void set_color_system(int32_t c) { color_system_ = c; }
  bool alpha_blending() const { return alpha_blending_; }
  void set_alpha_blending(bool a) { alpha_blending_ = a; }
  bool local_coordinates() const { return local_coordinates_; }
  void set_local_coordinates(bool l) { local_coordinates_ = l; }
  ZT_Int_Point window_origin() const { return window_origin_; }
  void set_window_origin(ZT_Int_Point o) { window_origin_ = o; }
  // x is the width, y the height.  Sides run from 0 (a window without pixels)
  // to ZT_Largest_Window_Side; a size beyond is refused (false) and the window
  // keeps its size.
  ZT_Int_Point window_size() const { return window_size_; }
  bool set_window_size(ZT_Int_Point s) {
    if (s.x < 0 || s.y < 0 || s.x > ZT_Largest_Window_Side || s.y > ZT_Largest_Window_Side)
      return false;
    window_size_ = s;
    return true;
  }
  ZT_Palette* palette() const { return palette_.get(); }
  void set_palette(ZT_Palette* p) { palette_ = p; }
  bool backing_store() const { return backing_store_; }
  void set_backing_store(bool b) { backing_store_ = b; }
  bool supports_complex_clip() const { return supports_complex_clip_; }
  void set_supports_complex_clip(bool s) { supports_complex_clip_ = s; }

private:
  int32_t buffer_depth_ = 0;
  int32_t color_system_ = 1;
  bool alpha_blending_ = false;
  bool local_coordinates_ = false;
  ZT_Int_Point window_origin_{0, 0};
  ZT_Int_Point window_size_{0, 0};
  ZT_Counted_Ptr<ZT_Palette> palette_;
  bool backing_store_ = false;
  bool supports_complex_clip_ = false;
};

// What establish returns: 0 when the renderer draws with the options given;
// otherwise why it refused, and until an establish succeeds every action it
// installs draws nothing and update presents nothing.
enum ZT_Establish_Result : int32_t {
  ZT_Established = 0,
  ZT_Refused_Window_Size = 1,    // a side beyond ZT_Largest_Window_Side
  ZT_Refused_Window_Origin = 2,  // the window's device rectangle leaves 32-bit coordinates
  ZT_Refused_No_Palette = 3,     // a palette colour system without a palette
  ZT_Refused_Color_Cube = 4,     // cube scales beyond what the renderer's arithmetic holds
};
// A sentence saying why, for messages ("" for ZT_Established).
const char* ZD_Establish_Result_Text(int32_t result);

// Image allocation: (context, width, height, format, image to fill).
using ZT_Image_Allocator = void (*)(void* context, int32_t width, int32_t height,
                                    const ZT_Image_Format* format, ZT_Shared_Image* image);
// Presentation: (context, upper-left (left, top, 0), lower-right (right, bottom, 0),
// colour buffer, destination x, destination y in the window's downward y).
using ZT_Presenter = int32_t (*)(void* context, const ZT_DCI_Point* upper_left,
                                 const ZT_DCI_Point* lower_right, const ZT_Shared_Image* image,
                                 int32_t dest_x, int32_t dest_y);

// The base of every renderer: the action table, the requested and current
// option tables, the renderer options written by the constructor and the
// current ones read by establish, and the host callbacks.
class ZT_Renderer_Data : public ZT_Counted {
public:
  // Copies the parent's option tables (sharing their values), callbacks and
  // current renderer options; a null parent gives a renderer data with defaults.
  explicit ZT_Renderer_Data(const ZT_Renderer_Data* parent);
  ~ZT_Renderer_Data() override;

  // Virtual operations, in table order after the deleting destructor.
  virtual int32_t unnamed_operation();
  virtual ZT_Renderer_Options* renderer_options();
  virtual ZT_Renderer_Options* renderer_options_second();
  virtual void optimize_current_options();
  virtual void optimize_current_renderer_options();
  virtual ZT_Option_Table* option_table();
  virtual int32_t establish();
  virtual int32_t establish_all();
  virtual void begin_picture();
  virtual void begin_picture_all();
  virtual void end_picture();
  virtual void end_picture_all();
  virtual void update(const ZT_Int_Rectangle& rect);
  virtual void update_all(const ZT_Int_Rectangle& rect);

  // Installs the host's standard action in every slot.  only_empty: leave slots
  // that already hold a function.
  void set_standard_actions(bool only_empty);
  // Copies every requested option set since the last update into the current
  // table (sharing the value); options never set keep their current values.
  void update_current_options();

  ZT_Action_Table actions;
  ZT_Option_Table requested_options;
  ZT_Option_Table current_options;
  ZT_Renderer_Options constructor_renderer_options;
  ZT_Renderer_Options current_renderer_options;
  ZT_Image_Allocator allocate_image = nullptr;
  void* allocate_image_context = nullptr;
  ZT_Presenter present = nullptr;
  void* present_context = nullptr;
  // The renderer data whose current options and tables this one answers with.
  ZT_Renderer_Data* owner;
  uint32_t last_update_stamp = 0;
};

// The host's image allocator: a fresh image of the requested size and format
// with tight rows.
void ZD_Default_Allocate_Image(void* context, int32_t width, int32_t height,
                               const ZT_Image_Format* format, ZT_Shared_Image* image);

// Signatures of the two setters a renderer publishes through the option values
// of "ZBuffer Write" and "ZBuffer Test" in its current table.
using ZT_Depth_Write_Setter = void (*)(ZT_Renderer_Data* renderer, bool write);
using ZT_Depth_Test_Setter = void (*)(ZT_Renderer_Data* renderer, const int32_t* mode);
