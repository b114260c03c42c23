// zdi_replay: plays a trace back against the renderer module and reports what
// the buffers hold and which host standard routines the calls reached.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "tools/buffer_contents.h"
#include "tools/png_writer.h"
#include "tools/trace_replay.h"

namespace {

const char* const usage_text =
    "usage: zdi_replay TRACE.json [options]\n"
    "Plays a trace (docs/trace-format.md) against the renderer module through the\n"
    "stand-in host and prints a report: the calls played, a hash of the colour and\n"
    "of the depth buffer, the host standard routines reached, in order, what update\n"
    "presented (rectangle and window position), and any establish the renderer\n"
    "refused.  Calls are played as they are read, so a trace of any length fits.\n"
    "\n"
    "  --module PATH        the renderer module (default: the one built with this program)\n"
    "  --png FILE           write the colour buffer as PNG (palette buffers through their palette)\n"
    "  --dump-color FILE    write the colour buffer as text: one line per row, top row\n"
    "                       first, hex words (FILE - is standard output)\n"
    "  --dump-depth FILE    the same for the depth buffer\n"
    "  --record-only        the host's standard routines record their calls and draw nothing\n"
    "  --expect FILE        compare the report with FILE, entry by entry: an entry FILE\n"
    "                       leaves out (say the fallbacks) is not compared; exit status 1\n"
    "                       when an entry differs\n"
    "  --write-expect FILE  write the report to FILE (to make a golden trace)\n"
    "  --quiet              print no report\n"
    "  --help               this text\n"
    "Exit status: 0 played (and matched), 1 failed or differed, 2 bad command line.\n";

struct Arguments {
  std::string trace, module = default_module_path(), png, dump_color, dump_depth, expect,
                     write_expect;
  bool record_only = false, quiet = false;
};

bool write_text(const std::string& path, const std::string& text) {
  if (path == "-") {
    std::fputs(text.c_str(), stdout);
    return true;
  }
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.close();
  if (!out) std::fprintf(stderr, "zdi_replay: cannot write %s\n", path.c_str());
  return bool(out);
}

std::string report(const Replay_Result& r, Host_Session& session) {
  std::ostringstream out;
  out << "calls " << r.calls << "\n";
  out << "color " << content_hash(session.color_buffer()) << "\n";
  out << "depth " << content_hash(session.depth_buffer()) << "\n";
  out << "fallbacks " << r.fallbacks.size() << "\n";
  for (const std::string& f : r.fallbacks) out << "  " << f << "\n";
  out << "presents " << r.presents.size() << "\n";
  for (const Presentation& p : r.presents)
    out << "  [" << p.rect.left << ", " << p.rect.right << ", " << p.rect.bottom << ", "
        << p.rect.top << "] at " << p.dest_x << ", " << p.dest_y << "\n";
  if (!r.refusals.empty()) {
    out << "refused " << r.refusals.size() << "\n";
    for (const std::string& why : r.refusals) out << "  " << why << "\n";
  }
  return out.str();
}

// A report's entries by key ("color", "fallbacks", ...); indented lines belong
// to the entry above them.
std::map<std::string, std::string> entries(const std::string& report) {
  std::map<std::string, std::string> out;
  std::istringstream in(report);
  std::string line, key;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    if (line[0] != ' ') key = line.substr(0, line.find(' '));
    out[key] += line + "\n";
  }
  return out;
}

// The entries of expected that differ in actual, as text; empty when none does.
std::string differences(const std::string& expected, const std::string& actual) {
  const auto want = entries(expected), have = entries(actual);
  std::string out;
  for (const auto& [key, text] : want) {
    auto it = have.find(key);
    const std::string found = it == have.end() ? "(nothing)\n" : it->second;
    if (found != text) out += "expected:\n" + text + "found:\n" + found;
  }
  return out;
}

// 0 parsed, 1 --help shown, 2 error shown.
int parse(int argc, char** argv, Arguments& a) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    bool ok = true;
    if (arg == "--help" || arg == "-h") {
      std::fputs(usage_text, stdout);
      return 1;
    } else if (arg == "--module") ok = value(a.module);
    else if (arg == "--png") ok = value(a.png);
    else if (arg == "--dump-color") ok = value(a.dump_color);
    else if (arg == "--dump-depth") ok = value(a.dump_depth);
    else if (arg == "--expect") ok = value(a.expect);
    else if (arg == "--write-expect") ok = value(a.write_expect);
    else if (arg == "--record-only") a.record_only = true;
    else if (arg == "--quiet" || arg == "-q") a.quiet = true;
    else if (!arg.empty() && arg[0] != '-' && a.trace.empty()) a.trace = arg;
    else {
      std::fprintf(stderr, "zdi_replay: unknown argument %s\n%s", arg.c_str(), usage_text);
      return 2;
    }
    if (!ok) {
      std::fprintf(stderr, "zdi_replay: %s needs a value\n", arg.c_str());
      return 2;
    }
  }
  if (a.trace.empty()) {
    std::fprintf(stderr, "zdi_replay: no trace given\n%s", usage_text);
    return 2;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments a;
  if (int parsed = parse(argc, argv, a)) return parsed == 1 ? 0 : 2;
  try {
    Host_Session session(a.module);
    Replay_Result result = replay_trace_file(a.trace, session, a.record_only);
    if (result.cut_short)
      std::fprintf(stderr, "zdi_replay: %s was cut short; played its complete calls\n",
                   a.trace.c_str());
    for (const std::string& why : result.refusals)
      std::fprintf(stderr, "zdi_replay: establish refused at %s\n", why.c_str());
    const std::string text = report(result, session);
    if (!a.quiet) std::fputs(text.c_str(), stdout);
    bool ok = true;
    if (!a.png.empty()) {
      std::string error;
      const ZT_Palette* palette = session.options().palette();
      if (!write_png(image_of(session.color_buffer(), palette), a.png, &error)) {
        std::fprintf(stderr, "zdi_replay: %s\n", error.c_str());
        ok = false;
      }
    }
    if (!a.dump_color.empty()) ok &= write_text(a.dump_color, dump_rows(session.color_buffer()));
    if (!a.dump_depth.empty()) ok &= write_text(a.dump_depth, dump_rows(session.depth_buffer()));
    if (!a.write_expect.empty()) ok &= write_text(a.write_expect, text);
    if (!a.expect.empty()) {
      std::ifstream in(a.expect, std::ios::binary);
      std::stringstream expected;
      expected << in.rdbuf();
      if (!in) {
        std::fprintf(stderr, "zdi_replay: cannot read %s\n", a.expect.c_str());
        ok = false;
      } else if (const std::string d = differences(expected.str(), text); !d.empty()) {
        std::fprintf(stderr, "zdi_replay: the report differs from %s\n%s", a.expect.c_str(),
                     d.c_str());
        ok = false;
      }
    }
    return ok ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zdi_replay: %s\n", e.what());
    return 1;
  }
}
