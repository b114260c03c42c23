// zdi_peer_osmesa: runs the benchmark workloads through Mesa's software OpenGL (OSMesa) and
// prints one JSON object per workload and line (schema in peer_runner.h).
//
// With --serve it stays running instead and times one repetition per request read from standard
// input, so a benchmark can alternate between renderers repetition by repetition (protocol in
// peer_runner.h).
//
// Which Mesa driver runs, and with how many threads, is decided by the environment
// (GALLIUM_DRIVER, LP_NUM_THREADS, ...); this program sets none of it, it only reports it.
//
// Set-up: a 1024 x 768 BGRA colour buffer with 16-bit depth, glOrtho(0,1024, 0,768, 0,-65535) and
// an identity modelview, so vertex (x, y, z) lands at window (x, y) with depth z / 65535. Colour
// and depth are cleared before every repetition, outside the timed region. The timed region is
// the workload's draw calls from client-side arrays followed by glFinish(). One untimed warm-up
// run precedes the timed ones (llvmpipe compiles its shaders on first use). Fragment counts come
// from occlusion queries in separate untimed runs: once with the depth test passing everything
// (all fragments) and once with LEQUAL (fragments passing the depth test).
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/osmesa.h>

#include "bench/workloads.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace zdi::bench {
namespace {

// A seconds-long subset that still touches every kind of draw.
constexpr const char* kQuickWorkloads[] = {
    "T_small_flat",   "T_medium_gouraud", "T_large_flat",
    "T_strip",        "L_lines",          "P_points",
    "X_medium_tex",   "X_calls_1tri",     "X_image64_drawpixels",
    "X_flush_1point", "C_clear",
};

struct Options {
  std::vector<std::string> workloads;
  int reps = 5;
  bool quick = false;
  bool counts = true;
  bool serve = false;
  std::string variant;
  std::string dump_dir;
};

[[noreturn]] void usage(int code) {
  std::fprintf(code ? stderr : stdout,
               "usage: zdi_peer_osmesa [--workloads a,b,...] [--reps N] [--quick] [--no-counts]\n"
               "                       [--variant NAME] [--dump-ppm DIR] [--list]\n"
               "       zdi_peer_osmesa --serve [--variant NAME]\n"
               "  --quick      1 repetition of a small subset (unless --workloads/--reps given)\n"
               "  --no-counts  skip the untimed occlusion-query runs\n"
               "  --variant    tag copied into every output line\n"
               "  --dump-ppm   write the colour buffer after each workload to DIR/NAME.ppm\n"
               "  --serve      read {\"run\": \"NAME\"} lines from stdin, time one repetition of\n"
               "               each and answer with one result line; ends at end of input\n");
  std::exit(code);
}

Options parse_args(int argc, char** argv) {
  Options o;
  bool reps_given = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) usage(2);
      return argv[++i];
    };
    if (a == "--workloads")
      o.workloads = split_names(value());
    else if (a == "--reps")
      o.reps = std::atoi(value().c_str()), reps_given = true;
    else if (a == "--quick")
      o.quick = true;
    else if (a == "--no-counts")
      o.counts = false;
    else if (a == "--variant")
      o.variant = value();
    else if (a == "--dump-ppm")
      o.dump_dir = value();
    else if (a == "--serve")
      o.serve = true;
    else if (a == "--list") {
      for (const auto& d : workload_defs())
        std::printf("%.*s\n", int(d.name.size()), d.name.data());
      std::exit(0);
    } else if (a == "--help" || a == "-h")
      usage(0);
    else
      usage(2);
  }
  if (o.quick && !reps_given) o.reps = 1;
  if (o.reps < 1) usage(2);
  if (o.workloads.empty()) {
    if (o.quick)
      o.workloads.assign(std::begin(kQuickWorkloads), std::end(kQuickWorkloads));
    else
      for (const auto& d : workload_defs()) o.workloads.emplace_back(d.name);
  }
  for (const auto& w : o.workloads) {
    if (!find_workload(w)) {
      std::fprintf(stderr, "zdi_peer_osmesa: unknown workload '%s' (see --list)\n", w.c_str());
      std::exit(2);
    }
  }
  return o;
}

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void check_gl(const char* where) {
  if (const GLenum e = glGetError(); e != GL_NO_ERROR) {
    std::fprintf(stderr, "zdi_peer_osmesa: GL error 0x%x in %s\n", e, where);
    std::exit(1);
  }
}

