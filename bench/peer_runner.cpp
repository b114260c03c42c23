#include "bench/peer_runner.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include <fcntl.h>
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

namespace {

Peer_Result result_of(const nlohmann::json& j, std::string_view line) {
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
  if (j.contains("warmup_s") && !j["warmup_s"].is_null()) r.warmup_s = j["warmup_s"].get<double>();
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

} // namespace

Peer_Result parse_peer_line(std::string_view line) {
  return result_of(nlohmann::json::parse(line), line);
}

std::string peer_request_line(std::string_view workload) {
  return nlohmann::json{{"run", std::string(workload)}}.dump();
}

Peer_Result parse_peer_answer(std::string_view line) {
  const auto j = nlohmann::json::parse(line);
  if (j.is_object() && j.contains("error"))
    throw std::runtime_error(j["error"].is_string() ? j["error"].get<std::string>()
                                                    : j["error"].dump());
  Peer_Result r = result_of(j, line);
  if (r.times_s.size() != 1)
    throw std::runtime_error("peer: an answer holds one repetition: " + std::string(line));
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

// A child whose standard output, and optionally its standard input, are pipes to us.
struct Child {
  pid_t pid = -1;
  int from = -1; // the child's standard output
  int to = -1;   // the child's standard input, or -1 when it keeps ours
};

// Our ends of the pipes are close-on-exec: a child started later must not inherit them, or it
// would hold another child's input open after we close it, and that child would never see the
// end of its input.
Child spawn(const std::string& executable, std::vector<std::string> args,
            const std::vector<Env_Change>& changes, bool with_input) {
  auto env = child_environment(changes);
  auto argv = pointers(args);
  auto envp = pointers(env);
  int out[2] = {-1, -1}, in[2] = {-1, -1};
  if (pipe2(out, O_CLOEXEC) != 0 || (with_input && pipe2(in, O_CLOEXEC) != 0)) {
    const std::string reason = strerror(errno);
    for (int fd : {out[0], out[1], in[0], in[1]})
      if (fd >= 0) close(fd);
    throw std::runtime_error("peer: pipe: " + reason);
  }
  // dup2 leaves the child's copies without close-on-exec.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  if (with_input) posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  Child child;
  const int err =
      posix_spawn(&child.pid, executable.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (with_input) close(in[0]);
  if (err != 0) {
    close(out[0]);
    if (with_input) close(in[1]);
    throw std::runtime_error("peer: cannot start " + executable + ": " + strerror(err));
  }
  child.from = out[0];
  child.to = with_input ? in[1] : -1;
  return child;
}

int wait_for(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

// One line without its line ending; false at the end of the stream.
bool read_line(std::FILE* from, std::string& line) {
  char* buf = nullptr;
  size_t cap = 0;
  const ssize_t len = getline(&buf, &cap, from);
  if (len > 0) line.assign(buf, static_cast<size_t>(len));
  std::free(buf);
  if (len <= 0) return false;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return true;
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
  const Child child = spawn(executable, std::move(args), variant.env, false);

  std::vector<Peer_Result> results;
  std::string failure, line;
  std::FILE* out = fdopen(child.from, "r");
  while (read_line(out, line)) {
    if (line.empty() || !failure.empty()) continue; // keep draining so the child can finish
    try {
      results.push_back(parse_peer_line(line));
      if (on_result) on_result(results.back());
    } catch (const std::exception& e) {
      failure = e.what();
    }
  }
  fclose(out);

  const int status = wait_for(child.pid);
  if (!failure.empty()) throw std::runtime_error("peer (" + variant.name + "): " + failure);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("peer (" + variant.name + "): " + executable + " failed");
  return results;
}

Peer_Session::Peer_Session(const std::string& executable, const Peer_Variant& variant)
    : variant_(variant.name) {
  // A child that dies must show up as a failed write, not end this process with SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  const Child child =
      spawn(executable, {executable, "--serve", "--variant", variant.name}, variant.env, true);
  pid_ = child.pid;
  to_child_ = fdopen(child.to, "w");
  from_child_ = fdopen(child.from, "r");
  std::string hello;
  const bool said = read_line(from_child_, hello);
  const auto j = nlohmann::json::parse(hello, nullptr, false);
  if (!said || !j.is_object() || !j.value("ready", false)) {
    stop();
    throw std::runtime_error("peer (" + variant_ + "): " + executable +
                             (said ? " did not say it was ready: " + hello : " exited at start"));
  }
  if (j.contains("driver") && j["driver"].is_string()) driver_ = j["driver"];
}

Peer_Session::~Peer_Session() {
  stop();
}

void Peer_Session::stop() {
  if (pid_ < 0) return;
  std::fclose(to_child_); // the end of its input: the child exits
  std::fclose(from_child_);
  wait_for(pid_);
  pid_ = -1;
  to_child_ = from_child_ = nullptr;
}

Peer_Result Peer_Session::run_once(std::string_view workload) {
  const std::string who = "peer (" + variant_ + "): ";
  if (pid_ < 0) throw std::runtime_error(who + "no longer running");
  const std::string request = peer_request_line(workload) + "\n";
  std::string answer;
  if (std::fputs(request.c_str(), to_child_) < 0 || std::fflush(to_child_) != 0 ||
      !read_line(from_child_, answer)) {
    stop();
    throw std::runtime_error(who + "exited during " + std::string(workload));
  }
  try {
    return parse_peer_answer(answer);
  } catch (const std::exception& e) {
    throw std::runtime_error(who + e.what());
  }
}

} // namespace zdi::bench
