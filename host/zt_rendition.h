// The rendition: the per-draw state the host passes with every action.
#pragma once

#include <cstdint>
#include <vector>

#include "host/zt_basics.h"
#include "host/zt_contour_set.h"
#include "host/zt_material.h"
#include "host/zt_matrix.h"
#include "host/zt_object.h"

// Advanced-options bits.
enum : uint32_t {
  ZT_Advanced_Image_Opaque = 4,  // image routines copy without blending
  ZT_Advanced_Transparency = 8,  // opaque true-colour actions hand on to the blending ones
  ZT_Advanced_Strip_Edges = 32,  // depth true-colour triangle actions draw the strip's edges
};
// Pattern flags.
enum : uint32_t { ZT_Pattern_Background = 1, ZT_Pattern_Invert = 2 };
// Drawing-mode code that asks for merge control.
constexpr int32_t ZT_Drawing_Mode_Merge = 20;
// Face pattern indices.
constexpr int32_t ZT_Pattern_Solid = 64;
constexpr int32_t ZT_Pattern_User = 74;
constexpr int32_t ZT_Pattern_First_Host_Only = 75;

// Face attributes: shared between renditions until one of them changes them.
class ZT_Face_Attributes : public ZT_Counted {
public:
  ZT_Counted* clone() const override { return new ZT_Face_Attributes(*this); }

  int32_t pattern_index = ZT_Pattern_Solid;
  // User pattern (index 74): rows of bits, least significant bit leftmost.
  std::vector<uint8_t> user_pattern_bits;
  int32_t user_pattern_width = 8, user_pattern_height = 8, user_pattern_row_bytes = 1;
  ZT_Int_Point pattern_origin;  // local buffer coordinates
  uint32_t pattern_flags = 0;
  int32_t depth_offset = 0;  // added to every vertex depth of a face
  // The face material (textures and lighting), or null.
  ZT_Counted_Ptr<ZT_Basic_Material> material;

  // The material's texture, or null without a material; the handle holds a
  // reference for as long as it lives.
  ZT_Counted_Ptr<ZT_Texture> texture() const {
    return material ? material->texture() : ZT_Counted_Ptr<ZT_Texture>();
  }
  // Gives the face a material of its own (a copy of a shared one, a basic one
  // when it has none) whose texture is t.
  void set_texture(ZT_Counted_Ptr<ZT_Texture> t);
};

class ZT_Rendition_Data : public ZT_Counted {
public:
  ZT_Rendition_Data();
  ZT_Counted* clone() const override { return new ZT_Rendition_Data(*this); }

  ZT_Int_Rectangle hard_clip{0, -1, 0, -1};
  uint8_t depth_test_active = 1;
  ZT_RGB32 current_color{255, 255, 255, 255};
  uint8_t current_index = 0;
  ZT_RGB32 contrast_color{0, 0, 0, 255};
  uint8_t contrast_index = 0;
  ZT_RGB32 rectangle_color{0, 0, 0, 255};
  uint8_t rectangle_index = 0;
  int32_t drawing_mode = 0;
  uint32_t advanced_options = 0;
  int32_t line_style = 0;   // non-zero: a styled line
  int32_t line_weight = 1;  // above 1: a wide line
  int32_t marker_style = 0;  // non-zero: symbol markers
  ZT_Counted_Ptr<ZT_Face_Attributes> face;
  // Complex clip and its offsets.  A negative offset means the clip still has to
  // be shifted by the offsets before use (see shifted_complex_clip).
  ZT_Contour_Set complex_clip;
  int32_t clip_offset_x = 0, clip_offset_y = 0;
  // Texturing items.  perspective: bit 0 asks for perspective-correct texture
  // coordinates.  lighting: non-zero when lighting applies to faces.  shading:
  // the shading code (3 keeps lit textured faces with the host).  transform:
  // model to device space before the division by w (null: none known).
  uint32_t perspective = 0;
  int32_t lighting = 0;
  int32_t shading = 0;
  ZT_Counted_Ptr<ZT_Matrix> transform;

  // Cache of the shifted clip, so that the same shift keeps the same stamp.
  mutable ZT_Contour_Set shifted_clip_cache;
  mutable uint32_t shifted_clip_source_stamp = 0;
  mutable int32_t shifted_clip_dx = 0, shifted_clip_dy = 0;
};

// A counted handle on rendition data; changes go through copy-on-write.
class ZT_Rendition {
public:
  ZT_Rendition();  // a fresh rendition with default data
  explicit ZT_Rendition(ZT_Rendition_Data* d) : data_(d) {}

  const ZT_Rendition_Data* operator->() const { return data_.get(); }
  const ZT_Rendition_Data& operator*() const { return *data_; }
  ZT_Rendition_Data* data() const { return data_.get(); }
  // Makes the data private to this handle and returns it for changing.
  ZT_Rendition_Data* modify() { return data_.make_unshared(); }
  // Makes the face attributes private too.
  ZT_Face_Attributes* modify_face();

  void set_hard_clip_unrestricted(const ZT_Int_Rectangle& r, bool);
  void set_color(ZT_RGB32 c, bool);
  void set_advanced_options(uint32_t options);

  // The complex clip moved by the clip offsets (the same object while the clip
  // and the offsets stay the same).
  ZT_Contour_Set shifted_complex_clip() const;

private:
  ZT_Counted_Ptr<ZT_Rendition_Data> data_;
};
