// A host program's hold on the renderer: the module loaded by path, one renderer
// created from a parent whose callbacks this session serves (it allocates the
// buffers, so it knows them, and it receives what update presents), and the
// window it shows.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "tools/module_location.h"
#include "tools/pixel_configuration.h"
#include "tools/window_image.h"
#include "host/zarnik11.h"

// A module that cannot be loaded or creates no renderer.
struct Host_Error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// What the renderer presented: the rectangle in buffer coordinates and the
// window position its upper-left corner was given.
struct Presentation {
  ZT_Int_Rectangle rect;
  int32_t dest_x = 0, dest_y = 0;
  friend bool operator==(const Presentation&, const Presentation&) = default;
};

class Host_Session {
public:
  explicit Host_Session(const std::string& module_path);
  // A renderer from an entry point linked into the program (the fuzz targets).
  explicit Host_Session(ZT_Renderer_Data* (*entry)(ZT_Renderer_Data**));
  ~Host_Session();
  Host_Session(const Host_Session&) = delete;
  Host_Session& operator=(const Host_Session&) = delete;

  ZT_Renderer_Data* renderer() const { return renderer_; }
  ZT_Renderer_Options& options() const { return *renderer_->renderer_options(); }

  // Window size and the renderer options of a configuration; a palette
  // configuration gets a palette with a 6×6×6 colour cube.  Does not establish.
  void configure(int32_t width, int32_t height, const Pixel_Configuration& configuration);

  // The buffers the renderer drew into at its last establish (empty before, and
  // the depth buffer empty in configurations without one).
  ZT_Shared_Image color_buffer() const;
  ZT_Shared_Image depth_buffer() const;

  // Everything update presented since the colour buffer was allocated,
  // window-sized, top row first (the window's downward y).
  const Window_Image& presented() const { return presented_; }
  // Every presentation since the session began, in order.
  const std::vector<Presentation>& presentations() const { return presentations_; }

private:
  static void allocate(void* context, int32_t width, int32_t height,
                       const ZT_Image_Format* format, ZT_Shared_Image* image);
  static int32_t present(void* context, const ZT_DCI_Point* upper_left,
                         const ZT_DCI_Point* lower_right, const ZT_Shared_Image* image,
                         int32_t dest_x, int32_t dest_y);

  ZT_Module module_;
  ZT_Renderer_Data parent_{nullptr};
  ZT_Renderer_Data* renderer_ = nullptr;
  ZT_Shared_Image last_depth_;  // the depth buffer the renderer asked for last
  Window_Image presented_;
  std::vector<Presentation> presentations_;
};
