// The frame of a call that takes double-precision device points anywhere (the
// pre-clipped actions) and draws them through the integer actions.
//
// For as long as it lives, the renderer's window origin is (0, 0): every point
// handed on is local (device minus the origin the window had), and so is every
// coordinate the integer actions and the host's routines they call work in.
// The origin comes back when it ends, on every exit, an exception included.
//
// The rendition handed on is a copy of the caller's with its hard clip made
// local and reduced to the window.  The copy lives in the call, not on the heap:
// its handle keeps one extra reference, so no release ever deletes it, and
// anything that changes it through another handle copies it first, as with any
// shared rendition.  Nothing may keep a handle on it past the call.
//
// Points within far_reach of the origin on both axes (the far rectangle) fit
// 32 bits as local points; the rest are cut back to that band first.
#pragma once

#include <algorithm>
#include <cstdint>

#include "host/zarnik11.h"
#include "pixel/renderer_state.h"

namespace pixel {

constexpr int32_t far_reach = 0x40000000;  // 2^30

// The far rectangle in local coordinates.
constexpr ZT_Int_Rectangle local_far_rectangle{-far_reach, far_reach, -far_reach, far_reach};

constexpr int32_t saturated(int64_t v) {
  return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

class Window_Local_Call {
public:
  Window_Local_Call(Renderer_State& renderer, const ZT_Rendition& caller)
      : renderer_(renderer), origin_(renderer.window_origin()), copy_(*caller), local_(&copy_) {
    local_.set_hard_clip_unrestricted(window_clip(caller->hard_clip), false);
    copy_.retain();
    renderer_.frame.origin_x = 0;
    renderer_.frame.origin_y = 0;
  }
  ~Window_Local_Call() {
    renderer_.frame.origin_x = origin_.x;
    renderer_.frame.origin_y = origin_.y;
  }
  Window_Local_Call(const Window_Local_Call&) = delete;
  Window_Local_Call& operator=(const Window_Local_Call&) = delete;

  // The rendition the integer actions receive.
  const ZT_Rendition& rendition() const { return local_; }

  // The far rectangle in device coordinates: the origin ± far_reach, within
  // the 32-bit range.
  ZT_Int_Rectangle far_rectangle() const {
    return {saturated(int64_t(origin_.x) - far_reach), saturated(int64_t(origin_.x) + far_reach),
            saturated(int64_t(origin_.y) - far_reach), saturated(int64_t(origin_.y) + far_reach)};
  }

  // A device point inside the far rectangle as a local point: x and y rounded
  // (ZD_Preclip_Round, halves upward) before the origin is taken off, so that
  // a point lands on the same pixel whatever the window's origin; z rounded.
  ZT_DCI_Point local_point(const ZT_Point_D& p) const {
    return {saturated(int64_t(ZD_Preclip_Round(p.x)) - origin_.x),
            saturated(int64_t(ZD_Preclip_Round(p.y)) - origin_.y), ZD_Preclip_Round(p.z)};
  }
  // An integer device point (a cut point within the far rectangle) made local.
  ZT_DCI_Point relative(const ZT_DCI_Point& p) const {
    return {saturated(int64_t(p.x) - origin_.x), saturated(int64_t(p.y) - origin_.y), p.z};
  }
  // A device point moved to local coordinates in double precision, for cutting
  // against local_far_rectangle.
  ZT_Point_D translated(const ZT_Point_D& p) const {
    return {p.x - origin_.x, p.y - origin_.y, p.z};
  }

private:
  // The hard clip in local coordinates within the window.  A clip that misses
  // the window stays empty (left past right or bottom past top) rather than
  // shrinking onto its border.
  ZT_Int_Rectangle window_clip(const ZT_Int_Rectangle& c) const {
    const int64_t w = renderer_.frame.width, h = renderer_.frame.height;
    return {int32_t(std::clamp<int64_t>(int64_t(c.left) - origin_.x, 0, w)),
            int32_t(std::clamp<int64_t>(int64_t(c.right) - origin_.x, -1, w - 1)),
            int32_t(std::clamp<int64_t>(int64_t(c.bottom) - origin_.y, 0, h)),
            int32_t(std::clamp<int64_t>(int64_t(c.top) - origin_.y, -1, h - 1))};
  }

  Renderer_State& renderer_;
  const ZT_Int_Point origin_;
  ZT_Rendition_Data copy_;
  ZT_Rendition local_;
};

}  // namespace pixel