class Peer {
public:
  Peer() : color_(static_cast<uint32_t*>(std::aligned_alloc(64, kWidth * kHeight * 4))) {
    ctx_ = OSMesaCreateContextExt(OSMESA_BGRA, 16, 0, 0, nullptr);
    if (!ctx_ || !OSMesaMakeCurrent(ctx_, color_, GL_UNSIGNED_BYTE, kWidth, kHeight)) {
      std::fprintf(stderr, "zdi_peer_osmesa: cannot create an OSMesa context\n");
      std::exit(1);
    }
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kWidth, 0, kHeight, 0, -65535);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DITHER); // a no-op for 8-bit channels, but say it
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glGenQueries(1, &query_);
    check_gl("set-up");
  }
  ~Peer() {
    OSMesaDestroyContext(ctx_);
    std::free(color_);
  }
  Peer(const Peer&) = delete;
  Peer& operator=(const Peer&) = delete;

  std::string driver() const {
    const auto* s = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return s ? s : "";
  }

  // Makes `def` the current workload (its GL state and arrays) and runs it once, untimed: llvmpipe
  // compiles its shaders on first use. Returns the time of that warm-up.
  double select(const Workload_Def& def);
  const Workload_Def* current() const { return current_; }
  // One timed repetition of the current workload: buffers cleared outside the timed region, then
  // the draw calls and glFinish().
  double time_once();

  // Warm-up, opt.reps timed repetitions and the fragment counts of one workload, as one line.
  nlohmann::ordered_json run(const Workload_Def& def, const Options& opt);
  // A result line (schema in peer_runner.h); a warm-up of nullopt is written as null.
  nlohmann::ordered_json result_line(const Workload_Def& def, const Options& opt,
                                     const std::vector<double>& times,
                                     std::optional<double> warmup,
                                     nlohmann::ordered_json fragments = nullptr,
                                     nlohmann::ordered_json passed = nullptr) const;

private:
  // Sets up state and arrays for a workload; returns the timed part.
  std::function<void()> prepare(const Workload_Def& def);
  void clear() {
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
  }
  uint64_t count_samples(const std::function<void()>& draw, GLenum depth_func);
  void bind_texture();
  void dump_ppm(const std::string& path) const;

  OSMesaContext ctx_ = nullptr;
  uint32_t* color_;
  GLuint query_ = 0, texture_ = 0;
  Workload_Data data_;
  const Workload_Def* current_ = nullptr;
  std::function<void()> draw_;
  std::vector<Bench_Vertex> verts_;
  std::vector<Bench_Texcoord> texcoords_;
};

void Peer::bind_texture() {
  if (!texture_) {
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kTextureSide, kTextureSide, 0, GL_BGRA,
                 GL_UNSIGNED_BYTE, data_.texture().data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  }
  glBindTexture(GL_TEXTURE_2D, texture_);
}

