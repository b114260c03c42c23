// Textured calls for the tests: the arguments of one call of a textured slot,
// the textures they draw with, and seeded random ones.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "tests/support/point_lists.h"
#include "tests/support/test_host.h"

struct Textured_Points {
  explicit Textured_Points(Point_List p) : points(std::move(p)) {}
  Point_List points;                     // points (integer and float) and vertex colours
  std::vector<ZT_Parameter> parameters;  // width per point; empty: none passed
  int32_t width = 1;
  std::vector<float> w;            // empty: none passed
  std::vector<ZT_Vector> normals;  // empty: none passed
};

// Calls textured slot s with the call's arguments.
void draw_textured(Test_Host& host, ZT_Slot s, const Textured_Points& call);

// The four textured slots.
std::vector<ZT_Slot> textured_slots();

// A texture of width × height texels given top row first (as memory holds
// them), with its wrap modes and flags.
ZT_Counted_Ptr<ZT_Texture> make_texture(int32_t width, int32_t height,
                                        const std::vector<uint32_t>& texels,
                                        int32_t u_wrap = ZT_Wrap_Repeat,
                                        int32_t v_wrap = ZT_Wrap_Repeat, bool modulate = false);
// Gives the host's rendition a face material with this texture.
void use_texture(Test_Host& host, ZT_Counted_Ptr<ZT_Texture> texture);

// The textured variant the host's renderer draws with: 'O' D opaque, 'A' D
// alpha, 'E', 'F' (others: the configuration's letter).
char textured_variant(const Test_Host& host);
// Establishes a textured variant by that letter.
void establish_variant(Test_Host& host, char variant, int32_t width, int32_t height,
                       ZT_Int_Point origin = {0, 0});

// A random texture (sides 1 to 64, powers of two; a sixth of the texels with
// alpha 0, a sixth with alpha 255; wrap modes 0 or 2; modulating or not).
ZT_Counted_Ptr<ZT_Texture> random_texture(std::mt19937& rng);
// Random texture coordinates for the call's points (width 1 to 3, the extra
// parameters noise), vertex colours (a third of calls none), and normals.
void randomise_texturing(std::mt19937& rng, Textured_Points& call);
