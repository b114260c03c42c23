// zdi_bench: the benchmark workloads through our renderer module, loaded as a
// .zdi and driven through its action slots as a host would call them, side by
// side with the Mesa peer (llvmpipe on one thread, llvmpipe on all cores,
// softpipe) run as child processes in the same run, and with the physical
// limits of the machine (memset of the buffers, a plain depth-tested span loop).
//
// Every figure is the median of the repetitions with min and max; buffers are
// cleared before each repetition outside the timed region.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <valgrind/callgrind.h>

#include "bench/peer_runner.h"
#include "bench/workloads.h"
#include "host/zarnik11.h"

using namespace zdi::bench;

namespace {

struct Timing {
  std::vector<double> times;
  double median() const {
    std::vector<double> t = times;
    std::sort(t.begin(), t.end());
    size_t n = t.size();
    return n % 2 ? t[n / 2] : (t[n / 2 - 1] + t[n / 2]) / 2;
  }
  double min() const { return *std::min_element(times.begin(), times.end()); }
  double max() const { return *std::max_element(times.begin(), times.end()); }
};

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// ZDI_BENCH_CLOCK=cpu times our side by the thread's CPU time instead of the wall
// clock: on a machine shared with other work it leaves out the time the thread
// waited for a core.  (The peers always run by the wall clock.)
double thread_seconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}
const bool cpu_clock = [] {
  const char* c = std::getenv("ZDI_BENCH_CLOCK");
  return c != nullptr && std::string(c) == "cpu";
}();

// Under callgrind (bench/callgrind.sh) each measured body runs once, with the
// instruction counts zeroed before it and dumped after it under this label.
std::string callgrind_label;

// One untimed warm-up, then reps timed runs, each after `prepare`.
Timing measure(int reps, const std::function<void()>& prepare, const std::function<void()>& body) {
  if (RUNNING_ON_VALGRIND) {
    prepare();
    CALLGRIND_ZERO_STATS;
    body();
    CALLGRIND_DUMP_STATS_AT(callgrind_label.c_str());
    return Timing{{1.0}};
  }
  prepare();
  body();
  Timing t;
  for (int i = 0; i < reps; ++i) {
    prepare();
    auto t0 = std::chrono::steady_clock::now();
    const double c0 = cpu_clock ? thread_seconds() : 0.0;
    body();
    t.times.push_back(cpu_clock ? thread_seconds() - c0 : seconds_since(t0));
  }
  return t;
}

int32_t present_copy(void* context, const ZT_DCI_Point* ul, const ZT_DCI_Point* lr,
                     const ZT_Shared_Image* image, int32_t, int32_t) {
  // The window side of a presentation: the rectangle copied out of the buffer.
  auto* window = static_cast<std::vector<uint32_t>*>(context);
  const ZT_Image_Data& d = *image->data();
  for (int32_t y = lr->y; y <= ul->y; ++y)
    std::memcpy(window->data() + size_t(y) * size_t(d.width) + size_t(ul->x),
                d.rows_by_y[size_t(y)] + ul->x * 4, size_t(lr->x - ul->x + 1) * 4);
  return 0;
}

// Our renderer, loaded by path, 1024 x 768.
class Ours {
public:
  explicit Ours(const std::string& path) {
    if (!module_.load(path)) throw std::runtime_error(module_.error());
    parent_.present = &present_copy;
    parent_.present_context = &window_;
    window_.resize(size_t(kWidth) * kHeight);
    renderer_ = module_.create_renderer(&parent_);
    palette_ = ZT_Palette::with_color_cube({6, 6, 6}, 16);
  }
  ~Ours() { renderer_->release(); }