std::function<void()> Peer::prepare(const Workload_Def& def) {
  if (def.depth) {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
  } else {
    glDisable(GL_DEPTH_TEST);
  }
  glDepthMask(GL_TRUE);
  // GL's flat shading takes the last vertex of a primitive, i.e. the third of a triangle.
  glShadeModel(def.flat ? GL_FLAT : GL_SMOOTH);
  glPointSize(1);
  glLineWidth(1);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisable(GL_TEXTURE_2D);

  GLenum mode = GL_TRIANGLES;
  GLsizei nverts = 0;
  switch (def.data) {
  case Bench_Data::small:
  case Bench_Data::medium:
  case Bench_Data::large: {
    const auto v = as_vertices(data_.tris(def.data).first(def.count));
    verts_.assign(v.begin(), v.end());
    nverts = static_cast<GLsizei>(verts_.size());
    break;
  }
  case Bench_Data::strip:
    verts_ = gen_strip(def.count);
    mode = GL_TRIANGLE_STRIP;
    nverts = static_cast<GLsizei>(verts_.size());
    break;
  case Bench_Data::lines:
    verts_ = line_vertices(data_.lines().first(def.count));
    mode = GL_LINES;
    nverts = static_cast<GLsizei>(verts_.size());
    break;
  case Bench_Data::points:
    verts_ = point_vertices(data_.points().first(def.count));
    mode = GL_POINTS;
    nverts = static_cast<GLsizei>(verts_.size());
    break;
  case Bench_Data::image64:
  case Bench_Data::image256:
  case Bench_Data::none:
    verts_.clear();
    break;
  }

  if (!verts_.empty()) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Bench_Vertex), &verts_[0].x);
    if (def.textured) {
      // Replace mode ignores the vertex colour, so only positions and texcoords are fed.
      texcoords_ = texcoords_for(verts_);
      bind_texture();
      glEnable(GL_TEXTURE_2D);
      glEnableClientState(GL_TEXTURE_COORD_ARRAY);
      glTexCoordPointer(2, GL_FLOAT, sizeof(Bench_Texcoord), texcoords_.data());
    } else {
      glEnableClientState(GL_COLOR_ARRAY);
      // The colour word's bytes are B, G, R, A in memory.
      glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, sizeof(Bench_Vertex), &verts_[0].color);
    }
  }
  check_gl("prepare");

  const GLsizei count = static_cast<GLsizei>(def.count);
  switch (def.draw) {
  case Bench_Draw::batch:
    return [=] { glDrawArrays(mode, 0, nverts); };
  case Bench_Draw::call_per_triangle:
    return [=] {
      for (GLsizei i = 0; i < count; ++i) glDrawArrays(GL_TRIANGLES, 3 * i, 3);
    };
  case Bench_Draw::flush_per_point:
    return [=] {
      for (GLsizei i = 0; i < count; ++i) {
        glDrawArrays(GL_POINTS, i, 1);
        glFinish();
      }
    };
  case Bench_Draw::draw_pixels: {
    const int side = image_side(def.data);
    const auto pos = data_.image_positions(def.data);
    const uint32_t* pixels = data_.texture().data(); // the first side^2 texels, side per row
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelZoom(1, 1);
    return [=] {
      for (const auto& p : pos) {
        glWindowPos2i(p.x, p.y);
        glDrawPixels(side, side, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
      }
    };
  }
  case Bench_Draw::clear:
    return [=] {
      for (GLsizei i = 0; i < count; ++i) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
      }
    };
  }
  return [] {};
}

uint64_t Peer::count_samples(const std::function<void()>& draw, GLenum depth_func) {
  clear();
  glDepthFunc(depth_func);
  glBeginQuery(GL_SAMPLES_PASSED, query_);
  draw();
  glEndQuery(GL_SAMPLES_PASSED);
  GLuint n = 0;
  glGetQueryObjectuiv(query_, GL_QUERY_RESULT, &n);
  glDepthFunc(GL_LEQUAL);
  check_gl("occlusion query");
  return n;
}

