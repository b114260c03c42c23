// Triangle strips through the module's action table, in every configuration,
// against the slow reference (tests/support/reference_triangles) bit for bit,
// and the rules worth stating on their own.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "reference_triangles.h"
#include "test_host.h"
#include "test_meshes.h"

namespace {

constexpr int32_t W = 64, H = 48;

void fill_random(Test_Host& host, std::mt19937& rng, bool mapped) {
  ZT_Image_Data& c = *host.r().color_buffer.data();
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      const uint32_t v = rng();
      if (mapped) c.rows_by_y[size_t(y)][x] = uint8_t(v);
      else std::memcpy(c.rows_by_y[size_t(y)] + 4 * x, &v, 4);
    }
  if (!host.r().depth_buffer.empty()) {
    ZT_Image_Data& d = *host.r().depth_buffer.data();
    for (int32_t y = 0; y < H; ++y)
      for (int32_t x = 0; x < W; ++x) {
        const uint16_t z = (rng() & 3) == 0 ? 0xFFFF : uint16_t(rng());
        std::memcpy(d.rows_by_y[size_t(y)] + 2 * x, &z, 2);
      }
  }
  host.rearm_fences();
}

ZT_RGB32 random_colour(std::mt19937& rng) {
  const uint32_t alpha_pick = rng() % 4;
  ZT_RGB32 c = ZT_RGB32::from_word(rng());
  if (alpha_pick == 0) c.a = 255;
  if (alpha_pick == 1) c.a = 0;
  return c;
}

// A random rendition and renderer state for one draw: pattern, flags, origin,
// depth offset, test mode, write flag, merge, mask.
void randomise_state(Test_Host& host, std::mt19937& rng) {
  ZT_Rendition_Data* d = host.rendition.modify();
  d->depth_test_active = 1;
  d->advanced_options = 0;
  d->drawing_mode = (rng() % 4) == 0 ? ZT_Drawing_Mode_Merge : 0;
  d->current_color = random_colour(rng);
  d->current_index = uint8_t(rng());
  d->contrast_color = random_colour(rng);
  d->contrast_index = uint8_t(rng());
  d->complex_clip = ZT_Contour_Set();
  if (rng() % 3 == 0) {  // a complex clip: a random quadrilateral
    ZT_Point q[4];
    for (ZT_Point& p : q) p = {float(rng() % W), float(rng() % H), 0};
    d->complex_clip = ZT_Contour_Set(4, q, false);
  }
  ZT_Face_Attributes* f = host.rendition.modify_face();
  const uint32_t pick = rng() % 6;
  f->pattern_index = pick < 2 ? 64 : pick == 2 ? 74 : pick == 3 ? 0 : int32_t(rng() % 74);
  f->pattern_flags = rng() % 4;
  f->pattern_origin = {int32_t(rng() % 40) - 20, int32_t(rng() % 40) - 20};
  f->user_pattern_width = 1 + int32_t(rng() % 13);
  f->user_pattern_height = 1 + int32_t(rng() % 5);
  f->user_pattern_row_bytes = (f->user_pattern_width + 7) / 8 + int32_t(rng() % 2);
  f->user_pattern_bits.resize(size_t(f->user_pattern_height * f->user_pattern_row_bytes));
  for (uint8_t& b : f->user_pattern_bits) b = uint8_t(rng());
  f->depth_offset = int32_t(rng() % 600) - 300;
  host.r().depth_test_mode = int32_t(rng() % 6);
  host.r().depth_write = uint8_t(rng() % 2);
}

// Vertex depths stay inside 0..65535 with the offset added: beyond it the
// fixed-point formats wrap and the shift shortcuts no longer equal divisions.
std::vector<ZT_DCI_Point> random_strip(std::mt19937& rng, int32_t n) {
  std::vector<ZT_DCI_Point> p;
  for (int32_t i = 0; i < n; ++i) {
    if (i > 0 && rng() % 8 == 0) p.push_back(p.back());  // degenerate triangles
    else if (i > 0 && rng() % 8 == 0) p.push_back({p.back().x + 3, p.back().y, 900});
    else p.push_back({int32_t(rng() % (W + 1)), int32_t(rng() % (H + 1)), 300 + int32_t(rng() % 64936)});
  }
  return p;
}

