// End to end: the runner starts the real peer program under a chosen environment and reads back
// figures that can be checked independently of Mesa's edge rules.
#include "bench/peer_runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zdi::bench {
namespace {

Peer_Variant single_thread() {
  return standard_peer_variants().front();
}

std::optional<std::string> env_seen(const Peer_Result& r, const std::string& key) {
  for (const auto& [k, v] : r.env)
    if (k == key) return v;
  return "(not reported)";
}

TEST(PeerRunner, ParsesALineAndRejectsOthers) {
  const auto r = parse_peer_line(
      R"({"workload":"P_points","variant":null,"driver":"x","reps":2,"times_s":[0.5,0.25],)"
      R"("median_s":0.375,"min_s":0.25,"max_s":0.5,"primitives":7,"calls":1,)"
      R"("fragments":7,"fragments_passed":null})");
  EXPECT_EQ(r.workload, "P_points");
  EXPECT_EQ(r.variant, "");
  EXPECT_EQ(r.times_s.size(), 2u);
  EXPECT_EQ(r.fragments, 7);
  EXPECT_FALSE(r.fragments_passed.has_value());
  EXPECT_ANY_THROW(parse_peer_line("running..."));
  EXPECT_ANY_THROW(parse_peer_line(R"({"workload":"P_points"})"));
}

// Points sit on pixel centres and never leave the window, so every driver must rasterise exactly
// one fragment per point, and the depth outcome in draw order is fixed by the data alone.
TEST(PeerRunner, PointCountsAreExactAndTheEnvironmentReachesTheChild) {
  setenv("LP_NUM_THREADS", "7", 1); // the variant must override what we have
  setenv("GALLIUM_DRIVER", "softpipe", 1);
  std::vector<std::string> seen;
  const auto results =
      run_peer(ZDI_PEER_EXE, single_thread(), {{"P_points", "X_flush_1point", "C_clear"}, 2},
               [&](const Peer_Result& r) { seen.push_back(r.workload); });
  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(seen, (std::vector<std::string>{"P_points", "X_flush_1point", "C_clear"}));
  const auto& points = results[0];
  EXPECT_EQ(points.variant, "llvmpipe-1t");
  EXPECT_NE(points.driver.find("llvmpipe"), std::string::npos) << points.driver;
  EXPECT_EQ(env_seen(points, "LP_NUM_THREADS"), "0");
  EXPECT_EQ(points.times_s.size(), 2u);
  EXPECT_LE(points.min_s, points.median_s);
  EXPECT_LE(points.median_s, points.max_s);
  EXPECT_EQ(points.fragments, 500'000);
  EXPECT_EQ(points.fragments_passed, 430'550);
  EXPECT_EQ(results[1].fragments, 200);
  EXPECT_EQ(results[1].calls, 200);
  EXPECT_FALSE(results[2].fragments.has_value());
}

// Triangles and lines depend on the rasteriser's edge rules, so only closeness to the covered
// area (and to the nominal line length) is a property; 1% is far above edge effects here.
TEST(PeerRunner, FragmentCountsFollowTheAnalyticCoverage) {
  const auto results =
      run_peer(ZDI_PEER_EXE, single_thread(), {{"T_small_flat", "T_strip", "L_lines"}, 1});
  ASSERT_EQ(results.size(), 3u);
  EXPECT_NEAR(static_cast<double>(*results[0].fragments), 2'024'699, 20'000);
  EXPECT_NEAR(static_cast<double>(*results[1].fragments), 1'993'334, 20'000);
  EXPECT_NEAR(static_cast<double>(*results[2].fragments), 4'070'210, 41'000);
  for (const auto& r : results) EXPECT_LT(*r.fragments_passed, *r.fragments) << r.workload;
}

TEST(PeerRunner, VariablesAreRemovedAndTheDriverFollows) {
  setenv("LP_NUM_THREADS", "0", 1);
  setenv("GLIBC_TUNABLES", "glibc.malloc.trim_threshold=1073741824", 1);
  const auto results = run_peer(ZDI_PEER_EXE, standard_peer_variants().back(), {{"C_clear"}, 1});
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].driver, "softpipe");
  EXPECT_EQ(env_seen(results[0], "LP_NUM_THREADS"), std::nullopt);
  EXPECT_EQ(env_seen(results[0], "GLIBC_TUNABLES"), std::nullopt);
}

TEST(PeerRunner, FailuresAreReported) {
  EXPECT_THROW(run_peer("/nonexistent/zdi_peer_osmesa", single_thread(), {}), std::runtime_error);
  EXPECT_THROW(run_peer(ZDI_PEER_EXE, single_thread(), {{"no_such_workload"}, 1}),
               std::runtime_error);
}

} // namespace
} // namespace zdi::bench
