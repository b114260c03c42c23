// The image actions of the six configurations, in the gate vocabulary: each
// configuration draws the image kind of its own colour buffer (true colour in
// A, B, E and F, indices in C and D) and leaves the other kind to the host,
// which converts it and comes back through the action of the right kind.
//
// Gates, in the order each configuration applies them:
//   A  mask active: masked twin; else draw.
//   B  transparency bit: A's routine; else mask active: masked twin; else draw.
//   C  mask active: masked twin; else draw.
//   D  depth testing off: C's routine; else mask active: masked twin; else draw.
//   E  mask active: masked twin; else depth testing off: A's routine; else draw.
//   F  transparency bit: E's routine; else depth testing off: B's routine;
//      else mask active: masked twin; else draw.
// E looks at the mask first, so its masked twin depth-tests even when the
// rendition turns depth testing off.
//
// Pixel rules: images use a fixed depth rule of their own, whatever "ZBuffer
// Test" and "ZBuffer Write" say: a pixel passes when z <= the stored depth, and
// a drawn pixel always stores z.  A and E blend by the source's alpha (alpha 0
// writes nothing at all, neither colour nor depth); the others copy.
#pragma once

#include <type_traits>

#include "images/image_copy.h"
#include "pixel/action_gates.h"
#include "pixel/color_policies.h"
#include "pixel/configuration.h"
#include "pixel/depth_policies.h"

namespace images {

using namespace pixel::configurations;
using namespace pixel::gate_vocabulary;

template <class C>
struct Image_Dispatch;
template <>
struct Image_Dispatch<Config_A> {
  using gates = Gates<Mask_To_Twin, Draw>;
};
template <>
struct Image_Dispatch<Config_B> {
  using gates = Gates<Transparency_To<Config_A>, Mask_To_Twin, Draw>;
};
template <>
struct Image_Dispatch<Config_C> {
  using gates = Gates<Mask_To_Twin, Draw>;
};
template <>
struct Image_Dispatch<Config_D> {
  using gates = Gates<Depth_Off_To<Config_C>, Mask_To_Twin, Draw>;
};
template <>
struct Image_Dispatch<Config_E> {
  using gates = Gates<Mask_To_Twin, Depth_Off_To<Config_A>, Draw>;
};
template <>
struct Image_Dispatch<Config_F> {
  using gates = Gates<Transparency_To<Config_E>, Depth_Off_To<Config_B>, Mask_To_Twin, Draw>;
};

template <typename Config>
using Depth_Policy_Of =
    std::conditional_t<Config::depth, pixel::Depth_Less_Equal<>, pixel::No_Depth>;
template <typename Config>
using Color_Policy_Of =
    std::conditional_t<Config::blend, pixel::Blend_By_Alpha_Skipping_Clear, pixel::Store_Color>;

// The rasteriser of either image slot.  Unmasked, the blending configurations
// copy unblended under the image-opaque bit; the masked twin draws the pixels
// whose mask bit is clear with the configuration's own rules, image-opaque bit
// or not.
template <typename Config, bool Masked>
struct Image_Rasteriser {
  template <typename Pixels, typename... Unused>
  static void draw(pixel::Renderer_State& r, const ZT_Rendition& d, const ZT_DCI_Point* start,
                   const ZT_DCI_Point* end, int32_t row_bytes, const Pixels* pixels, Unused...) {
    // The trailing int and packing of true-colour images describe the host's
    // own conversions; these routines do not need them.
    const Image_Request q{start, end, row_bytes, pixels};
    if constexpr (Config::blend && !Masked)
      if (d->advanced_options & ZT_Advanced_Image_Opaque)
        return copy<pixel::Store_Color>(r, q);
    copy<Color_Policy_Of<Config>>(r, q);
  }

private:
  // Out of line: the row loop gets the registers to itself.
  template <typename Color_Policy>
  [[gnu::noinline]] static void copy(pixel::Renderer_State& r, const Image_Request& q) {
    using Pixel = typename Config::Pixel;
    // A copy of the frame: the pixel stores cannot alias it.
    const pixel::Frame f = r.frame;
    const Image_Placement p = place_image(f, q, int32_t(sizeof(Pixel)));
    if (p.empty()) return;
    copy_image<Pixel, Depth_Policy_Of<Config>, Color_Policy, Masked>(
        p, f, Masked ? &r.active_mask() : nullptr);
  }
};

struct Image_Family {
  template <ZT_Slot S, class C>
  using Gates_Of = typename Image_Dispatch<C>::gates;
  template <ZT_Slot S, class C, bool Masked>
  using Rasteriser = Image_Rasteriser<C, Masked>;
};

template <ZT_Slot S, class C>
using Image_Action = pixel::Gated_Action<Image_Family, S, C>;

}  // namespace images