  void establish(char config) {
    ZT_Renderer_Options& o = *renderer_->renderer_options();
    o.set_window_size({kWidth, kHeight});
    o.set_buffer_depth(config >= 'D' ? 16 : 0);
    o.set_color_system(config == 'C' || config == 'D' ? 0 : 1);
    o.set_alpha_blending(config == 'A' || config == 'E');
    o.set_palette(palette_.get());
    renderer_->establish();
    ZT_Rendition_Data* d = rendition.modify();
    d->hard_clip = {0, kWidth - 1, 0, kHeight - 1};
    d->rectangle_color = {0, 0, 0, 255};
    d->rectangle_index = 16;
  }
  void clear() {
    actions().call<ZT_Slot::span_dc_rectangle>(rendition);
    actions().call<ZT_Slot::clear_depth_buffer>(rendition);
  }
  ZT_Action_Table& actions() { return renderer_->actions; }
  ZT_Renderer_Data* renderer() { return renderer_; }
  bool own(ZT_Slot s) const { return !renderer_->actions.holds_standard(s); }

  ZT_Rendition rendition;

private:
  ZT_Module module_;
  ZT_Renderer_Data parent_{nullptr};
  ZT_Renderer_Data* renderer_ = nullptr;
  ZT_Counted_Ptr<ZT_Palette> palette_;
  std::vector<uint32_t> window_;
};

ZT_Point point_of(const Bench_Vertex& v) { return {v.x, v.y, v.z}; }

struct Row {
  std::string path;  // what was measured
  Timing timing;
  double primitives = 0, pixels = 0;
  bool own = true;   // false: the slot still held the host's action
};

struct Workload_Result {
  std::string name;
  std::vector<Row> rows;
};

// Independent triangles joined into one strip: a real triangle, then two
// degenerate ones that lead to the next (a0 a1 a2 a2 b0 b0 b1 b2 ...).  The
// degenerate triangles draw nothing; colours advance once per triangle.
struct Joined_Strip {
  std::vector<ZT_Point> points;
  std::vector<ZT_RGB32> triangle_colors;  // colorized: one per strip triangle
  std::vector<ZT_RGB32> vertex_colors;    // Gouraud: one per strip point
};

Joined_Strip join(std::span<const Bench_Triangle> tris) {
  Joined_Strip s;
  for (size_t i = 0; i < tris.size(); ++i) {
    const Bench_Triangle& t = tris[i];
    auto push = [&](const Bench_Vertex& v) {
      s.points.push_back(point_of(v));
      s.vertex_colors.push_back(ZT_RGB32::from_word(v.color));
    };
    if (i > 0) push(t.v[0]);  // the degenerate bridge from the previous triangle
    push(t.v[0]);
    push(t.v[1]);
    push(t.v[2]);
    push(t.v[2]);
  }
  s.points.pop_back();
  s.vertex_colors.pop_back();
  // Strip triangle k: real ones at k = 0, 4, 8, ..., bridges between.
  size_t triangles = s.points.size() - 2;
  s.triangle_colors.resize(triangles);
  for (size_t k = 0; k < triangles; ++k)
    s.triangle_colors[k] = ZT_RGB32::from_word(tris[std::min(k / 4, tris.size() - 1)].v[2].color);
  return s;
}

class Bench {
public:
  Bench(Ours& ours, int reps) : ours_(ours), reps_(reps) {}
  void start(const std::string& workload) { workload_ = workload; }

  Row time_ours(const std::string& path, char config, double primitives, double pixels,
                ZT_Slot slot, const std::function<void()>& body) {
    ours_.establish(config);
    Row row{std::string(1, config) + ": " + path, {}, primitives, pixels, ours_.own(slot)};
    callgrind_label = workload_ + " | " + row.path;
    row.timing = measure(reps_, [&] { ours_.clear(); }, body);
    return row;
  }

