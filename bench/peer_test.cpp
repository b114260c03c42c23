// End to end: the runner starts the real peer program under a chosen environment, in one batch or
// kept running for one repetition at a time, and reads back figures that can be checked
// independently of Mesa's edge rules.
#include "bench/peer_runner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <memory>
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

TEST(PeerProtocol, RequestsAndAnswers) {
  const auto request = nlohmann::json::parse(peer_request_line("odd \"name\"\n"));
  EXPECT_EQ(request.at("run"), "odd \"name\"\n");

  const auto r = parse_peer_answer(
      R"({"workload":"C_clear","variant":"softpipe","reps":1,"times_s":[0.125],)"
      R"("median_s":0.125,"min_s":0.125,"max_s":0.125,"warmup_s":null,"primitives":100})");
  EXPECT_EQ(r.times_s, std::vector<double>{0.125});
  EXPECT_EQ(r.warmup_s, 0); // no warm-up preceded this repetition
  EXPECT_EQ(r.primitives, 100);
  try {
    parse_peer_answer(R"({"error":"unknown workload 'x'"})");
    ADD_FAILURE() << "an error answer was taken for a result";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("unknown workload 'x'"), std::string::npos);
  }
  // An answer is one repetition.
  EXPECT_ANY_THROW(parse_peer_answer(
      R"({"workload":"C_clear","times_s":[1,2],"median_s":1.5,"min_s":1,"max_s":2})"));
}

// The child stays alive between requests: it warms up when the workload changes and not when it
// is asked for the same one again, and an error answer leaves it serving.
TEST(PeerSession, OneRepetitionPerRequestFromAChildKeptAlive) {
  Peer_Session session(ZDI_PEER_EXE, single_thread());
  EXPECT_NE(session.driver().find("llvmpipe"), std::string::npos) << session.driver();
  const auto first = session.run_once("P_points");
  const auto again = session.run_once("P_points");
  EXPECT_EQ(first.workload, "P_points");
  EXPECT_EQ(first.times_s.size(), 1u);
  EXPECT_GT(first.times_s[0], 0);
  EXPECT_GT(first.warmup_s, 0);
  EXPECT_EQ(again.warmup_s, 0);
  EXPECT_EQ(again.variant, "llvmpipe-1t");
  EXPECT_EQ(env_seen(again, "LP_NUM_THREADS"), "0");
  EXPECT_EQ(env_seen(again, "GLIBC_TUNABLES"), "glibc.malloc.trim_threshold=1073741824");
  EXPECT_FALSE(again.fragments.has_value());

  EXPECT_THROW(session.run_once("no_such_workload"), std::runtime_error);
  const auto clear = session.run_once("C_clear");
  EXPECT_EQ(clear.primitives, 100);
  EXPECT_GT(clear.warmup_s, 0);
  EXPECT_GT(session.run_once("P_points").warmup_s, 0); // switching back warms up again
}

// Each child holds only its own pipes: ending one session must not wait for another to end.
TEST(PeerSession, SessionsEndIndependently) {
  auto first = std::make_unique<Peer_Session>(ZDI_PEER_EXE, single_thread());
  Peer_Session second(ZDI_PEER_EXE, standard_peer_variants().back());
  first.reset(); // would hang if the second child had inherited the first one's input
  EXPECT_EQ(second.run_once("C_clear").times_s.size(), 1u);
  EXPECT_EQ(second.driver(), "softpipe");
  EXPECT_THROW(Peer_Session("/nonexistent/zdi_peer_osmesa", single_thread()), std::runtime_error);
}

TEST(PeerRunner, FailuresAreReported) {
  EXPECT_THROW(run_peer("/nonexistent/zdi_peer_osmesa", single_thread(), {}), std::runtime_error);
  EXPECT_THROW(run_peer(ZDI_PEER_EXE, single_thread(), {{"no_such_workload"}, 1}),
               std::runtime_error);
}

} // namespace
} // namespace zdi::bench
