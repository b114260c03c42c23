// Presenting a rectangle of the colour buffer through the host's callback.
#include <algorithm>

#include "core/software_z_buffer.h"

// rect is in buffer coordinates, y growing upward; the window's y grows
// downward, so the rectangle's top row lands at window height + origin y - top - 1.
// Only the part of the rectangle inside the colour buffer is presented, and
// nothing when no part is, or when its destination would leave 32-bit
// coordinates (a window changed since establish can put it there).
void Software_Z_Buffer::update(const ZT_Int_Rectangle& rect) {
  if (!present || color_buffer.empty()) return;
  const ZT_Int_Rectangle cut{std::max(rect.left, 0), std::min(rect.right, color_buffer->width - 1),
                             std::max(rect.bottom, 0), std::min(rect.top, color_buffer->height - 1)};
  if (cut.left > cut.right || cut.bottom > cut.top) return;
  const int64_t height = renderer_options()->window_size().y;
  const int64_t dest_x = int64_t(cut.left) + frame.origin_x;
  const int64_t dest_y = height + frame.origin_y - cut.top - 1;
  if (dest_x != int32_t(dest_x) || dest_y != int32_t(dest_y)) return;
  const ZT_DCI_Point upper_left{cut.left, cut.top, 0};
  const ZT_DCI_Point lower_right{cut.right, cut.bottom, 0};
  present(present_context, &upper_left, &lower_right, &color_buffer, int32_t(dest_x),
          int32_t(dest_y));
}
