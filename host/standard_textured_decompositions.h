// How the host draws the textured triangle strips renderers leave to it
// (configurations without textured actions of their own; perspective,
// lighting with normals, wrap modes other than 0 and 2, the texture fallback
// flag, host patterns, depth testing off).
//
// The face's host pattern, if any, becomes the user pattern first
// (host_patterns.h); the strip-edges bit is dropped (the pieces below are not
// the strip).  Then one of two ways:
//
// Through the renderer's textured action of the same point space, when that
// slot holds a renderer's action, depth testing is on, the texture's fallback
// flag is clear, both wrap modes are 0 or 2, the call is not one handed back
// by that action, and the lighting (if any) has no emission: the rendition
// copy has perspective bit 0 clear and lighting off.
//   - Perspective: each triangle is cut along the screen lines x = c i and
//     y = c j (c is 8 pixels, doubled until the hard-clip rectangle holds at
//     most 2^14 cells) into affine pieces whose corners take the perspective-correct
//     texture coordinates (and colours, linear on the screen); the pieces share
//     their edges, inside a triangle and with its neighbours.
//   - Lighting: each vertex's colour becomes its colour (white when it has
//     none or the texture does not modulate) times the light it receives,
//     and the texture is drawn modulated (through a material whose texture is
//     a modulating copy).
//   - Neither (the call came for its pattern): the strip as it was.
//
// Otherwise as Gouraud triangles through the renderer's Gouraud action of the
// same point space: each triangle is cut along x = c i and y = c j into pieces
// whose corners take the colour of the texel under them (point sampling,
// texel column trunc(u × width), row trunc(v × height) counted from the bottom,
// the host's wrap modes of zt_texture.h), scaled by the vertex colour when the
// texture modulates and colours were given (byte × colour / 255) and lit
// (offset + colour × factor, per channel).  c is 2 pixels, doubled until the
// rendition's hard-clip rectangle holds at most 2^18 cells, so that the same
// rendition always cuts at the same lines.  With wrap mode 0, a piece whose
// centre has no texel is not drawn, and corners without a texel take the
// nearest edge texel.
//
// Everywhere: only the part inside the hard-clip rectangle is cut into pieces.
// Vertex w comes from the call, else from the rendition's transform (see
// zt_matrix.h), else there is none and the texture is affine.  A triangle with
// a w that is not positive and finite is drawn affine.  A face without a
// texture draws as if its texture were one white texel.  Light: the face
// material's lighting at each vertex's normal on rendition copies coloured
// white and black gives factor (white - black) and offset (black), both
// linear on the screen.
#pragma once

#include <cstdint>

#include "host/standard_decompositions.h"
#include "host/zt_actions.h"

template <ZT_Slot S, typename P>
void ZD_Draw_Host_Textured(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition,
                           int32_t count, const P* points, const ZT_RGB32* colors,
                           const ZT_Parameter* parameters, int32_t parameter_width,
                           const float* vertex_w, const ZT_Vector* normals);

namespace zd_host {
template <ZT_Slot S>
constexpr bool is_textured_slot =
    S == ZT_Slot::draw_2d_textured_polytriangle || S == ZT_Slot::draw_dc_textured_polytriangle ||
    S == ZT_Slot::draw_2di_textured_polytriangle || S == ZT_Slot::draw_dci_textured_polytriangle;
}

template <ZT_Slot S>
  requires(zd_host::is_textured_slot<S>)
struct ZD_Decomposition<S> {
  // A textured action may hand a piece back once: it is then drawn as Gouraud
  // triangles.
  static constexpr int32_t reentry_limit = 2;
  template <typename P>
  static void run(ZT_Renderer_Data* r, const ZT_Rendition& d, int32_t count, const P* points,
                  const ZT_RGB32* colors, const ZT_Parameter* parameters, int32_t width,
                  const float* vertex_w, const ZT_Vector* normals) {
    ZD_Draw_Host_Textured<S>(r, d, count, points, colors, parameters, width, vertex_w, normals);
  }
};
