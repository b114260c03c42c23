// How a line pixel is written: the policies a line rule is built from (mask,
// depth, colour write) and the colour sources that feed it.
//
// A pixel is tested in the order mask, depth, colour.  Every choice that
// changes the inner loop is a type; what varies from draw to draw (the depth
// test mode, the merge colours, the colour cube) is data inside the policies.
#pragma once

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "pixel/color_policies.h"
#include "pixel/color_rules.h"
#include "pixel/depth_policies.h"
#include "pixel/dither.h"
#include "pixel/fixed_point.h"
#include "pixel/frame.h"
#include "pixel/mask_cursor.h"

namespace lines {

// The buffers of one draw: rows by local y, and the mask's rows when a
// complex-clip mask applies.
struct Line_Target {
  pixel::Frame frame;
  uint8_t* const* mask_rows = nullptr;

  template <typename Pixel>
  Pixel* color_row(int32_t y) const {
    return reinterpret_cast<Pixel*>(frame.color_rows[y]);
  }
  uint16_t* depth_row(int32_t y) const { return reinterpret_cast<uint16_t*>(frame.depth_rows[y]); }
};

// ---- Mask ----------------------------------------------------------------

struct No_Mask {
  struct Cursor {
    bool excluded() const { return false; }
    template <int Dx>
    void step() {}
  };
  static Cursor at(const Line_Target&, int32_t, int32_t) { return {}; }
};

struct Complex_Clip_Mask {
  struct Cursor {
    pixel::Mask_Cursor bits;
    bool excluded() const { return bits.excluded(); }
    template <int Dx>
    void step() {
      if constexpr (Dx > 0)
        bits.step_right();
      else
        bits.step_left();
    }
  };
  static Cursor at(const Line_Target& t, int32_t y, int32_t x) {
    return {pixel::Mask_Cursor{t.mask_rows[y], 0}.advanced(x)};
  }
};

// ---- Depth and colour write ---------------------------------------------
//
// A rule's depth and colour policies are the pixel floor's: interpolated 16-bit
// depths take the branch-free range form of the mode, a point's own 32-bit z
// is compared as it is.

// ---- Colour sources ------------------------------------------------------
//
// A source gives the colour of the pixel at p on local row y and steps along
// the segment.  Solid sources never change; shaded ones carry one 16.16
// accumulator per byte of the colour word, started at (c0 << 16) + one half and
// stepped by ((c1 - c0) << 16) / m, the byte being bits 16..23.

template <typename Pixel>
struct Solid {
  Pixel value;
  Pixel colour(const Pixel*, int32_t) const { return value; }
  void step() {}
  void advance(int32_t) {}
};

// One true colour dithered into the colour cube: the corners are found once,
// only the threshold is per pixel.
struct Dithered_Solid {
  pixel::Dithered_Index index;
  uint8_t colour(const uint8_t* p, int32_t y) const {
    return index.at_without_branches(p, pixel::dither_row(y));
  }
  void step() {}
  void advance(int32_t) {}
};

// Channels 3: blue, green, red interpolated, alpha 255.  Channels 4: alpha too.
template <int Channels>
struct Shaded {
  int32_t acc[Channels] = {};
  int32_t step_of[Channels] = {};

  Shaded() = default;
  Shaded(uint32_t c0, uint32_t c1, int32_t m) {
    for (int i = 0; i < Channels; ++i) {
      const int32_t a = int32_t((c0 >> (8 * i)) & 255), b = int32_t((c1 >> (8 * i)) & 255);
      acc[i] = pixel::start_16(a);
      step_of[i] = pixel::step_16(b - a, m);
    }
  }
  uint32_t word() const {
    uint32_t w = Channels == 4 ? 0 : pixel::opaque_alpha;
    for (int i = 0; i < Channels; ++i) w |= uint32_t((acc[i] >> 16) & 255) << (8 * i);
    return w;
  }
  uint32_t colour(const uint32_t*, int32_t) const { return word(); }
  void step() {
    for (int i = 0; i < Channels; ++i) acc[i] += step_of[i];
  }
  void advance(int32_t k) {
    for (int i = 0; i < Channels; ++i) acc[i] += int32_t(int64_t(k) * step_of[i]);
  }
};

// Interpolated true colour, dithered into the colour cube at every pixel.
struct Shaded_Dithered : Shaded<3> {
  const ZT_Color_Cube* cube = nullptr;
  Shaded_Dithered() = default;
  Shaded_Dithered(uint32_t c0, uint32_t c1, int32_t m, const ZT_Color_Cube* c)
      : Shaded<3>(c0, c1, m), cube(c) {}
  uint8_t colour(const uint8_t* p, int32_t y) const {
    const pixel::Dithered_Index index{pixel::dither_record(*cube, ZT_RGB32::from_word(word()))};
    return index.at_without_branches(p, pixel::dither_row(y));
  }
};

// ---- The pen: depth and colour stepped together --------------------------

// Depth is a 17.15 accumulator started at (z0 << 15) + one half and stepped by
// ((z1 - z0) << 15) / m; it is kept unsigned so that hostile depths wrap
// instead of overflowing.  The pixel's depth is bits 15..30.  The pen holds the
// accumulator and its step shifted left by one (bit 31 is never looked at, so
// dropping it changes nothing): the depth is then simply the upper half.
template <bool Uses_Depth, typename Source>
struct Pen {
  uint32_t z_high = 0, dz_high = 0;
  Source colour;

