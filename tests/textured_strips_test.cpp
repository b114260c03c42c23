// Textured strips through the module's action table against the slow
// reference (tests/support/reference_textured) bit for bit, and the clipping
// of strips whose points lie anywhere.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "tests/support/heap_counter.h"
#include "tests/support/random_strips.h"
#include "tests/support/reference_textured.h"
#include "tests/support/test_host.h"
#include "tests/support/textured_calls.h"

namespace {

constexpr int32_t W = 64, H = 48;
constexpr char variants[] = "OAEF";

// Every variant's paths (solid, patterned, modulated, lit, clipped; every slot)
// on seeded random strips, with random buffers and random depth options that
// the textured strips must ignore.
TEST(TexturedStrips, EveryVariantMatchesTheReferenceBitForBit) {
  for (char variant : std::string(variants)) {
    Test_Host host;
    establish_variant(host, variant, W, H);
    for (uint32_t seed = 1; seed <= 160; ++seed) {
      std::mt19937 rng(seed * 7919 + uint32_t(variant));
      randomise_state(host, rng);
      fill_random(host, rng);
      use_texture(host, random_texture(rng));
      const ZT_Slot slot = textured_slots()[rng() % 4];
      const bool anywhere = slot == ZT_Slot::draw_2d_textured_polytriangle ||
                            slot == ZT_Slot::draw_2di_textured_polytriangle;
      ZT_Rendition_Data* d = host.rendition.modify();
      d->lighting = variant == 'O' && !anywhere && rng() % 3 == 0;
      if (anywhere) {
        const int32_t l = int32_t(rng() % 30), b = int32_t(rng() % 20);
        d->hard_clip = {l, l + int32_t(rng() % 34), b, b + int32_t(rng() % 28)};
      }
      const Point_Range range = anywhere ? Point_Range{-40, W + 40, -40, H + 40}
                                         : Point_Range{0, W, 0, H};
      Textured_Points call{Point_List(random_strip(rng, 3 + int32_t(rng() % 10), range))};
      randomise_texturing(rng, call);
      Reference_Image expected = reference_snapshot(host);
      reference_textured_strip(host, call, anywhere, expected);
      draw_textured(host, slot, call);
      const ZT_Counted_Ptr<ZT_Texture> t = host.rendition->face->texture();
      const std::string what =
          std::string(1, variant) + " " + ZT_slot_name(slot) + " seed " + std::to_string(seed) +
          (d->lighting ? " lit" : "") + (t->modulate && !call.points.colours.empty() ? " modulated" : "") +
          " pattern " + std::to_string(host.rendition->face->pattern_index) + "/" +
          std::to_string(host.rendition->face->pattern_flags) + " wraps " +
          std::to_string(t->u_wrap) + std::to_string(t->v_wrap) + " image " +
          std::to_string(t->image(0, 0)->width) + "x" + std::to_string(t->image(0, 0)->height);
      ASSERT_TRUE(host.fences_intact()) << what;
      ASSERT_TRUE(same_buffers(host.snapshot(), expected, W)) << what;
    }
  }
}

}  // namespace