  void triangles(Workload_Result& w, std::span<const Bench_Triangle> tris, bool depth,
                 bool gouraud, bool with_batches) {
    const double pixels = total_area(tris);
    const double n = double(tris.size());
    for (char config : depth ? std::string("FD") : std::string("BC")) {
      ZT_Rendition& r = ours_.rendition;
      auto* table = &ours_.actions();
      if (gouraud) {
        w.rows.push_back(time_ours("draw_dc_gouraud_polytriangle, one call per triangle", config,
                                   n, pixels, ZT_Slot::draw_dc_gouraud_polytriangle, [&] {
                                     for (const Bench_Triangle& t : tris) {
                                       ZT_Point p[3] = {point_of(t.v[0]), point_of(t.v[1]),
                                                        point_of(t.v[2])};
                                       ZT_RGB32 c[3] = {ZT_RGB32::from_word(t.v[0].color),
                                                        ZT_RGB32::from_word(t.v[1].color),
                                                        ZT_RGB32::from_word(t.v[2].color)};
                                       table->call<ZT_Slot::draw_dc_gouraud_polytriangle>(r, 3, p,
                                                                                          c);
                                     }
                                   }));
      } else {
        w.rows.push_back(time_ours("draw_dc_colorized_polytriangle, one call per triangle",
                                   config, n, pixels, ZT_Slot::draw_dc_colorized_polytriangle,
                                   [&] {
                                     for (const Bench_Triangle& t : tris) {
                                       ZT_Point p[3] = {point_of(t.v[0]), point_of(t.v[1]),
                                                        point_of(t.v[2])};
                                       ZT_RGB32 c = ZT_RGB32::from_word(t.v[2].color);
                                       table->call<ZT_Slot::draw_dc_colorized_polytriangle>(
                                           r, 3, p, &c, true);
                                     }
                                   }));
      }
      if (!with_batches) continue;
      Joined_Strip s = join(tris);
      const int32_t count = int32_t(s.points.size());
      if (gouraud) {
        w.rows.push_back(time_ours("draw_dc_gouraud_polytriangle, all joined in one strip",
                                   config, n, pixels, ZT_Slot::draw_dc_gouraud_polytriangle, [&] {
                                     table->call<ZT_Slot::draw_dc_gouraud_polytriangle>(
                                         r, count, s.points.data(), s.vertex_colors.data());
                                   }));
      } else {
        w.rows.push_back(time_ours("draw_dc_colorized_polytriangle, all joined in one strip",
                                   config, n, pixels, ZT_Slot::draw_dc_colorized_polytriangle,
                                   [&] {
                                     table->call<ZT_Slot::draw_dc_colorized_polytriangle>(
                                         r, count, s.points.data(), s.triangle_colors.data(),
                                         false);
                                   }));
      }
    }
  }

  void strip(Workload_Result& w, std::span<const Bench_Vertex> strip) {
    std::vector<ZT_Point> points;
    std::vector<ZT_RGB32> colors;
    for (const Bench_Vertex& v : strip) {
      points.push_back(point_of(v));
      colors.push_back(ZT_RGB32::from_word(v.color));
    }
    for (char config : std::string("FD")) {
      w.rows.push_back(time_ours("draw_dc_gouraud_polytriangle, one strip", config,
                                 double(strip.size() - 2), strip_area(strip),
                                 ZT_Slot::draw_dc_gouraud_polytriangle, [&] {
                                   ours_.actions().call<ZT_Slot::draw_dc_gouraud_polytriangle>(
                                       ours_.rendition, int32_t(points.size()), points.data(),
                                       colors.data());
                                 }));
    }
  }

  void lines(Workload_Result& w, std::span<const Bench_Line> lines) {
    double pixels = 0;
    for (const Bench_Line& l : lines) pixels += nominal_pixels(l);
    const double n = double(lines.size());
    for (char config : std::string("FD")) {
      w.rows.push_back(time_ours("draw_dci_polyline, two points per call", config, n, pixels,
                                 ZT_Slot::draw_dci_polyline, [&] {
                                   for (const Bench_Line& l : lines) {
                                     ZT_DCI_Point p[2] = {{l.x0, l.y0, l.z0}, {l.x1, l.y1, l.z1}};
                                     ours_.rendition.modify()->current_color =
                                         ZT_RGB32::from_word(l.color);
                                     ours_.actions().call<ZT_Slot::draw_dci_polyline>(
                                         ours_.rendition, 2, p);
                                   }
                                 }));
      w.rows.push_back(time_ours("draw_dci_colorized_polyline, one per line", config, n, pixels,
                                 ZT_Slot::draw_dci_colorized_polyline, [&] {
                                   for (const Bench_Line& l : lines) {
                                     ZT_DCI_Point p[2] = {{l.x0, l.y0, l.z0}, {l.x1, l.y1, l.z1}};
                                     ZT_RGB32 c = ZT_RGB32::from_word(l.color);
                                     ours_.actions().call<ZT_Slot::draw_dci_colorized_polyline>(
                                         ours_.rendition, 2, p, &c, true);
                                   }
                                 }));
    }
  }

