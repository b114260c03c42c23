// Where the triangles of a strip lie against a clip rectangle, from the host's
// outcodes of its points (ZD_Clip: 0 inside, a bit per side the point lies
// beyond).
//
//   all inside       every point inside: the whole strip needs no clipping
//   nothing visible  every point beyond one common side
//   otherwise        walk() sorts the triangles one by one:
//     beyond one side   all three codes share a bit: skipped
//     inside            all three codes 0: a run starts and takes each
//                       following triangle whose third point is inside too
//     straddling        anything else: it needs the clipping worker
//
// The codes live inside the call for up to 64 points, on the heap beyond.
#pragma once

#include <cstdint>

#include "pixel/small_buffer.h"
#include "host/zarnik11.h"

namespace triangles {

class Strip_Outcodes {
public:
  // Points are integer (ZT_DCI_Point) or double (ZT_Point_D) device points.
  template <class Point>
  Strip_Outcodes(const ZT_Int_Rectangle& clip, int32_t count, const Point* points)
      : count_(count), codes_(count) {
    result_ = count > 0 ? ZD_Clip(clip, count, points, codes_.data()) : 0;
  }

  bool all_inside() const { return count_ > 0 && result_ == count_; }
  bool nothing_visible() const { return result_ == 0; }

  // Calls run(i, n) for each run of inside triangles (points i .. i + n - 1, n
  // >= 3) and straddling(i) for each straddling triangle i, in strip order.
  template <class Run, class Straddling>
  void walk(Run&& run, Straddling&& straddling) {
    const uint16_t* c = codes_.data();
    for (int32_t i = 0; i < count_ - 2;) {
      if (c[i] & c[i + 1] & c[i + 2]) {
        ++i;
      } else if ((c[i] | c[i + 1] | c[i + 2]) == 0) {
        int32_t end = i + 3;  // one past the run's last point
        while (end < count_ && c[end] == 0) ++end;
        run(i, end - i);
        i = end - 2;
      } else {
        straddling(i);
        ++i;
      }
    }
  }

  bool codes_on_heap() const { return codes_.on_heap(); }

private:
  int32_t count_;
  int32_t result_ = 0;
  pixel::Small_Buffer<uint16_t> codes_;
};

}  // namespace triangles
