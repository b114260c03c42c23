// The textured actions: for every variant and slot, the tests that hand a call
// on (to the strip's edges, to E, to the host) in their exact order, ending in
// the gate that takes the texture and draws.
//
//   Textured_Action<slot, Variant_F>::run   what the slot holds in F
//
// Every row ends in Draw_Texture, which takes the face's texture for the call
// and, in this order:
//   - hands the call to the host when the face has no texture, when bit 0 of
//     the perspective word is set, when the texture's fallback flag is set,
//     when a wrap mode is neither 0 (no repeat) nor 2 (repeat), or when the
//     face is lit (lighting on and normals passed), except that
//   - in D opaque, lit DC and DCI strips go to the lit rasteriser unless the
//     shading code is 3 (host);
//   - draws modulated when the texture modulates and colours were passed,
//     otherwise unmodulated (colours ignored);
// and gives the texture back when the call ends.
#pragma once

#include <cstdint>
#include <string_view>

#include "pixel/action_gates.h"
#include "textured/textured_rasterisers.h"
#include "textured/textured_variants.h"
#include "triangles/triangle_dispatch.h"

namespace textured {

// Where a textured call goes once the face's texture is known.
enum class Texture_Choice { Host, Lit, Modulated, Unmodulated };

constexpr bool wrap_drawn_here(int32_t mode) {
  return mode == ZT_Wrap_None || mode == ZT_Wrap_Repeat;
}

inline Texture_Choice choose_drawing(const ZT_Texture* texture, const ZT_Rendition& d,
                                     const ZT_RGB32* colours, const ZT_Vector* normals,
                                     bool lit_path) {
  if (!texture || (d->perspective & 1u) != 0 || texture->fallback != 0 ||
      !wrap_drawn_here(texture->u_wrap) || !wrap_drawn_here(texture->v_wrap))
    return Texture_Choice::Host;
  if (d->lighting != 0 && normals) {
    if (!lit_path || d->shading == 3) return Texture_Choice::Host;
    return Texture_Choice::Lit;
  }
  return texture->modulate != 0 && colours ? Texture_Choice::Modulated
                                           : Texture_Choice::Unmodulated;
}

// Where a slot's points come from, and whether they are clipped already.
constexpr bool float_points(ZT_Slot s) {
  return s == ZT_Slot::draw_2d_textured_polytriangle || s == ZT_Slot::draw_dc_textured_polytriangle;
}
constexpr bool points_anywhere(ZT_Slot s) {
  return s == ZT_Slot::draw_2d_textured_polytriangle ||
         s == ZT_Slot::draw_2di_textured_polytriangle;
}

// The rasteriser of a slot: the strip of points inside the window, or the 2DI
// run splitter, from integer points or float points rounded first.
template <ZT_Slot S, class V, bool Modulated, class P>
inline void draw_slot(const Textured_Call& call, int32_t count, const P* points,
                      const ZT_RGB32* colours, Texel_Parameters parameters) {
  using R = Textured_Rasterisers<V, Modulated>;
  if constexpr (float_points(S)) {
    if constexpr (points_anywhere(S)) R::from_2d(call, count, points, colours, parameters);
    else R::dc(call, count, points, colours, parameters);
  } else {
    if constexpr (points_anywhere(S)) R::run_2di(call, count, points, colours, parameters);
    else R::dci(call, count, points, colours, parameters);
  }
}

inline constexpr char depth_off_to_host_name[] = "depth test off: host";
inline constexpr char draw_texture_name[] = "texture: host or draw";
inline constexpr char draw_lit_texture_name[] = "texture: host, lit or draw";

using Depth_Off_To_Host = pixel::To_Host_When<&pixel::depth_test_off, depth_off_to_host_name>;

// The last gate.  Lit_Path: the D opaque DC and DCI actions, which draw lit
// faces themselves.
template <bool Lit_Path>
struct Draw_Texture {
  static constexpr std::string_view name = Lit_Path ? draw_lit_texture_name : draw_texture_name;
  template <class Family, ZT_Slot S, class V, class P>
  static bool take(pixel::Renderer_State& r, const ZT_Rendition& d, int32_t count,
                   const P* points, const ZT_RGB32* colours, const ZT_Parameter* parameters,
                   int32_t width, const float* vertex_w, const ZT_Vector* normals) {
    auto to_host = [&] {
      ZT_Slot_Traits<S>::standard(&r, d, count, points, colours, parameters, width, vertex_w,
                                  normals);
      return true;
    };
    const ZT_Counted_Ptr<ZT_Texture> texture = d->face->texture();
    const Texture_Choice choice = choose_drawing(texture.get(), d, colours, normals, Lit_Path);
    if (choice == Texture_Choice::Host) return to_host();
    const Textured_Call call(r, d, *texture);
    // A texture without an image has nothing to sample (the host's always have one).
    if (call.image.empty()) return to_host();
    const Texel_Parameters texels(parameters, width);
    if constexpr (Lit_Path) {
      if (choice == Texture_Choice::Lit) {
        if constexpr (float_points(S))
          Lit_Rasterisers::dc(call, texture->modulate != 0, count, points, colours, texels, normals);
        else
          Lit_Rasterisers::dci(call, texture->modulate != 0, count, points, colours, texels, normals);
        return true;
      }
    }
    if (choice == Texture_Choice::Modulated)
      draw_slot<S, V, true>(call, count, points, colours, texels);
    else
      draw_slot<S, V, false>(call, count, points, nullptr, texels);
    return true;
  }
};

template <class V>
struct Textured_Dispatch;

using namespace pixel::gate_vocabulary;
using triangles::Strip_Edges;

// The rows of a variant: DC and DCI (points clipped), 2D and 2DI (points
// anywhere).
template <>
struct Textured_Dispatch<D_Opaque> {
  using clipped = Gates<Pattern_To_Host, Depth_Off_To_Host, Draw_Texture<true>>;
  using anywhere = Gates<Pattern_To_Host, Depth_Off_To_Host, Draw_Texture<false>>;
};

template <>
struct Textured_Dispatch<D_Alpha> {
  using clipped = Gates<Pattern_To_Host, Depth_Off_To_Host, Draw_Texture<false>>;
  using anywhere = clipped;
};

// E draws the edges of clipped strips only.
template <>
struct Textured_Dispatch<Variant_E> {
  using clipped = Gates<Strip_Edges, Pattern_To_Host, Depth_Off_To_Host, Draw_Texture<false>>;
  using anywhere = Gates<Pattern_To_Host, Depth_Off_To_Host, Draw_Texture<false>>;
};

template <>
struct Textured_Dispatch<Variant_F> {
  using clipped = Gates<Strip_Edges, Transparency_To<Variant_E>, Pattern_To_Host,
                        Depth_Off_To_Host, Draw_Texture<false>>;
  using anywhere = clipped;
};

// The textured family in the gate vocabulary.  Its rows end in Draw_Texture
// rather than in the vocabulary's Draw, so it names no Rasteriser.
struct Textured_Family {
  template <ZT_Slot S, class V>
  using Gates_Of = std::conditional_t<points_anywhere(S), typename Textured_Dispatch<V>::anywhere,
                                      typename Textured_Dispatch<V>::clipped>;
};

template <ZT_Slot S, class V>
using Textured_Action = pixel::Gated_Action<Textured_Family, S, V>;

}  // namespace textured
