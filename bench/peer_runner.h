// Runs the Mesa peer (zdi_peer_osmesa) as a child process under a chosen environment and reads
// its results, so one benchmark run can put our figures and the peer's side by side.
//
// zdi_peer_osmesa prints one JSON object per line and workload:
//   {
//     "workload":  "T_small_flat",             name from the workload catalogue (workloads.h)
//     "variant":   "llvmpipe-1t" | null,        tag given with --variant
//     "driver":    "llvmpipe (LLVM 15.0.6, 256 bits)",   glGetString(GL_RENDERER)
//     "env":       {"GALLIUM_DRIVER": s|null, "LP_NUM_THREADS": s|null, "GLIBC_TUNABLES": s|null},
//     "reps":      5,                           timed repetitions
//     "times_s":   [0.21, ...],                 wall time of each repetition, seconds
//     "median_s", "min_s", "max_s": over times_s (median of an even count: mean of the middle two)
//     "warmup_s":  0.9 | null,                  the untimed first run (includes shader compiles);
//                                               null when no warm-up preceded (see --serve below)
//     "primitives": 200000,                     primitives, images or repetitions per run
//     "calls":     1,                           draw (or clear) calls per run
//     "fragments": 2025898 | null,              fragments rasterised (occlusion query, untimed)
//     "fragments_passed": 1210629 | null        of those, passing LEQUAL; null without depth test
//   }
// Fragment counts are null for C_clear and with --no-counts. Diagnostics go to stderr.
//
// zdi_peer_osmesa --serve first prints
//   {"ready": true, "variant": "llvmpipe-1t" | null, "driver": "llvmpipe (...)"}
// once its context exists, then stays running and reads one request per line from standard input:
//   {"run": "T_small_flat"}
// and answers each with one line: a result as above for one timed repetition (times_s holds its
// time, fragment counts are null, warmup_s is set only when the request switched workloads), or
//   {"error": "unknown workload 'x'"}
// for a request it cannot serve, after which it carries on. It exits at the end of its input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zdi::bench {

// An environment change: a value to set, or nullopt to remove the variable.
using Env_Change = std::pair<std::string, std::optional<std::string>>;

struct Peer_Result {
  std::string workload;
  std::string variant; // empty when the line had none
  std::string driver;
  std::vector<double> times_s;
  double median_s = 0, min_s = 0, max_s = 0, warmup_s = 0;
  int64_t primitives = 0, calls = 0;
  std::optional<int64_t> fragments, fragments_passed;
  std::vector<Env_Change> env; // the driver-selecting variables as the peer saw them
};

struct Peer_Variant {
  std::string name;
  std::vector<Env_Change> env;
};

// llvmpipe-1t: llvmpipe rasterising in the calling thread, with glibc's heap trimming pushed out
//              of the way (it would otherwise halve llvmpipe's speed here);
// llvmpipe-mt: llvmpipe with its default of one rasteriser thread per core;
// softpipe:    Mesa's reference driver, single-threaded and slow.
std::vector<Peer_Variant> standard_peer_variants();

struct Peer_Request {
  std::vector<std::string> workloads; // empty: the program's default (all, or the quick subset)
  int reps = 0;                       // 0: the program's default
  bool quick = false;
  bool counts = true;
};

// Softpipe takes about 30 s per pass over all workloads (points and small triangles dominate), so
// it gets 3 repetitions where the others get 5, and on a quick run a subset without the
// (untimed but equally slow) fragment counts. Explicit reps or workloads in `base` are kept.
Peer_Request softpipe_request(Peer_Request base);

// The zdi_peer_osmesa that sits beside the running executable.
std::string default_peer_executable();

// Spawns `executable` with the variant's environment changes applied to ours, and returns one
// result per output line, in order; `on_result` sees each as soon as it arrives. Throws
// std::runtime_error if the program cannot start, prints a malformed line or exits non-zero.
std::vector<Peer_Result> run_peer(const std::string& executable, const Peer_Variant& variant,
                                  const Peer_Request& request,
                                  const std::function<void(const Peer_Result&)>& on_result = {});

// One line of output; throws std::runtime_error (or nlohmann's exceptions) if it is malformed.
Peer_Result parse_peer_line(std::string_view line);

// The request line that asks a serving peer for one repetition of `workload` (no newline).
std::string peer_request_line(std::string_view workload);
// One answer of a serving peer: its result, or std::runtime_error carrying the peer's error.
Peer_Result parse_peer_answer(std::string_view line);

// A peer variant kept running between repetitions (zdi_peer_osmesa --serve), so that one
// repetition of ours and one of each peer can follow each other on the same workload.
class Peer_Session {
public:
  // Starts `executable` with the variant's environment and waits until it is ready; throws
  // std::runtime_error if it cannot start or exits first.
  Peer_Session(const std::string& executable, const Peer_Variant& variant);
  // Ends the child's input and waits for it to exit.
  ~Peer_Session();
  Peer_Session(const Peer_Session&) = delete;
  Peer_Session& operator=(const Peer_Session&) = delete;

  const std::string& variant() const { return variant_; }
  const std::string& driver() const { return driver_; } // as the child reported it
  // One timed repetition of `workload` (preceded, in the child, by an untimed warm-up when the
  // previous request was for another workload). Throws std::runtime_error when the peer answers
  // with an error, or has died; a session that died stays dead.
  Peer_Result run_once(std::string_view workload);

private:
  void stop();

  std::string variant_, driver_;
  int pid_ = -1;
  std::FILE* to_child_ = nullptr;
  std::FILE* from_child_ = nullptr;
};

} // namespace zdi::bench
