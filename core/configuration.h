// The six pixel configurations, chosen at establish from the renderer options.
#pragma once

#include <cstdint>

//   A  no depth, true colour, alpha blending
//   B  no depth, true colour, opaque
//   C  no depth, mapped 8-bit index
//   D  16-bit depth, mapped 8-bit index
//   E  16-bit depth, true colour, alpha blending
//   F  16-bit depth, true colour, opaque
enum class Configuration : int32_t { A, B, C, D, E, F };
constexpr int32_t Configuration_Count = 6;

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
