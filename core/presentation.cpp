// Presenting a rectangle of the colour buffer through the host's callback.
#include "core/software_z_buffer.h"

// rect is in buffer coordinates, y growing upward; the window's y grows
// downward, so the rectangle's top row lands at window height + origin y - top - 1.
void Software_Z_Buffer::update(const ZT_Int_Rectangle& rect) {
  if (!present) return;
  const ZT_DCI_Point upper_left{rect.left, rect.top, 0};
  const ZT_DCI_Point lower_right{rect.right, rect.bottom, 0};
  const int32_t height = renderer_options()->window_size().y;
  present(present_context, &upper_left, &lower_right, &color_buffer, rect.left + frame.origin_x,
          height + frame.origin_y - rect.top - 1);
}
