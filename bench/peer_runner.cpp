#include "bench/peer_runner.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zdi::bench {

std::vector<Peer_Variant> standard_peer_variants() {
  return {
      {"llvmpipe-1t",
       {{"GALLIUM_DRIVER", "llvmpipe"},
        {"LP_NUM_THREADS", "0"},
        {"GLIBC_TUNABLES", "glibc.malloc.trim_threshold=1073741824"}}},
      {"llvmpipe-mt",
       {{"GALLIUM_DRIVER", "llvmpipe"},
        {"LP_NUM_THREADS", std::nullopt},
        {"GLIBC_TUNABLES", std::nullopt}}},
      {"softpipe",
       {{"GALLIUM_DRIVER", "softpipe"},
        {"LP_NUM_THREADS", std::nullopt},
        {"GLIBC_TUNABLES", std::nullopt}}},
  };
}

Peer_Request softpipe_request(Peer_Request base) {
  if (base.quick) {
    if (base.workloads.empty()) {
      base.workloads = {"T_medium_gouraud",     "T_large_flat",   "T_strip", "X_calls_1tri",
                        "X_image64_drawpixels", "X_flush_1point", "C_clear"};
      base.counts = false;
    }
  } else if (base.reps == 0) {
    base.reps = 3;
  }
  return base;
}

std::string default_peer_executable() {
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "zdi_peer_osmesa";
  return (self.parent_path() / "zdi_peer_osmesa").string();
}

Peer_Result parse_peer_line(std::string_view line) {
  const auto j = nlohmann::json::parse(line);
  if (!j.is_object() || !j.contains("workload") || !j.contains("times_s"))
    throw std::runtime_error("peer: not a result line: " + std::string(line));
  Peer_Result r;
  r.workload = j.at("workload").get<std::string>();
  if (j.contains("variant") && j["variant"].is_string()) r.variant = j["variant"];
  r.driver = j.value("driver", "");
  r.times_s = j.at("times_s").get<std::vector<double>>();
  r.median_s = j.at("median_s").get<double>();
  r.min_s = j.at("min_s").get<double>();
  r.max_s = j.at("max_s").get<double>();
  r.warmup_s = j.value("warmup_s", 0.0);
  r.primitives = j.value("primitives", int64_t{0});
  r.calls = j.value("calls", int64_t{0});
  auto count = [&](const char* key) -> std::optional<int64_t> {
    if (!j.contains(key) || j[key].is_null()) return std::nullopt;
    return j[key].get<int64_t>();
  };
  r.fragments = count("fragments");
  r.fragments_passed = count("fragments_passed");
  if (j.contains("env") && j["env"].is_object()) {
    for (const auto& [key, value] : j["env"].items())
      r.env.emplace_back(key, value.is_string() ? std::optional(value.get<std::string>())
                                                : std::nullopt);
  }
  return r;
}

namespace {

std::vector<std::string> child_environment(const std::vector<Env_Change>& changes) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string_view entry = *e;
    const std::string_view key = entry.substr(0, entry.find('='));
    bool changed = false;
    for (const auto& c : changes) changed |= c.first == key;
    if (!changed) env.emplace_back(entry);
  }
  for (const auto& [key, value] : changes)
    if (value) env.push_back(key + "=" + *value);
  return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> p;
  for (auto& s : strings) p.push_back(s.data());
  p.push_back(nullptr);
  return p;
}

std::string join(const std::vector<std::string>& items) {
  std::string s;
  for (const auto& i : items) s += (s.empty() ? "" : ",") + i;
  return s;
}

} // namespace

std::vector<Peer_Result> run_peer(const std::string& executable, const Peer_Variant& variant,
                                  const Peer_Request& request,
                                  const std::function<void(const Peer_Result&)>& on_result) {
  std::vector<std::string> args = {executable, "--variant", variant.name};
  if (request.quick) args.emplace_back("--quick");
  if (!request.counts) args.emplace_back("--no-counts");
  if (request.reps > 0) args.insert(args.end(), {"--reps", std::to_string(request.reps)});
  if (!request.workloads.empty()) args.insert(args.end(), {"--workloads", join(request.workloads)});
  auto env = child_environment(variant.env);
  auto argv = pointers(args);
  auto envp = pointers(env);

  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error(std::string("peer: pipe: ") + strerror(errno));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addclose(&actions, fds[1]);
  pid_t pid = 0;
  const int err =
      posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (err != 0) {
    close(fds[0]);
    throw std::runtime_error("peer: cannot start " + executable + ": " + strerror(err));
  }

  std::vector<Peer_Result> results;
  std::string failure;
  FILE* out = fdopen(fds[0], "r");
  char* buf = nullptr;
  size_t cap = 0;
  ssize_t len;
  while ((len = getline(&buf, &cap, out)) > 0) {
    std::string_view line(buf, static_cast<size_t>(len));
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (line.empty() || !failure.empty()) continue; // keep draining so the child can finish
    try {
      results.push_back(parse_peer_line(line));
      if (on_result) on_result(results.back());
    } catch (const std::exception& e) {
      failure = e.what();
    }
  }
  std::free(buf);
  fclose(out);

  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!failure.empty()) throw std::runtime_error("peer (" + variant.name + "): " + failure);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("peer (" + variant.name + "): " + executable + " failed");
  return results;
}

} // namespace zdi::bench