  void points(Workload_Result& w, std::span<const Bench_Point> points) {
    std::vector<ZT_DCI_Point> p;
    for (const Bench_Point& q : points) p.push_back({q.x, q.y, q.z});
    const double n = double(points.size());
    for (char config : std::string("FD")) {
      if (config == 'F')
        w.rows.push_back(time_ours("draw_2di_polymarker, one call (one colour)", config, n, n,
                                   ZT_Slot::draw_2di_polymarker, [&] {
                                     ours_.actions().call<ZT_Slot::draw_2di_polymarker>(
                                         ours_.rendition, int32_t(p.size()), p.data());
                                   }));
      w.rows.push_back(time_ours("draw_dci_dot, one call per point", config, n, n,
                                 ZT_Slot::draw_dci_dot, [&] {
                                   for (size_t i = 0; i < p.size(); ++i) {
                                     ZT_RGB32 c = ZT_RGB32::from_word(points[i].color);
                                     ours_.actions().call<ZT_Slot::draw_dci_dot>(ours_.rendition,
                                                                                 &p[i], &c);
                                   }
                                 }));
    }
  }

  void images(Workload_Result& w, std::span<const uint32_t> texels,
              std::span<const Bench_Image_Pos> positions, int side) {
    const double n = double(positions.size());
    for (char config : std::string("BC")) {
      w.rows.push_back(time_ours(
          config == 'B' ? "draw_dci_rgb32_image" : "draw_dci_rgb32_image (converted by the host)",
          config, n, n * side * side, ZT_Slot::draw_dci_rgb32_image, [&] {
            for (const Bench_Image_Pos& pos : positions) {
              ZT_DCI_Point start{pos.x, pos.y + side - 1, 0}, end{pos.x + side - 1, pos.y, 0};
              ours_.actions().call<ZT_Slot::draw_dci_rgb32_image>(
                  ours_.rendition, &start, &end, side * 4,
                  reinterpret_cast<const ZT_RGB32*>(texels.data()), 0, nullptr);
            }
          }));
    }
  }

  void flush(Workload_Result& w, std::span<const Bench_Point> points) {
    w.rows.push_back(time_ours("(draw_dci_dot; update of its pixel) x 200", 'F', 200, 200,
                               ZT_Slot::draw_dci_dot, [&] {
                                 for (int i = 0; i < 200; ++i) {
                                   const Bench_Point& q = points[size_t(i)];
                                   ZT_DCI_Point p{q.x, q.y, q.z};
                                   ZT_RGB32 c = ZT_RGB32::from_word(q.color);
                                   ours_.actions().call<ZT_Slot::draw_dci_dot>(ours_.rendition,
                                                                               &p, &c);
                                   ours_.renderer()->update({q.x, q.x, q.y, q.y});
                                 }
                               }));
  }

  void clear(Workload_Result& w) {
    w.rows.push_back(time_ours("(span_dc_rectangle; clear_depth_buffer) x 100", 'F', 100,
                               100.0 * kWidth * kHeight, ZT_Slot::span_dc_rectangle, [&] {
                                 for (int i = 0; i < 100; ++i) ours_.clear();
                               }));
  }

private:
  Ours& ours_;
  int reps_;
  std::string workload_;
};

// The machine's limits: filling both buffers with memset, and a plain
// depth-tested span loop over the whole window (compare, store depth and colour).
struct Limits {
  double memset_pixels_per_s = 0;
  double span_pixels_per_s = 0;
};

