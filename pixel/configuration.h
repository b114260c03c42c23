// The six pixel configurations: chosen at establish from the renderer options,
// and as types (Config_A … Config_F) for the rasteriser templates.
//
//   A  no depth, true colour, alpha blending
//   B  no depth, true colour, opaque
//   C  no depth, mapped 8-bit index
//   D  16-bit depth, mapped 8-bit index
//   E  16-bit depth, true colour, alpha blending
//   F  16-bit depth, true colour, opaque
#pragma once

#include <cstdint>
#include <type_traits>

enum class Configuration : int32_t { A, B, C, D, E, F };

constexpr bool has_depth(Configuration c) {
  return c == Configuration::D || c == Configuration::E || c == Configuration::F;
}
constexpr bool is_mapped(Configuration c) {
  return c == Configuration::C || c == Configuration::D;
}
constexpr bool blends(Configuration c) {
  return c == Configuration::A || c == Configuration::E;
}
// The configuration a depth configuration draws as when the rendition turns
// depth testing off: F as B, E as A, D as C.
constexpr Configuration without_depth(Configuration c) {
  switch (c) {
  case Configuration::D: return Configuration::C;
  case Configuration::E: return Configuration::A;
  case Configuration::F: return Configuration::B;
  default: return c;
  }
}
constexpr char configuration_letter(Configuration c) { return char('A' + int32_t(c)); }

// The choice establish makes: depth buffering, colour system (1 is true colour,
// every other value mapped) and alpha blending.
constexpr Configuration choose_configuration(int32_t buffer_depth, int32_t color_system,
                                             bool alpha_blending) {
  if (buffer_depth < 1) {
    if (color_system != 1) return Configuration::C;
    return alpha_blending ? Configuration::A : Configuration::B;
  }
  if (color_system != 1) return Configuration::D;
  return alpha_blending ? Configuration::E : Configuration::F;
}

namespace pixel {

template <Configuration C>
struct Config {
  static constexpr Configuration id = C;
  static constexpr bool depth = has_depth(C);
  static constexpr bool mapped = is_mapped(C);
  static constexpr bool blend = blends(C);
  using Pixel = std::conditional_t<is_mapped(C), uint8_t, uint32_t>;
  // The configuration this one draws as with depth testing off.
  using Without_Depth = Config<without_depth(C)>;
};

// The six bundles; a family brings them in with
// `using namespace pixel::configurations;`.
inline namespace configurations {
using Config_A = Config<Configuration::A>;
using Config_B = Config<Configuration::B>;
using Config_C = Config<Configuration::C>;
using Config_D = Config<Configuration::D>;
using Config_E = Config<Configuration::E>;
using Config_F = Config<Configuration::F>;
}  // namespace configurations

// The one place a run-time configuration becomes its compile-time bundle:
// f(Config_X{}) for the configuration c.
template <class F>
decltype(auto) with_configuration(Configuration c, F&& f) {
  switch (c) {
  case Configuration::A: return f(Config_A{});
  case Configuration::B: return f(Config_B{});
  case Configuration::C: return f(Config_C{});
  case Configuration::D: return f(Config_D{});
  case Configuration::E: return f(Config_E{});
  case Configuration::F: break;
  }
  return f(Config_F{});
}

}  // namespace pixel
