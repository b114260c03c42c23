#include "triangles/coverage.h"

namespace triangles {

Face_Fill face_fill(const ZT_Rendition& rendition, Face_Pattern& pattern) {
  const ZT_Face_Attributes& face = *rendition->face;
  const int32_t index = face.pattern_index;
  const bool invert = (face.pattern_flags & ZT_Pattern_Invert) != 0;
  const bool background = (face.pattern_flags & ZT_Pattern_Background) != 0;
  if (index == ZT_Pattern_Solid && !invert) return Face_Fill::Solid;
  // Without a background every hole is left alone: an all-hole pattern draws nothing.
  if (!background && ((index == 0 && !invert) || (index == ZT_Pattern_Solid && invert)))
    return Face_Fill::Nothing;
  if (index < 0 || index >= ZT_Pattern_First_Host_Only) return Face_Fill::Nothing;

  pattern.origin = face.pattern_origin;
  pattern.invert = invert ? 1u : 0u;
  pattern.hole = background ? Cover::Contrast : Cover::Skip;
  if (index == ZT_Pattern_User) {
    const int32_t w = face.user_pattern_width, h = face.user_pattern_height,
                  row_bytes = face.user_pattern_row_bytes;
    if (w < 1 || h < 1 || row_bytes < (int64_t(w) + 7) / 8 ||
        int64_t(face.user_pattern_bits.size()) < int64_t(h) * row_bytes)
      return Face_Fill::Nothing;
    pattern.bits = face.user_pattern_bits.data();
    pattern.width = w;
    pattern.height = h;
    pattern.row_bytes = row_bytes;
  } else {
    pattern.bits = ZARNIK.fill_patterns[index];
    pattern.width = pattern.height = 8;
    pattern.row_bytes = 1;
  }
  return Face_Fill::Patterned;
}

}  // namespace triangles