Limits measure_limits(int reps) {
  std::vector<uint32_t> color(size_t(kWidth) * kHeight);
  std::vector<uint16_t> depth(size_t(kWidth) * kHeight);
  const double pixels = double(kWidth) * kHeight;
  Timing m = measure(reps, [] {}, [&] {
    std::memset(color.data(), 0x11, color.size() * 4);
    std::memset(depth.data(), 0xFF, depth.size() * 2);
  });
  Timing s = measure(reps, [&] { std::fill(depth.begin(), depth.end(), 0xFFFF); }, [&] {
    for (int y = 0; y < kHeight; ++y) {
      uint32_t* c = color.data() + size_t(y) * kWidth;
      uint16_t* d = depth.data() + size_t(y) * kWidth;
      int32_t z = (y * 37) << 15, dz = 3 << 13;
      for (int x = 0; x < kWidth; ++x, z += dz) {
        uint16_t z16 = uint16_t(uint32_t(z) >> 15);
        if (z16 <= d[x]) {
          d[x] = z16;
          c[x] = 0xFF102030u;
        }
      }
    }
  });
  return {pixels / m.median(), pixels / s.median()};
}

std::string format_rate(double v) {
  char buf[32];
  if (v >= 1e9) std::snprintf(buf, sizeof buf, "%.2f G", v / 1e9);
  else if (v >= 1e6) std::snprintf(buf, sizeof buf, "%.2f M", v / 1e6);
  else if (v >= 1e3) std::snprintf(buf, sizeof buf, "%.1f k", v / 1e3);
  else std::snprintf(buf, sizeof buf, "%.0f", v);
  return buf;
}

void usage() {
  std::puts(
      "usage: zdi_bench [--module PATH] [--peer PATH] [--reps N] [--workloads a,b,...]\n"
      "                 [--no-peer] [--no-softpipe] [--quick]\n"
      "Runs the benchmark workloads through the renderer module's action slots and, in the\n"
      "same run, through Mesa's OSMesa (llvmpipe on one thread, on all cores, softpipe), and\n"
      "prints one table per workload: median time with min and max, throughput, the speed\n"
      "ratio against each peer variant (peer time / our time), and the fill rate as a\n"
      "fraction of memset of the colour and depth buffers.\n"
      "--quick: one repetition of a small subset, no softpipe (a smoke run of seconds).");
}

}  // namespace