  Pen() = default;
  Pen(uint32_t z, uint32_t dz, Source c) : z_high(z << 1), dz_high(dz << 1), colour(c) {}

  uint32_t depth() const { return z_high >> 16; }
  void step() {
    if constexpr (Uses_Depth) z_high += dz_high;
    colour.step();
  }
  void advance(int32_t k) {
    if constexpr (Uses_Depth) z_high += uint32_t(k) * dz_high;
    colour.advance(k);
  }
};

// The 17.15 start and step of a depth over m steps, in wrapping arithmetic.
inline uint32_t depth_start(int32_t z0) {
  return (uint32_t(z0) << 15) + uint32_t(pixel::half_15);
}
inline uint32_t depth_step(int32_t z0, int32_t z1, int32_t m) {
  return uint32_t(pixel::step_15(int32_t(uint32_t(z1) - uint32_t(z0)), m));
}
// The 16-bit depth of the accumulator after all m steps: one step past the
// last of m pixels.
inline uint32_t depth_after_steps(int32_t z0, int32_t z1, int32_t m) {
  return ((depth_start(z0) + uint32_t(m) * depth_step(z0, z1, m)) >> 15) & 0xFFFF;
}

// ---- The rule: one pixel, or a run along a row ---------------------------

template <typename Pixel_, typename Mask_, typename Depth_, typename Write_>
struct Pixel_Rule {
  using Pixel = Pixel_;
  using Mask = Mask_;
  using Depth = Depth_;
  using Write = Write_;

  Line_Target target;
  Depth depth;
  Write write;

  template <typename Z, typename Source>
  void plot(int32_t y, int32_t x, Z z, const Source& source) const {
    if (Mask::at(target, y, x).excluded()) return;
    uint16_t* d = nullptr;
    if constexpr (Depth::enabled) d = target.depth_row(y) + x;
    put(target.color_row<Pixel>(y) + x, d, y, z, source);
  }

  // n pixels of row y from column x, moving by Dx (+1 or -1).
  template <int Dx, typename Pen>
  void run(int32_t y, int32_t x, int32_t n, Pen& pen) const {
    Pixel* p = target.color_row<Pixel>(y) + x;
    if constexpr (is_solid_fill<Pen>()) {
      // Opaque solid colour without depth or mask: a plain fill.
      std::fill_n(Dx > 0 ? p : p - (n - 1), n, pen.colour.value);
      return;
    } else {
      uint16_t* d = nullptr;
      if constexpr (Depth::enabled) d = target.depth_row(y) + x;
      auto m = Mask::at(target, y, x);
#pragma GCC unroll 16
      for (int32_t i = 0; i < n; ++i) {
        if (!m.excluded()) put(p, d, y, pen.depth(), pen.colour);
        p += Dx;
        if constexpr (Depth::enabled) d += Dx;
        m.template step<Dx>();
        pen.step();
      }
    }
  }

private:
  // The pixel at p (depth at d) takes the colour of source where the depth
  // test passes.  Along a line, whether a pixel passes is close to random, so
  // rather than branch on it, a failing pixel writes to a sink on the stack:
  // the choice is a select and the loop keeps streaming.  A passing pixel
  // whose depth is not to be stored gets its stored depth back.
  template <typename Z, typename Source>
  void put(Pixel* p, uint16_t* d, int32_t y, Z z, const Source& source) const {
    const Pixel colour = source.colour(p, y);
    if constexpr (Depth::enabled) {
      // Room for a depth or a pixel, whichever it receives.
      static_assert(sizeof(Pixel) <= 4);
      alignas(uint32_t) unsigned char sink[4]{};
      const uint16_t stored = *d;
      const uint16_t depth_after = depth.stores() ? uint16_t(z) : stored;
      divert_unless(depth.passes(z, stored), sink, d, p);
      *d = depth_after;
      write.put(p, colour);
    } else {
      write.put(p, colour);
    }
  }

  // Unless keep holds, a and b both move to sink.  Conditional moves: the
  // compiler, seeing that the sink is never read, would otherwise turn the
  // choice back into a branch around the writes.
  template <typename A, typename B>
  static void divert_unless(bool keep, void* sink, A*& a, B*& b) {
#if defined(__x86_64__)
    asm("test %[keep], %[keep]\n\tcmovz %[sink], %[a]\n\tcmovz %[sink], %[b]"
        : [a] "+r"(a), [b] "+r"(b)
        : [keep] "r"(keep), [sink] "r"(sink)
        : "cc");
#else
    if (!keep) {
      a = static_cast<A*>(sink);
      b = static_cast<B*>(sink);
    }
#endif
  }

  template <typename Pen>
  static constexpr bool is_solid_fill() {
    return !Depth::enabled && std::is_same_v<Mask, No_Mask> && std::is_same_v<Write, pixel::Store_Color> &&
           std::is_same_v<decltype(Pen::colour), Solid<Pixel>>;
  }
};

} // namespace lines
