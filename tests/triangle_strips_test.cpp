// Triangle strips through the module's action table, in every configuration,
// against the slow reference (tests/support/reference_triangles) bit for bit,
// and the rules worth stating on their own.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "random_strips.h"
#include "reference_triangles.h"
#include "test_host.h"

namespace {

constexpr int32_t W = 64, H = 48;

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
        fill_random(host, rng);
        const auto points = random_strip(rng, 3 + int32_t(rng() % 10), {0, W, 0, H});
        const auto colours = random_colours(rng, int32_t(points.size()), kind);
        const bool single = rng() % 3 == 0;
        Reference_Image expected = reference_snapshot(host);
        reference_dci_strip(host, kind, int32_t(points.size()), points.data(), colours.data(),
                            single, expected);
        draw_integer_strip(host, kind, false, points, colours, single);
        const std::string what = std::string(1, config) + " kind " +
                                 std::to_string(int(kind)) + " seed " + std::to_string(seed);
        ASSERT_TRUE(host.fences_intact()) << what;
        ASSERT_TRUE(host.color_snapshot() == expected.color)
            << what << " colour " << first_difference(host.color_snapshot(), expected.color, W);
        ASSERT_TRUE(host.depth_snapshot() == expected.depth)
            << what << " depth " << first_difference(host.depth_snapshot(), expected.depth, W);
      }
    }
  }
}

}  // namespace
