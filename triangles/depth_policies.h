// The depth rules a triangle rasteriser applies to a pixel, as policy types.
//
//   No_Depth               configurations without a depth buffer
//   Depth_By_Mode<W>       passes by the "ZBuffer Test" mode (1 <, 5 >, else <=)
//   Depth_Less_Equal<W>    passes when z <= stored
//
// W says whether a passing pixel stores its depth.  Rasterisers name one of
// three rules (Depth_Rule), and with_depth_rule turns the rule and the
// renderer's "ZBuffer Test" and "ZBuffer Write" values into the policy once per
// draw, so the inner loops never look at the mode or the flag.
#pragma once

#include <cstdint>

#include "pixel/depth_rules.h"
#include "core/software_z_buffer.h"

namespace triangles {

struct No_Depth {
  static constexpr bool enabled = false;
  static constexpr bool writes = false;
  bool pass(uint16_t*, uint32_t) const { return true; }
};

template <bool Write>
struct Depth_By_Mode {
  static constexpr bool enabled = true;
  static constexpr bool writes = Write;
  explicit Depth_By_Mode(pixel::Depth_Range_Test t)
      : test(t),
        passes_less(lanes_of(t.passes(0, 1))),
        passes_greater(lanes_of(t.passes(1, 0))),
        passes_equal(lanes_of(t.passes(0, 0))) {}
  pixel::Depth_Range_Test test;
  // The answer of the test for z < d, z > d and z == d, as 16-bit lane masks.
  int16_t passes_less, passes_greater, passes_equal;
  static constexpr int16_t lanes_of(bool pass) { return pass ? int16_t(-1) : int16_t(0); }
  bool passes(uint32_t z, uint32_t stored) const { return test.passes(z, stored); }
  // On pass the depth is stored (with Write) before the colour is written.
  bool pass(uint16_t* stored, uint32_t z) const {
    if (!passes(z, *stored)) return false;
    if constexpr (Write) *stored = uint16_t(z);
    return true;
  }
};

template <bool Write>
struct Depth_Less_Equal {
  static constexpr bool enabled = true;
  static constexpr bool writes = Write;
  static bool passes(uint32_t z, uint32_t stored) { return z <= stored; }
  bool pass(uint16_t* stored, uint32_t z) const {
    if (!passes(z, *stored)) return false;
    if constexpr (Write) *stored = uint16_t(z);
    return true;
  }
};

enum class Depth_Rule {
  None,            // no depth buffer
  By_Mode,         // test by mode, store when "ZBuffer Write" is on
  Fixed_By_Flag,   // test z <= stored, store when "ZBuffer Write" is on
  Fixed_Always,    // test z <= stored, always store
};

// Calls draw(policy) with the policy of a rule for this renderer.
template <Depth_Rule Rule, class Draw>
inline void with_depth_rule(const Software_Z_Buffer& r, Draw&& draw) {
  if constexpr (Rule == Depth_Rule::None) {
    draw(No_Depth{});
  } else if constexpr (Rule == Depth_Rule::By_Mode) {
    // The default mode is the fixed rule z <= stored, whose test costs less.
    if (pixel::depth_compare_for_mode(r.depth_test_mode) == pixel::Depth_Compare::Less_Equal)
      return with_depth_rule<Depth_Rule::Fixed_By_Flag>(r, draw);
    const auto test = pixel::Depth_Range_Test::for_mode(r.depth_test_mode);
    if (r.depth_write) draw(Depth_By_Mode<true>{test});
    else draw(Depth_By_Mode<false>{test});
  } else if constexpr (Rule == Depth_Rule::Fixed_By_Flag) {
    if (r.depth_write) draw(Depth_Less_Equal<true>{});
    else draw(Depth_Less_Equal<false>{});
  } else {
    draw(Depth_Less_Equal<true>{});
  }
}

}  // namespace triangles
