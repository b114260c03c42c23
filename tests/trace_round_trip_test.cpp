// Record and replay: the built-in scene recorded in each configuration replays
// to the same buffers bit for bit and reaches the same host routines; a replay
// recorded again gives the same trace; a trace cut short still plays.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "tools/buffer_contents.h"
#include "tools/default_scene.h"
#include "tests/support/test_host.h"
#include "tools/trace_replay.h"
#include "trace/zd_trace_recorder.h"

namespace {

struct Outcome {
  std::string color, depth;
  std::vector<std::string> fallbacks;
};

Outcome outcome_of(Host_Session& session) {
  Outcome o{dump_rows(session.color_buffer()), dump_rows(session.depth_buffer()), {}};
  for (const ZD_Fallback_Call& c : ZD_Fallback_Log::calls()) o.fallbacks.push_back(c.function);
  return o;
}


// Draws the built-in scene in configuration c while recording into path.
Outcome record_scene(char c, const std::string& path) {
  Host_Session session(default_module_path());
  session.configure(120, 90, *configuration_named(c));
  ZD_Fallback_Log::clear();
  std::string error;
  EXPECT_TRUE(ZD_Start_Trace(path, &error)) << error;
  ZD_Establish(session.renderer());
  const Camera camera = default_scene_camera(10, 5, 1);
  Scene_Painter painter(session, Viewport(camera, 120, 90, {0, 0}), Lighting::studio(camera.eye));
  draw_default_scene(painter);
  ZD_Stop_Trace();
  return outcome_of(session);
}

Outcome replay_file(const std::string& path, bool* cut_short = nullptr) {
  Host_Session session(default_module_path());
  replay_trace(read_trace_file(path, cut_short), session, false);
  return outcome_of(session);
}

// The scene recorded in each configuration replays to the same buffers and
// host routines; recorded again while it replays, it gives the same calls.
// Polygons hand their pieces to the triangle slots through the table, and the
// host's decompositions call simpler slots: only the outermost call is written.
class Round_Trip : public ::testing::TestWithParam<char> {};

TEST_P(Round_Trip, RecordedSceneReplaysToIdenticalBuffersAndRecordsTheSameCalls) {
  const std::string path = temporary_path(std::string("scene_") + GetParam() + ".json");
  const std::string again = temporary_path(std::string("again_") + GetParam() + ".json");
  const Outcome recorded = record_scene(GetParam(), path);
  Outcome replayed;
  {
    Host_Session session(default_module_path());
    ASSERT_TRUE(ZD_Start_Trace(again));
    replay_trace(read_trace_file(path, nullptr), session, false);
    ZD_Stop_Trace();
    replayed = outcome_of(session);
  }
  EXPECT_FALSE(recorded.color.empty());
  EXPECT_EQ(recorded.color, replayed.color);
  EXPECT_EQ(recorded.depth, replayed.depth);
  EXPECT_EQ(recorded.depth.empty(), !configuration_named(GetParam())->depth);
  EXPECT_EQ(recorded.fallbacks, replayed.fallbacks);
  const zd_trace::json calls = read_trace_file(path, nullptr)["calls"];
  EXPECT_EQ(calls, read_trace_file(again, nullptr)["calls"]);
  EXPECT_GT(calls.size(), 100u);
  std::map<std::string, int> count;
  for (const auto& call : calls) ++count[call["call"].get<std::string>()];
  // The two polygons: DC where they lie in the window, 2D where they cross its edge.
  EXPECT_EQ(count["draw_dc_polygon"] + count["draw_2d_polygon"], 2);
  EXPECT_EQ(count["establish"], 1);
  EXPECT_EQ(count["update"], 1);
  std::remove(path.c_str());
  std::remove(again.c_str());
}

INSTANTIATE_TEST_SUITE_P(EveryConfiguration, Round_Trip, ::testing::Values('A', 'B', 'C', 'D', 'E', 'F'));

TEST(Recording, BufferContentsSetByTheReplayAreRecordedToo) {
  const std::string first = temporary_path("contents.json"), second = temporary_path("contents_again.json");
  std::ofstream(first) << R"({"window": {"width": 3, "height": 2},
    "renderer_options": {"buffer_depth": 16, "color_system": 1},
    "calls": [{"call": "establish"},
              {"call": "set_buffers", "color": {"rows": ["FF000001 FF000002 FF000003",
                                                         "FF000004 FF000005 FF000006"]},
               "depth": {"fill": "0123"}}]})";
  Outcome replayed, replayed_again;
  {
    Host_Session session(default_module_path());
    ASSERT_TRUE(ZD_Start_Trace(second));
    replay_trace(read_trace_file(first, nullptr), session, false);
    ZD_Stop_Trace();
    replayed = outcome_of(session);
  }
  replayed_again = replay_file(second);
  EXPECT_EQ(replayed.color, "FF000001 FF000002 FF000003\nFF000004 FF000005 FF000006\n");
  EXPECT_EQ(replayed.color, replayed_again.color);
  EXPECT_EQ(replayed.depth, replayed_again.depth);
  std::remove(first.c_str());
  std::remove(second.c_str());
}

TEST(Recording, TraceCutShortStillPlaysItsCompleteCalls) {
  const std::string path = temporary_path("cut.json");
  record_scene('B', path);
  const std::size_t whole = read_trace_file(path, nullptr)["calls"].size();
  std::string text;
  {
    std::ifstream in(path);
    text.assign(std::istreambuf_iterator<char>(in), {});
  }
  // Cut in the middle of the last line, as a crash inside the last call would.
  text.resize(text.rfind("\n]}") - 5);
  std::ofstream(path, std::ios::trunc) << text;
  bool cut_short = false;
  const zd_trace::json trace = read_trace_file(path, &cut_short);
  EXPECT_TRUE(cut_short);
  Host_Session session(default_module_path());
  EXPECT_EQ(std::size_t(replay_trace(trace, session, false).calls) + 1, whole);
  std::remove(path.c_str());
}

TEST(Recording, OnlyTheFirstRendererIsFollowed) {
  const std::string path = temporary_path("two.json");
  Host_Session first(default_module_path()), second(default_module_path());
  first.configure(8, 8, *configuration_named('B'));
  second.configure(8, 8, *configuration_named('B'));
  ASSERT_TRUE(ZD_Start_Trace(path));
  ZD_Establish(first.renderer());
  ZD_Establish(second.renderer());
  ZD_Set_ZBuffer_Test(second.renderer(), 5);
  ZD_Stop_Trace();
  EXPECT_EQ(read_trace_file(path, nullptr)["calls"].size(), 1u);
  std::remove(path.c_str());
}

}  // namespace
