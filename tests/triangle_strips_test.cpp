// Triangle strips through the module's action table, in every configuration,
// against the slow reference (tests/support/reference_triangles) bit for bit.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/support/random_strips.h"
#include "tests/support/reference_triangles.h"
#include "tests/support/test_host.h"

namespace {

constexpr int32_t W = 64, H = 48;

// Every configuration's fast paths (solid, patterned, masked, merged, every
// depth rule) against the reference, on seeded random strips.
TEST(TriangleStrips, EveryConfigurationMatchesTheReferenceBitForBit) {
  for (char config : every_configuration) {
    Test_Host host(config, W, H);
    host.set_option("Use Mask", ZT_Option_Value(true));
    host.establish_again();
    for (Reference_Kind kind :
         {Reference_Kind::Flat, Reference_Kind::Colorized, Reference_Kind::Gouraud}) {
      for (uint32_t seed = 1; seed <= 120; ++seed) {
        std::mt19937 rng(seed * 7919 + uint32_t(kind) * 31 + uint32_t(config));
        randomise_state(host, rng);
        fill_random(host, rng);
        const auto points = random_strip(rng, 3 + int32_t(rng() % 10), {0, W, 0, H});
        const Point_List strip(points, random_colours(rng, int32_t(points.size()), kind),
                               rng() % 3 == 0);
        Reference_Image expected = reference_snapshot(host);
        reference_dci_strip(host, kind, strip, expected);
        draw_points(host, strip_slot(kind, false), strip);
        const std::string what = std::string(1, config) + " kind " +
                                 std::to_string(int(kind)) + " seed " + std::to_string(seed);
        ASSERT_TRUE(host.fences_intact()) << what;
        ASSERT_TRUE(same_buffers(host.snapshot(), expected, W)) << what;
      }
    }
  }
}

}  // namespace
