// The four textured variants.  Textures are drawn only where there is a depth
// buffer: configuration D in two variants (opaque, and skipping texels whose
// alpha is 0, chosen by the alpha-blending option), E (texels blended by their
// alpha) and F (texels stored).
//
// A variant is a type, so a gate can hand a call to another variant's action
// (F's transparency bit to E) and a rasteriser is instantiated once per
// variant.
#pragma once

#include <type_traits>

#include "pixel/configuration.h"

namespace textured {

enum class Variant_Kind { D_Opaque, D_Alpha, E, F };

template <Variant_Kind K>
struct Variant {
  static constexpr Variant_Kind kind = K;
  using Config = std::conditional_t<K == Variant_Kind::E, pixel::Config_E,
                                    std::conditional_t<K == Variant_Kind::F, pixel::Config_F,
                                                       pixel::Config_D>>;
  using Pixel = typename Config::Pixel;
  static constexpr bool mapped = Config::mapped;
  // Colour channels a modulated strip carries: blue, green, red, and in E the
  // alpha (texel bytes 0 to 3).
  static constexpr int colour_channels = K == Variant_Kind::E ? 4 : 3;
  // The solid paths of E and F give the second pixel of a two-pixel span the
  // mean of the two walkers; every other path steps linearly.
  static constexpr bool two_pixel_mean = K == Variant_Kind::E || K == Variant_Kind::F;
};

using D_Opaque = Variant<Variant_Kind::D_Opaque>;
using D_Alpha = Variant<Variant_Kind::D_Alpha>;
using Variant_E = Variant<Variant_Kind::E>;
using Variant_F = Variant<Variant_Kind::F>;

constexpr char variant_name(Variant_Kind k) {
  return k == Variant_Kind::E ? 'E' : k == Variant_Kind::F ? 'F' : 'D';
}

}  // namespace textured
