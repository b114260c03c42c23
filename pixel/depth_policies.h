// The depth policies every rasteriser composes: whether a fragment passes
// against the stored 16-bit depth, and whether a passing fragment stores its
// own.  What the rules are is depth_rules.h; these are the types an inner loop
// is instantiated with, so that it never looks at the mode or the flag.
//
//   No_Depth               configurations without a depth buffer
//   Depth_Less_Equal<S>    passes when z <= stored
//   Depth_By_Mode<S>       passes by the "ZBuffer Test" mode (1 <, 5 >, else <=)
//
// S says whether a passing fragment stores its depth: Depth_Stored always,
// Depth_Kept never, Depth_Stored_By_Flag as "ZBuffer Write" says at run time.
//
// A fragment's depth is either an interpolated 16-bit value (0..65535, taken
// from a 17.15 accumulator) or a point's own signed 32-bit z, compared as the
// integer it is; either way the low 16 bits are stored.
#pragma once

#include <cstdint>

#include "pixel/depth_rules.h"

namespace pixel {

struct Depth_Stored {
  static constexpr bool stores() { return true; }
};
struct Depth_Kept {
  static constexpr bool stores() { return false; }
};
struct Depth_Stored_By_Flag {
  bool write = true;
  bool stores() const { return write; }
};

struct No_Depth {
  static constexpr bool enabled = false;
  static constexpr bool stores() { return false; }
  static bool pass(uint16_t*, uint32_t) { return true; }
};

template <class Store = Depth_Stored>
struct Depth_Less_Equal : Store {
  static constexpr bool enabled = true;
  static bool passes(uint32_t z16, uint32_t stored) { return z16 <= stored; }
  static bool passes(int64_t z, uint32_t stored) { return z <= int64_t(stored); }
  // The test, then (on pass) the depth stored as S says.
  bool pass(uint16_t* stored, uint32_t z16) const {
    if (!passes(z16, *stored)) return false;
    if (this->stores()) *stored = uint16_t(z16);
    return true;
  }
};

template <class Store>
struct Depth_By_Mode : Store {
  static constexpr bool enabled = true;
  explicit Depth_By_Mode(int32_t mode, Store store = {})
      : Store(store),
        test(Depth_Range_Test::for_mode(mode)),
        compare(depth_compare_for_mode(mode)),
        passes_less(lanes_of(test.passes(0, 1))),
        passes_greater(lanes_of(test.passes(1, 0))),
        passes_equal(lanes_of(test.passes(0, 0))) {}
  Depth_Range_Test test;
  Depth_Compare compare;
  // The answer of the test for z < d, z > d and z == d, as 16-bit lane masks.
  int16_t passes_less, passes_greater, passes_equal;
  static constexpr int16_t lanes_of(bool pass) { return pass ? int16_t(-1) : int16_t(0); }

  bool passes(uint32_t z16, uint32_t stored) const { return test.passes(z16, stored); }
  bool passes(int64_t z, uint32_t stored) const { return depth_passes(compare, z, stored); }
  bool pass(uint16_t* stored, uint32_t z16) const {
    if (!passes(z16, *stored)) return false;
    if (this->stores()) *stored = uint16_t(z16);
    return true;
  }
};

// The mode and the write flag as they stand, the flag read at run time.
using Depth_By_Mode_And_Flag = Depth_By_Mode<Depth_Stored_By_Flag>;

// Which depth policy a rasteriser applies.
enum class Depth_Rule {
  None,           // no depth buffer
  By_Mode,        // test by mode, store when "ZBuffer Write" is on
  Fixed_By_Flag,  // test z <= stored, store when "ZBuffer Write" is on
  Fixed_Always,   // test z <= stored, always store
};

// Calls draw(policy) with the policy of a rule under the renderer's "ZBuffer
// Test" mode and "ZBuffer Write" flag, chosen once per draw; the flag becomes
// part of the type.
template <Depth_Rule Rule, class Draw>
inline void with_depth_policy(int32_t mode, bool write, Draw&& draw) {
  if constexpr (Rule == Depth_Rule::None) {
    draw(No_Depth{});
  } else if constexpr (Rule == Depth_Rule::By_Mode) {
    // The default mode is the fixed rule z <= stored, whose test costs less.
    if (depth_compare_for_mode(mode) == Depth_Compare::Less_Equal)
      return with_depth_policy<Depth_Rule::Fixed_By_Flag>(mode, write, draw);
    if (write) draw(Depth_By_Mode<Depth_Stored>{mode});
    else draw(Depth_By_Mode<Depth_Kept>{mode});
  } else if constexpr (Rule == Depth_Rule::Fixed_By_Flag) {
    if (write) draw(Depth_Less_Equal<Depth_Stored>{});
    else draw(Depth_Less_Equal<Depth_Kept>{});
  } else {
    draw(Depth_Less_Equal<Depth_Stored>{});
  }
}

}  // namespace pixel
