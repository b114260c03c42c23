// The six configurations as types, for the rasteriser templates.
#pragma once

#include <cstdint>
#include <type_traits>

#include "core/configuration.h"

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

using Config_A = Config<Configuration::A>;
using Config_B = Config<Configuration::B>;
using Config_C = Config<Configuration::C>;
using Config_D = Config<Configuration::D>;
using Config_E = Config<Configuration::E>;
using Config_F = Config<Configuration::F>;

}  // namespace pixel
