// The image actions of the six configurations: each configuration draws the
// image kind of its own colour buffer (true colour in A, B, E and F, indices in
// C and D) and leaves the other kind to the host, which converts it and comes
// back through the action of the right kind.
//
// On entry a routine hands the draw on before it touches a pixel, in an order
// fixed per configuration:
//   A  mask active: masked twin; else draw.
//   B  transparency bit: A's routine; else mask active: masked twin; else draw.
//   C  mask active: masked twin; else draw.
//   D  depth testing off: C's routine; else mask active: masked twin; else draw.
//   E  mask active: masked twin; else depth testing off: A's routine; else draw.
//   F  transparency bit: E's routine; else depth testing off: B's routine;
//      else mask active: masked twin; else draw.
// E looks at the mask first, so its masked twin depth-tests even when the
// rendition turns depth testing off.
#include <span>
#include <type_traits>

#include "core/action_installation.h"
#include "pixel/configurations.h"
#include "images/image_copy.h"
#include "core/mask_cache.h"

namespace images {

namespace {

template <typename Config>
using Depth_Rule_Of = std::conditional_t<Config::depth, Image_Depth, No_Depth>;
template <typename Config>
using Colour_Rule_Of = std::conditional_t<Config::blend, Blend_Pixel, Copy_Pixel>;

template <typename Config, typename Colour_Rule, bool Masked>
void draw_with(Software_Z_Buffer& r, const Image_Request& q) {
  using Pixel = typename Config::Pixel;
  const pixel::Frame f = pixel::frame_of(r);
  const Image_Placement p = place_image(f, q, int32_t(sizeof(Pixel)));
  if (p.empty()) return;
  copy_image<Pixel, Depth_Rule_Of<Config>, Colour_Rule, Masked>(
      p, f, Masked ? &pixel::active_mask(r) : nullptr);
}

// A configuration's own drawing once every gate has passed.  The blending
// configurations copy unblended under the image-opaque bit.
template <typename Config>
void draw_unmasked(Software_Z_Buffer& r, const ZT_Rendition& d, const Image_Request& q) {
  if constexpr (Config::blend)
    if (d->advanced_options & ZT_Advanced_Image_Opaque)
      return draw_with<Config, Copy_Pixel, false>(r, q);
  draw_with<Config, Colour_Rule_Of<Config>, false>(r, q);
}

// The masked twin: the same rules on the pixels whose mask bit is clear, except
// that the blending configurations always blend, image-opaque bit or not.
template <typename Config>
void draw_masked(Software_Z_Buffer& r, const Image_Request& q) {
  draw_with<Config, Colour_Rule_Of<Config>, true>(r, q);
}

template <typename Config>
void masked_twin_or_draw(Software_Z_Buffer& r, const ZT_Rendition& d, const Image_Request& q) {
  if (mask_active_for_draw(r, d)) return draw_masked<Config>(r, q);
  draw_unmasked<Config>(r, d, q);
}

bool transparency_asked(const ZT_Rendition& d) {
  return (d->advanced_options & ZT_Advanced_Transparency) != 0;
}
bool depth_testing_off(const ZT_Rendition& d) {
  return d->depth_test_active == 0;
}

// The routine of each configuration, with its gates (A and C have only the mask).
template <typename Config>
void image_routine(Software_Z_Buffer& r, const ZT_Rendition& d, const Image_Request& q) {
  masked_twin_or_draw<Config>(r, d, q);
}
template <>
void image_routine<pixel::Config_B>(Software_Z_Buffer& r, const ZT_Rendition& d,
                                    const Image_Request& q) {
  if (transparency_asked(d)) return image_routine<pixel::Config_A>(r, d, q);
  masked_twin_or_draw<pixel::Config_B>(r, d, q);
}
template <>
void image_routine<pixel::Config_D>(Software_Z_Buffer& r, const ZT_Rendition& d,
                                    const Image_Request& q) {
  if (depth_testing_off(d)) return image_routine<pixel::Config_C>(r, d, q);
  masked_twin_or_draw<pixel::Config_D>(r, d, q);
}
template <>
void image_routine<pixel::Config_E>(Software_Z_Buffer& r, const ZT_Rendition& d,
                                    const Image_Request& q) {
  if (mask_active_for_draw(r, d)) return draw_masked<pixel::Config_E>(r, q);
  if (depth_testing_off(d)) return image_routine<pixel::Config_A>(r, d, q);
  draw_unmasked<pixel::Config_E>(r, d, q);
}
template <>
void image_routine<pixel::Config_F>(Software_Z_Buffer& r, const ZT_Rendition& d,
                                    const Image_Request& q) {
  if (transparency_asked(d)) return image_routine<pixel::Config_E>(r, d, q);
  if (depth_testing_off(d)) return image_routine<pixel::Config_B>(r, d, q);
  masked_twin_or_draw<pixel::Config_F>(r, d, q);
}

// The two slot signatures.  The trailing int and packing of true-colour images
// describe the host's own conversions; these routines do not need them.
template <typename Config>
void draw_dci_rgb32_image(ZT_Renderer_Data* r, const ZT_Rendition& d, const ZT_DCI_Point* start,
                          const ZT_DCI_Point* end, int32_t row_bytes, const ZT_RGB32* pixels,
                          int32_t, const ZT_Packing*) {
  image_routine<Config>(*Software_Z_Buffer::from(r), d, {start, end, row_bytes, pixels});
}
template <typename Config>
void draw_dci_index8_image(ZT_Renderer_Data* r, const ZT_Rendition& d, const ZT_DCI_Point* start,
                           const ZT_DCI_Point* end, int32_t row_bytes, const uint8_t* pixels) {
  image_routine<Config>(*Software_Z_Buffer::from(r), d, {start, end, row_bytes, pixels});
}

template <typename Config>
std::span<const Slot_Installation> installs() {
  if constexpr (Config::mapped) {
    static const Slot_Installation list[] = {
        host_action<ZT_Slot::draw_dci_rgb32_image>(),
        install<ZT_Slot::draw_dci_index8_image>(&draw_dci_index8_image<Config>),
    };
    return list;
  } else {
    static const Slot_Installation list[] = {
        install<ZT_Slot::draw_dci_rgb32_image>(&draw_dci_rgb32_image<Config>),
        host_action<ZT_Slot::draw_dci_index8_image>(),
    };
    return list;
  }
}

}  // namespace

}  // namespace images

std::span<const Slot_Installation> image_actions(Configuration c) {
  using namespace pixel;
  switch (c) {
  case Configuration::A:
    return images::installs<Config_A>();
  case Configuration::B:
    return images::installs<Config_B>();
  case Configuration::C:
    return images::installs<Config_C>();
  case Configuration::D:
    return images::installs<Config_D>();
  case Configuration::E:
    return images::installs<Config_E>();
  case Configuration::F:
    return images::installs<Config_F>();
  }
  return {};
}