int main(int argc, char** argv) {
  std::string module = ZDI_DEFAULT_MODULE;
  std::string peer = default_peer_executable();
  int reps = 5;
  bool use_peer = true, softpipe = true, quick = false;
  std::vector<std::string> names;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw std::runtime_error("missing value after " + a);
      return argv[++i];
    };
    if (a == "--help" || a == "-h") {
      usage();
      return 0;
    } else if (a == "--module") module = value();
    else if (a == "--peer") peer = value();
    else if (a == "--reps") reps = std::max(1, std::atoi(value().c_str()));
    else if (a == "--workloads") names = split_names(value());
    else if (a == "--no-peer") use_peer = false;
    else if (a == "--no-softpipe") softpipe = false;
    else if (a == "--quick") quick = true;
    else {
      std::fprintf(stderr, "zdi_bench: unknown argument %s\n", a.c_str());
      usage();
      return 2;
    }
  }
  if (quick) {
    reps = 1;
    softpipe = false;
    if (names.empty()) names = {"T_small_flat", "T_strip", "L_lines", "P_points", "C_clear"};
  }
  if (names.empty())
    for (const Workload_Def& d : workload_defs()) names.emplace_back(d.name);

  Ours ours(module);
  Workload_Data data;
  Bench bench(ours, reps);
  callgrind_label = "limits";
  const Limits limits = measure_limits(std::max(reps, 3));
  std::vector<Workload_Result> results;
  for (const std::string& name : names) {
    const Workload_Def* def = find_workload(name);
    if (!def) {
      std::fprintf(stderr, "zdi_bench: no workload %s\n", name.c_str());
      return 2;
    }
    Workload_Result w{name, {}};
    std::fprintf(stderr, "ours: %s\n", name.c_str());
    bench.start(name);
    if (def->textured) {
      // Textured triangles are still the host's in this renderer: nothing of ours to time.
    } else if (def->data == Bench_Data::strip) {
      bench.strip(w, data.strip());
    } else if (def->data == Bench_Data::lines) {
      bench.lines(w, data.lines());
    } else if (def->data == Bench_Data::points && def->draw == Bench_Draw::flush_per_point) {
      bench.flush(w, data.points());
    } else if (def->data == Bench_Data::points) {
      bench.points(w, data.points());
    } else if (def->draw == Bench_Draw::clear) {
      bench.clear(w);
    } else if (def->draw == Bench_Draw::draw_pixels) {
      bench.images(w, data.texture(), data.image_positions(def->data), image_side(def->data));
    } else {
      auto tris = data.tris(def->data);
      if (def->draw == Bench_Draw::call_per_triangle) tris = tris.first(def->count);
      bench.triangles(w, tris, def->depth, !def->flat, def->draw != Bench_Draw::call_per_triangle);
    }
    results.push_back(std::move(w));
  }

  // The peer, each variant as a child process with its own environment.
  std::map<std::string, std::map<std::string, Peer_Result>> peers;  // variant -> workload
  std::vector<std::string> variant_names;
  if (use_peer) {
    for (const Peer_Variant& v : standard_peer_variants()) {
      if (v.name == "softpipe" && !softpipe) continue;
      Peer_Request request;
      request.workloads = names;
      request.reps = reps;
      request.counts = false;
      if (v.name == "softpipe") request = softpipe_request(request);
      std::fprintf(stderr, "peer: %s\n", v.name.c_str());
      try {
        for (Peer_Result& r : run_peer(peer, v, request)) peers[v.name][r.workload] = r;
        variant_names.push_back(v.name);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "zdi_bench: peer %s failed: %s\n", v.name.c_str(), e.what());
      }
    }
  }

  std::printf("Limits: memset of colour and depth %s pixels/s; plain depth-tested span loop %s "
              "pixels/s.\n\n",
              format_rate(limits.memset_pixels_per_s).c_str(),
              format_rate(limits.span_pixels_per_s).c_str());
  for (const Workload_Result& w : results) {
    std::printf("### %s\n\n| path | median ms (min–max) | prims/s | pixels/s | fill / memset |",
                w.name.c_str());
    for (const std::string& v : variant_names) std::printf(" × %s |", v.c_str());
    std::printf("\n|---|---|---|---|---|");
    for (size_t i = 0; i < variant_names.size(); ++i) std::printf("---|");
    std::printf("\n");
    for (const std::string& v : variant_names) {
      auto it = peers[v].find(w.name);
      if (it == peers[v].end()) continue;
      const Peer_Result& p = it->second;
      std::printf("| peer %s | %.2f (%.2f–%.2f) | %s | | |", v.c_str(), p.median_s * 1e3,
                  p.min_s * 1e3, p.max_s * 1e3, format_rate(double(p.primitives) / p.median_s).c_str());
      for (size_t i = 0; i < variant_names.size(); ++i) std::printf(" |");
      std::printf("\n");
    }
    if (w.rows.empty()) std::printf("| ours: not drawn by this renderer | | | | |\n");
    for (const Row& r : w.rows) {
      const double med = r.timing.median();
      std::printf("| %s%s | %.2f (%.2f–%.2f) | %s | %s | %.3f |", r.path.c_str(),
                  r.own ? "" : " (the host's action)", med * 1e3, r.timing.min() * 1e3,
                  r.timing.max() * 1e3, format_rate(r.primitives / med).c_str(),
                  format_rate(r.pixels / med).c_str(),
                  r.pixels / med / limits.memset_pixels_per_s);
      for (const std::string& v : variant_names) {
        auto it = peers[v].find(w.name);
        if (it == peers[v].end()) std::printf(" – |");
        else std::printf(" %.2f |", it->second.median_s / med);
      }
      std::printf("\n");
    }
    std::printf("\n");
  }
  return 0;
}
