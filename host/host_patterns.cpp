#include "host/host_patterns.h"

namespace {

constexpr const char* plus_rows[8] = {"...#....", "...#....", ".#####..", "...#....",
                                      "...#....", "........", "........", "........"};

// Whether pixel (x, y) of host pattern k (0 for index 75) is drawn.
bool drawn(int32_t k, int32_t x, int32_t y) {
  switch (k) {
  case 0: return y % 4 != 3 && x != (y < 4 ? 7 : 3);  // bricks
  case 1: return x == 0 && y == 0;                    // sparse dots
  case 2: return (x + y) % 8 < 4;                     // diagonal bands
  case 3: return y < 4;                               // horizontal bands
  case 4: return x < 4;                               // vertical bands
  case 5: return x == 0 || y == 0;                    // grid
  case 6: return (x / 8 + y / 8) % 2 == 0;            // checkerboard
  default: return plus_rows[y][x] == '#';             // plus signs
  }
}

struct Host_Patterns {
  ZD_Host_Pattern pattern[ZD_Host_Pattern_Count];
  Host_Patterns() {
    for (int32_t k = 0; k < ZD_Host_Pattern_Count; ++k) {
      ZD_Host_Pattern& p = pattern[k];
      if (k == 1) p.width = p.height = 4;
      if (k == 6) p.width = p.height = 16;
      p.row_bytes = (p.width + 7) / 8;
      for (int32_t y = 0; y < p.height; ++y)
        for (int32_t x = 0; x < p.width; ++x)
          if (!drawn(k, x, y)) p.bits[y * p.row_bytes + x / 8] |= uint8_t(1u << (x % 8));
    }
  }
};

const Host_Patterns& host_patterns() {
  static const Host_Patterns patterns;
  return patterns;
}

}  // namespace

const ZD_Host_Pattern* ZD_host_pattern(int32_t index) {
  const int32_t k = index - ZD_First_Host_Pattern;
  if (k < 0 || k >= ZD_Host_Pattern_Count) return nullptr;
  return &host_patterns().pattern[k];
}

ZT_Rendition ZD_With_Host_Pattern(const ZT_Rendition& rendition) {
  const int32_t index = rendition->face->pattern_index;
  if (index >= 0 && index < ZT_Pattern_First_Host_Only) return rendition;
  ZT_Rendition copy = rendition;
  ZT_Face_Attributes* face = copy.modify_face();
  if (const ZD_Host_Pattern* p = ZD_host_pattern(index)) {
    face->pattern_index = ZT_Pattern_User;
    face->user_pattern_width = p->width;
    face->user_pattern_height = p->height;
    face->user_pattern_row_bytes = p->row_bytes;
    face->user_pattern_bits.assign(p->bits, p->bits + p->row_bytes * p->height);
  } else {
    face->pattern_index = ZT_Pattern_Solid;
    face->pattern_flags = 0;
  }
  return copy;
}