std::vector<ZT_RGB32> random_colours(std::mt19937& rng, int32_t n, Reference_Kind kind) {
  std::vector<ZT_RGB32> c;
  for (int32_t i = 0; i < n; ++i) {
    ZT_RGB32 v = random_colour(rng);
    if (kind == Reference_Kind::Gouraud && i > 0 && rng() % 3 == 0) {  // nearly uniform
      v = c.back();
      v.r = uint8_t(std::clamp(v.r + int32_t(rng() % 7) - 3, 0, 255));
      v.b = uint8_t(std::clamp(v.b + int32_t(rng() % 9) - 4, 0, 255));
    }
    c.push_back(v);
  }
  return c;
}

// The first pixel where two images differ, for failure messages.
template <typename T>
std::string first_difference(const std::vector<T>& a, const std::vector<T>& b) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i] != b[i])
      return "pixel " + std::to_string(i % W) + "," + std::to_string(i / W) + ": " +
             std::to_string(a[i]) + " instead of " + std::to_string(b[i]);
  return a.size() == b.size() ? "none" : "sizes";
}

void draw_dci(Test_Host& host, Reference_Kind kind, const std::vector<ZT_DCI_Point>& p,
              const std::vector<ZT_RGB32>& c, bool single) {
  const int32_t n = int32_t(p.size());
  switch (kind) {
  case Reference_Kind::Flat:
    host.actions().call<ZT_Slot::draw_dci_polytriangle>(host.rendition, n, p.data());
    break;
  case Reference_Kind::Colorized:
    host.actions().call<ZT_Slot::draw_dci_colorized_polytriangle>(host.rendition, n, p.data(),
                                                                   c.data(), single);
    break;
  case Reference_Kind::Gouraud:
    host.actions().call<ZT_Slot::draw_dci_gouraud_polytriangle>(host.rendition, n, p.data(),
                                                                 c.data());
    break;
  }
}

// Every configuration's fast paths (solid, patterned, masked, merged, every
// depth rule) against the reference, on seeded random strips.
TEST(TriangleStrips, EveryConfigurationMatchesTheReferenceBitForBit) {
  for (char config : std::string("ABCDEF")) {
    Test_Host host;
    host.set_option("Use Mask", ZT_Option_Value(true));
    host.establish_config(config, W, H);
    for (Reference_Kind kind :
         {Reference_Kind::Flat, Reference_Kind::Colorized, Reference_Kind::Gouraud}) {
      for (uint32_t seed = 1; seed <= 120; ++seed) {
        std::mt19937 rng(seed * 7919 + uint32_t(kind) * 31 + uint32_t(config));
        randomise_state(host, rng);
        fill_random(host, rng, config == 'C' || config == 'D');
        const auto points = random_strip(rng, 3 + int32_t(rng() % 10));
        const auto colours = random_colours(rng, int32_t(points.size()), kind);
        const bool single = rng() % 3 == 0;
        Reference_Image expected = reference_snapshot(host);
        reference_dci_strip(host, kind, int32_t(points.size()), points.data(), colours.data(),
                            single, expected);
        draw_dci(host, kind, points, colours, single);
        const std::string what = std::string(1, config) + " kind " +
                                 std::to_string(int(kind)) + " seed " + std::to_string(seed);
        ASSERT_TRUE(host.fences_intact()) << what;
        ASSERT_TRUE(host.color_snapshot() == expected.color)
            << what << " colour " << first_difference(host.color_snapshot(), expected.color);
        ASSERT_TRUE(host.depth_snapshot() == expected.depth)
            << what << " depth " << first_difference(host.depth_snapshot(), expected.depth);
      }
    }
  }
}

}  // namespace
