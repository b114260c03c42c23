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

#include "depth_rules.h"
#include "software_z_buffer.h"

namespace triangles {

struct No_Depth {
  static constexpr bool enabled = false;
  bool pass(uint16_t*, uint32_t) const { return true; }
};

template <bool Write>
struct Depth_By_Mode {
  static constexpr bool enabled = true;
  pixel::Depth_Range_Test test;
  // On pass the depth is stored (with Write) before the colour is written.
  bool pass(uint16_t* stored, uint32_t z) const {
    if (!test.passes(z, *stored)) return false;
    if constexpr (Write) *stored = uint16_t(z);
    return true;
  }
};

template <bool Write>
struct Depth_Less_Equal {
  static constexpr bool enabled = true;
  bool pass(uint16_t* stored, uint32_t z) const {
    if (z > *stored) return false;
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