void Peer::dump_ppm(const std::string& path) const {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << kWidth << ' ' << kHeight << "\n255\n";
  std::vector<char> row(kWidth * 3);
  for (int y = kHeight - 1; y >= 0; --y) { // the buffer's first row is the bottom one
    for (int x = 0; x < kWidth; ++x) {
      const uint32_t c = color_[y * kWidth + x];
      row[3 * x] = static_cast<char>(red(c));
      row[3 * x + 1] = static_cast<char>(green(c));
      row[3 * x + 2] = static_cast<char>(blue(c));
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
  if (!out) std::fprintf(stderr, "zdi_peer_osmesa: cannot write %s\n", path.c_str());
}

double Peer::select(const Workload_Def& def) {
  draw_ = prepare(def);
  current_ = &def;
  return time_once();
}

double Peer::time_once() {
  clear();
  const auto t0 = std::chrono::steady_clock::now();
  draw_();
  glFinish();
  return seconds_since(t0);
}

nlohmann::ordered_json Peer::run(const Workload_Def& def, const Options& opt) {
  const double warmup = select(def);
  std::vector<double> times;
  for (int r = 0; r < opt.reps; ++r) times.push_back(time_once());
  check_gl(std::string(def.name).c_str());
  if (!opt.dump_dir.empty()) dump_ppm(opt.dump_dir + "/" + std::string(def.name) + ".ppm");

  nlohmann::ordered_json fragments = nullptr, passed = nullptr;
  if (opt.counts && def.draw != Bench_Draw::clear) {
    if (def.depth) {
      fragments = count_samples(draw_, GL_ALWAYS);
      passed = count_samples(draw_, GL_LEQUAL);
    } else {
      fragments = count_samples(draw_, GL_LEQUAL);
    }
  }
  return result_line(def, opt, times, warmup, fragments, passed);
}

nlohmann::ordered_json Peer::result_line(const Workload_Def& def, const Options& opt,
                                         const std::vector<double>& times,
                                         std::optional<double> warmup,
                                         nlohmann::ordered_json fragments,
                                         nlohmann::ordered_json passed) const {
  std::vector<double> sorted = times;
  std::sort(sorted.begin(), sorted.end());
  const size_t n = sorted.size();
  const double median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;

  size_t calls = 1;
  if (def.draw != Bench_Draw::batch) calls = def.count;

  nlohmann::ordered_json env = nlohmann::ordered_json::object();
  for (const char* name : {"GALLIUM_DRIVER", "LP_NUM_THREADS", "GLIBC_TUNABLES"}) {
    const char* v = std::getenv(name);
    env[name] = v ? nlohmann::ordered_json(v) : nlohmann::ordered_json(nullptr);
  }
  return {
      {"workload", def.name},
      {"variant",
       opt.variant.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(opt.variant)},
      {"driver", driver()},
      {"env", env},
      {"reps", n},
      {"times_s", times},
      {"median_s", median},
      {"min_s", sorted.front()},
      {"max_s", sorted.back()},
      {"warmup_s", warmup ? nlohmann::ordered_json(*warmup) : nlohmann::ordered_json(nullptr)},
      {"primitives", def.count},
      {"calls", calls},
      {"fragments", fragments},
      {"fragments_passed", passed},
  };
}

// Says it is ready once the context exists, then answers requests until the end of input.
// A request {"run": "NAME"} gets a result line of one
// timed repetition; its warmup_s is the untimed warm-up's time when the request switched to
// another workload, and null when the workload was already the current one. A request that
// cannot be served gets {"error": "..."} and the program carries on.
void serve(Peer& peer, const Options& opt) {
  std::cout << nlohmann::ordered_json{{"ready", true},
                                      {"variant", opt.variant.empty()
                                                      ? nlohmann::ordered_json(nullptr)
                                                      : nlohmann::ordered_json(opt.variant)},
                                      {"driver", peer.driver()}}
                   .dump()
            << std::endl;
  std::string line;
  while (std::getline(std::cin, line)) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    const auto request = nlohmann::json::parse(line, nullptr, false);
    const bool valid = request.is_object() && request.contains("run") && request["run"].is_string();
    const std::string name = valid ? request["run"].get<std::string>() : std::string();
    const Workload_Def* def = valid ? find_workload(name) : nullptr;
    nlohmann::ordered_json answer;
    if (!valid) {
      answer = {{"error", "not a request: " + line}};
    } else if (!def) {
      answer = {{"error", "unknown workload '" + name + "'"}};
    } else {
      std::optional<double> warmup;
      if (peer.current() != def) warmup = peer.select(*def);
      const double t = peer.time_once();
      check_gl(name.c_str());
      answer = peer.result_line(*def, opt, {t}, warmup);
    }
    std::cout << answer.dump() << std::endl;
  }
}

} // namespace
} // namespace zdi::bench

int main(int argc, char** argv) {
  using namespace zdi::bench;
  const Options opt = parse_args(argc, argv);
  Peer peer;
  if (opt.serve) {
    serve(peer, opt);
    return 0;
  }
  for (const auto& name : opt.workloads) {
    const auto line = peer.run(*find_workload(name), opt);
    std::cout << line.dump() << std::endl; // one line at a time, so a reader sees progress
  }
  return 0;
}
