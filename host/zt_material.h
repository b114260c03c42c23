// The face material: what a textured draw asks the rendition's face for.  Two
// virtual operations: texture() hands out the material's texture, lighting()
// says how much light a vertex receives.
//
// The host's own lighting model (ZT_Basic_Material::lighting), per channel k of
// a surface whose colour is the rendition's current colour c:
//
//   light_k = emission_k + (c_k / 255) × (ambient_k + diffuse_k × max(0, N·L))
//
// N is the vertex normal and L the direction towards the one directional light,
// both normalised here (a zero normal receives only the ambient light); values
// are in units of a full channel (1.0 = 255) and are not clamped.  The light is
// one-sided: a normal facing away from L gets no diffuse light.  Normals and L
// are in the same space, whichever the caller uses.
//
// The model is linear in the surface colour, so two evaluations give all of it:
// with the current colour white the result is factor + offset, with it black
// the offset (the emission).  A renderer that lights texels evaluates a vertex
// twice, on rendition copies coloured white and black (ZT_Rendition::set_color).
#pragma once

#include <cstdint>

#include "host/zt_basics.h"
#include "host/zt_object.h"
#include "host/zt_texture.h"

class ZT_Rendition;

// A value per colour channel, indexed like the bytes of ZT_RGB32:
// [0] blue, [1] green, [2] red.
struct ZT_Light_Levels {
  float value[3] = {0, 0, 0};
  float operator[](int32_t k) const { return value[k]; }
  float& operator[](int32_t k) { return value[k]; }
};

class ZT_Basic_Material : public ZT_Counted {
public:
  ZT_Basic_Material() = default;
  // Derived materials override clone too, so that a copy made to change the
  // material keeps its kind.
  ZT_Counted* clone() const override { return new ZT_Basic_Material(*this); }

  // The material's texture, or null; the handle holds a reference.
  virtual ZT_Counted_Ptr<ZT_Texture> texture() const { return surface_texture; }
  // The light a vertex with this normal receives on a surface of the
  // rendition's current colour (the model above).
  virtual ZT_Light_Levels lighting(const ZT_Rendition& rendition, const ZT_Vector& normal) const;

  ZT_Counted_Ptr<ZT_Texture> surface_texture;
  ZT_Light_Levels ambient{{0.2f, 0.2f, 0.2f}};  // light reaching every face
  ZT_Light_Levels diffuse{{0.8f, 0.8f, 0.8f}};  // strength of the directional light
  ZT_Light_Levels emission{};                   // light of the surface's own
  ZT_Vector light_direction{0, 0, 1};            // towards the light
};
