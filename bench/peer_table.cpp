// zdi_peer_table: runs the Mesa peer under each standard variant and prints one Markdown table of
// median seconds, with the fragment counts of the first variant.
//
//   zdi_peer_table [--quick] [--reps N] [--workloads a,b] [--softpipe-reps N]
//                  [--softpipe-workloads a,b] [--no-softpipe]
#include "bench/peer_runner.h"
#include "bench/workloads.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <string>
#include <vector>

namespace {

std::string count_text(const std::optional<int64_t>& n) {
  return n ? std::to_string(*n) : std::string("-");
}

} // namespace

int main(int argc, char** argv) {
  using namespace zdi::bench;
  Peer_Request request, sp_request;
  bool softpipe = true, softpipe_reps_given = false, softpipe_workloads_given = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool has_value = i + 1 < argc;
    if (a == "--quick")
      request.quick = true;
    else if (a == "--no-softpipe")
      softpipe = false;
    else if (a == "--reps" && has_value)
      request.reps = std::atoi(argv[++i]);
    else if (a == "--workloads" && has_value)
      request.workloads = split_names(argv[++i]);
    else if (a == "--softpipe-reps" && has_value)
      sp_request.reps = std::atoi(argv[++i]), softpipe_reps_given = true;
    else if (a == "--softpipe-workloads" && has_value)
      sp_request.workloads = split_names(argv[++i]), softpipe_workloads_given = true;
    else {
      std::fprintf(stderr, "usage: zdi_peer_table [--quick] [--reps N] [--workloads a,b] "
                           "[--softpipe-reps N] [--softpipe-workloads a,b] [--no-softpipe]\n");
      return 2;
    }
  }
  {
    Peer_Request sp = request;
    if (softpipe_reps_given) sp.reps = sp_request.reps;
    if (softpipe_workloads_given) sp.workloads = sp_request.workloads;
    sp_request = softpipe_request(sp);
  }

  const std::string exe = default_peer_executable();
  std::vector<std::string> variants, order;
  std::map<std::string, std::map<std::string, Peer_Result>> table; // workload -> variant -> result
  try {
    for (const auto& v : standard_peer_variants()) {
      if (v.name == "softpipe" && !softpipe) continue;
      const auto& req = v.name == "softpipe" ? sp_request : request;
      std::string note = req.reps > 0 ? ", " + std::to_string(req.reps) + " reps" : "";
      if (&req == &sp_request && req.workloads.size() != request.workloads.size())
        note += ", a subset of the workloads";
      if (!req.counts) note += ", no fragment counts";
      std::fprintf(stderr, "running %s%s...\n", v.name.c_str(), note.c_str());
      variants.push_back(v.name);
      for (auto& r : run_peer(exe, v, req)) {
        if (!table.count(r.workload)) order.push_back(r.workload);
        table[r.workload][v.name] = std::move(r);
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zdi_peer_table: %s\n", e.what());
    return 1;
  }

  std::printf("| workload |");
  for (const auto& v : variants) std::printf(" %s (s) |", v.c_str());
  std::printf(" fragments | passing depth |\n|---|");
  for (size_t i = 0; i < variants.size(); ++i) std::printf("---:|");
  std::printf("---:|---:|\n");
  for (const auto& w : order) {
    std::printf("| %s |", w.c_str());
    const Peer_Result* first = nullptr;
    for (const auto& v : variants) {
      const auto it = table[w].find(v);
      if (it == table[w].end()) {
        std::printf(" - |");
        continue;
      }
      if (!first) first = &it->second;
      std::printf(" %.4f |", it->second.median_s);
    }
    std::printf(" %s | %s |\n", count_text(first->fragments).c_str(),
                count_text(first->fragments_passed).c_str());
  }
  return 0;
}
