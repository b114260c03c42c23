// zdi_bench: the benchmark workloads through our renderer module, loaded as a
// .zdi and driven through its action slots as a host would call them, side by
// side with the Mesa peer (llvmpipe on one thread, llvmpipe on all cores,
// softpipe) and with the physical limits of the machine (memset of the
// buffers, a plain depth-tested span loop).
//
// Ours and the peers take turns: each peer variant is a child process kept
// running for the whole run, and in every repetition of a workload each of our
// paths runs once, then each peer variant once. A speed ratio is taken within
// each such pair and reported as the median over the repetitions with its
// min-max, so a slow phase of a shared machine slows both sides of a pair
// instead of one side of the comparison. Times are medians with min and max;
// buffers are cleared before each repetition outside the timed region.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <valgrind/callgrind.h>

#include "bench/pair_ratios.h"
#include "bench/peer_runner.h"
#include "bench/ratio_chart.h"
#include "bench/workloads.h"
#include "host/zarnik11.h"

using namespace zdi::bench;

namespace {

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

double time_once(const std::function<void()>& body) {
  auto t0 = std::chrono::steady_clock::now();
  const double c0 = cpu_clock ? thread_seconds() : 0.0;
  body();
  return cpu_clock ? thread_seconds() - c0 : seconds_since(t0);
}

// One untimed warm-up, then the median of reps timed runs, each after `prepare`.
double median_time(int reps, const std::function<void()>& prepare,
                   const std::function<void()>& body) {
  prepare();
  body();
  std::vector<double> times;
  for (int i = 0; i < reps; ++i) {
    prepare();
    times.push_back(time_once(body));
  }
  return spread_of(times).median;
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

// One path of ours on one workload: how to draw it, and its time in each repetition.
struct Row {
  std::string path;  // what is measured, after the configuration letter
  char config = 'F';
  double primitives = 0, pixels = 0;
  bool own = true;   // false: the slot still held the host's action
  std::function<void()> body;
  std::vector<double> times;
};

struct Workload_Result {
  std::string name;
  std::vector<Row> rows;
  std::map<std::string, std::vector<double>> peer_times;  // variant -> one time per repetition
  double peer_primitives = 0;
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

// Builds the rows of each kind of workload. Their bodies run later, repetition
// after repetition, so they hold what they draw: spans into the workload data
// (alive for the whole run) or shared copies of what was derived from it.
class Rows {
public:
  explicit Rows(Ours& ours) : ours_(ours) {}

  void triangles(Workload_Result& w, std::span<const Bench_Triangle> tris, bool depth,
                 bool gouraud, bool with_batches) {
    const double pixels = total_area(tris);
    const double n = double(tris.size());
    Ours* ours = &ours_;
    auto strip = with_batches ? std::make_shared<const Joined_Strip>(join(tris)) : nullptr;
    for (char config : depth ? std::string("FD") : std::string("BC")) {
      if (gouraud) {
        add(w, "draw_dc_gouraud_polytriangle, one call per triangle", config, n, pixels,
            ZT_Slot::draw_dc_gouraud_polytriangle, [ours, tris] {
              ZT_Action_Table& table = ours->actions();
              ZT_Rendition& r = ours->rendition;
              for (const Bench_Triangle& t : tris) {
                ZT_Point p[3] = {point_of(t.v[0]), point_of(t.v[1]), point_of(t.v[2])};
                ZT_RGB32 c[3] = {ZT_RGB32::from_word(t.v[0].color),
                                 ZT_RGB32::from_word(t.v[1].color),
                                 ZT_RGB32::from_word(t.v[2].color)};
                table.call<ZT_Slot::draw_dc_gouraud_polytriangle>(r, 3, p, c);
              }
            });
      } else {
        add(w, "draw_dc_colorized_polytriangle, one call per triangle", config, n, pixels,
            ZT_Slot::draw_dc_colorized_polytriangle, [ours, tris] {
              ZT_Action_Table& table = ours->actions();
              ZT_Rendition& r = ours->rendition;
              for (const Bench_Triangle& t : tris) {
                ZT_Point p[3] = {point_of(t.v[0]), point_of(t.v[1]), point_of(t.v[2])};
                ZT_RGB32 c = ZT_RGB32::from_word(t.v[2].color);
                table.call<ZT_Slot::draw_dc_colorized_polytriangle>(r, 3, p, &c, true);
              }
            });
      }
      if (!strip) continue;
      if (gouraud) {
        add(w, "draw_dc_gouraud_polytriangle, all joined in one strip", config, n, pixels,
            ZT_Slot::draw_dc_gouraud_polytriangle, [ours, strip] {
              ours->actions().call<ZT_Slot::draw_dc_gouraud_polytriangle>(
                  ours->rendition, int32_t(strip->points.size()), strip->points.data(),
                  strip->vertex_colors.data());
            });
      } else {
        add(w, "draw_dc_colorized_polytriangle, all joined in one strip", config, n, pixels,
            ZT_Slot::draw_dc_colorized_polytriangle, [ours, strip] {
              ours->actions().call<ZT_Slot::draw_dc_colorized_polytriangle>(
                  ours->rendition, int32_t(strip->points.size()), strip->points.data(),
                  strip->triangle_colors.data(), false);
            });
      }
    }
  }

  // The textured sets: the texture repeats every 256 pixels with one texel per
  // pixel (u = x / 256, v = y / 256), nearest texel, replacing the colour.
  void textured(Workload_Result& w, std::span<const Bench_Triangle> tris,
                std::span<const uint32_t> texels) {
    // The texels are given bottom row first (the peer's t = 0 first); images
    // keep their top row first in memory.
    std::vector<uint32_t> top_first(texels.size());
    for (int row = 0; row < kTextureSide; ++row)
      std::copy_n(texels.begin() + row * kTextureSide, kTextureSide,
                  top_first.begin() + (kTextureSide - 1 - row) * kTextureSide);
    ZT_Counted_Ptr<ZT_Texture> texture(new ZT_Texture(ZT_Shared_Image(
        kTextureSide, kTextureSide, ZT_Image_Format_RGB32, 0, top_first.data(), false)));
    ours_.rendition.modify_face()->set_texture(texture);
    auto parameter = [](const ZT_Point& p) {
      return ZT_Parameter{p.x / kTextureSide, p.y / kTextureSide, 0};
    };
    auto strip = std::make_shared<Joined_Strip>(join(tris));
    auto parameters = std::make_shared<std::vector<ZT_Parameter>>();
    for (const ZT_Point& p : strip->points) parameters->push_back(parameter(p));
    const double pixels = total_area(tris);
    const double n = double(tris.size());
    Ours* ours = &ours_;
    for (char config : std::string("FD")) {
      add(w, "draw_dc_textured_polytriangle, one call per triangle", config, n, pixels,
          ZT_Slot::draw_dc_textured_polytriangle, [ours, tris, parameter] {
            ZT_Action_Table& table = ours->actions();
            ZT_Rendition& r = ours->rendition;
            for (const Bench_Triangle& t : tris) {
              ZT_Point p[3] = {point_of(t.v[0]), point_of(t.v[1]), point_of(t.v[2])};
              ZT_Parameter u[3] = {parameter(p[0]), parameter(p[1]), parameter(p[2])};
              table.call<ZT_Slot::draw_dc_textured_polytriangle>(r, 3, p, nullptr, u, 1, nullptr,
                                                                 nullptr);
            }
          });
      add(w, "draw_dc_textured_polytriangle, all joined in one strip", config, n, pixels,
          ZT_Slot::draw_dc_textured_polytriangle, [ours, strip, parameters] {
            ours->actions().call<ZT_Slot::draw_dc_textured_polytriangle>(
                ours->rendition, int32_t(strip->points.size()), strip->points.data(), nullptr,
                parameters->data(), 1, nullptr, nullptr);
          });
    }
  }

  void strip(Workload_Result& w, std::span<const Bench_Vertex> strip) {
    auto points = std::make_shared<std::vector<ZT_Point>>();
    auto colors = std::make_shared<std::vector<ZT_RGB32>>();
    for (const Bench_Vertex& v : strip) {
      points->push_back(point_of(v));
      colors->push_back(ZT_RGB32::from_word(v.color));
    }
    Ours* ours = &ours_;
    for (char config : std::string("FD")) {
      add(w, "draw_dc_gouraud_polytriangle, one strip", config, double(strip.size() - 2),
          strip_area(strip), ZT_Slot::draw_dc_gouraud_polytriangle, [ours, points, colors] {
            ours->actions().call<ZT_Slot::draw_dc_gouraud_polytriangle>(
                ours->rendition, int32_t(points->size()), points->data(), colors->data());
          });
    }
  }

  void lines(Workload_Result& w, std::span<const Bench_Line> lines) {
    double pixels = 0;
    for (const Bench_Line& l : lines) pixels += nominal_pixels(l);
    const double n = double(lines.size());
    Ours* ours = &ours_;
    for (char config : std::string("FD")) {
      add(w, "draw_dci_polyline, two points per call", config, n, pixels,
          ZT_Slot::draw_dci_polyline, [ours, lines] {
            ZT_Action_Table& table = ours->actions();
            ZT_Rendition& r = ours->rendition;
            for (const Bench_Line& l : lines) {
              ZT_DCI_Point p[2] = {{l.x0, l.y0, l.z0}, {l.x1, l.y1, l.z1}};
              r.modify()->current_color = ZT_RGB32::from_word(l.color);
              table.call<ZT_Slot::draw_dci_polyline>(r, 2, p);
            }
          });
      add(w, "draw_dci_colorized_polyline, one per line", config, n, pixels,
          ZT_Slot::draw_dci_colorized_polyline, [ours, lines] {
            ZT_Action_Table& table = ours->actions();
            ZT_Rendition& r = ours->rendition;
            for (const Bench_Line& l : lines) {
              ZT_DCI_Point p[2] = {{l.x0, l.y0, l.z0}, {l.x1, l.y1, l.z1}};
              ZT_RGB32 c = ZT_RGB32::from_word(l.color);
              table.call<ZT_Slot::draw_dci_colorized_polyline>(r, 2, p, &c, true);
            }
          });
    }
  }

  void points(Workload_Result& w, std::span<const Bench_Point> points) {
    auto p = std::make_shared<std::vector<ZT_DCI_Point>>();
    for (const Bench_Point& q : points) p->push_back({q.x, q.y, q.z});
    const double n = double(points.size());
    Ours* ours = &ours_;
    for (char config : std::string("FD")) {
      if (config == 'F')
        add(w, "draw_2di_polymarker, one call (one colour)", config, n, n,
            ZT_Slot::draw_2di_polymarker, [ours, p] {
              ours->actions().call<ZT_Slot::draw_2di_polymarker>(ours->rendition,
                                                                  int32_t(p->size()), p->data());
            });
      add(w, "draw_dci_dot, one call per point", config, n, n, ZT_Slot::draw_dci_dot,
          [ours, p, points] {
            ZT_Action_Table& table = ours->actions();
            ZT_Rendition& r = ours->rendition;
            for (size_t i = 0; i < p->size(); ++i) {
              ZT_RGB32 c = ZT_RGB32::from_word(points[i].color);
              table.call<ZT_Slot::draw_dci_dot>(r, &(*p)[i], &c);
            }
          });
    }
  }

  void images(Workload_Result& w, std::span<const uint32_t> texels,
              std::span<const Bench_Image_Pos> positions, int side) {
    const double n = double(positions.size());
    Ours* ours = &ours_;
    for (char config : std::string("BC")) {
      add(w,
          config == 'B' ? "draw_dci_rgb32_image" : "draw_dci_rgb32_image (converted by the host)",
          config, n, n * side * side, ZT_Slot::draw_dci_rgb32_image,
          [ours, texels, positions, side] {
            ZT_Action_Table& table = ours->actions();
            ZT_Rendition& r = ours->rendition;
            for (const Bench_Image_Pos& pos : positions) {
              ZT_DCI_Point start{pos.x, pos.y + side - 1, 0}, end{pos.x + side - 1, pos.y, 0};
              table.call<ZT_Slot::draw_dci_rgb32_image>(
                  r, &start, &end, side * 4,
                  reinterpret_cast<const ZT_RGB32*>(texels.data()), 0, nullptr);
            }
          });
    }
  }

  void flush(Workload_Result& w, std::span<const Bench_Point> points) {
    Ours* ours = &ours_;
    add(w, "(draw_dci_dot; update of its pixel) x 200", 'F', 200, 200, ZT_Slot::draw_dci_dot,
        [ours, points] {
          ZT_Action_Table& table = ours->actions();
          ZT_Rendition& r = ours->rendition;
          for (int i = 0; i < 200; ++i) {
            const Bench_Point& q = points[size_t(i)];
            ZT_DCI_Point p{q.x, q.y, q.z};
            ZT_RGB32 c = ZT_RGB32::from_word(q.color);
            table.call<ZT_Slot::draw_dci_dot>(r, &p, &c);
            ours->renderer()->update({q.x, q.x, q.y, q.y});
          }
        });
  }

  void clear(Workload_Result& w) {
    Ours* ours = &ours_;
    add(w, "(span_dc_rectangle; clear_depth_buffer) x 100", 'F', 100, 100.0 * kWidth * kHeight,
        ZT_Slot::span_dc_rectangle, [ours] {
          for (int i = 0; i < 100; ++i) ours->clear();
        });
  }

private:
  void add(Workload_Result& w, std::string path, char config, double primitives, double pixels,
           ZT_Slot slot, std::function<void()> body) {
    // Whether the slot holds our action depends on the configuration.
    ours_.establish(config);
    w.rows.push_back({std::move(path), config, primitives, pixels, ours_.own(slot),
                      std::move(body), {}});
  }

  Ours& ours_;
};

// Times a workload's rows and the peers, taking turns: in each repetition every
// row of ours runs once, then each peer variant once, so that a slow phase of
// the machine falls on both sides of a pair. Every row gets one untimed
// warm-up first; a peer warms up on its first request for the workload.
// A peer that fails is reported and left out from then on.
void run_interleaved(Ours& ours, Workload_Result& w,
                     std::vector<std::unique_ptr<Peer_Session>>& peers, int reps) {
  auto prepare = [&](const Row& r) {
    ours.establish(r.config);
    ours.clear();
  };
  if (RUNNING_ON_VALGRIND) {
    // Under callgrind (bench/callgrind.sh) each row runs once, its instruction
    // counts zeroed before it and dumped after it under its label.
    for (Row& r : w.rows) {
      const std::string label = w.name + " | " + std::string(1, r.config) + ": " + r.path;
      prepare(r);
      CALLGRIND_ZERO_STATS;
      r.body();
      CALLGRIND_DUMP_STATS_AT(label.c_str());
      r.times.push_back(1.0);
    }
    return;
  }
  for (Row& r : w.rows) {
    prepare(r);
    r.body();
  }
  for (int k = 0; k < reps; ++k) {
    for (Row& r : w.rows) {
      prepare(r);
      r.times.push_back(time_once(r.body));
    }
    for (auto& peer : peers) {
      if (!peer) continue;
      try {
        const Peer_Result p = peer->run_once(w.name);
        w.peer_times[peer->variant()].push_back(p.times_s.front());
        w.peer_primitives = double(p.primitives);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "zdi_bench: %s; leaving it out from here on\n", e.what());
        peer.reset();
      }
    }
  }
}

struct Limits {
  double memset_pixels_per_s = 0;
  double span_pixels_per_s = 0;
};

Limits measure_limits(int reps) {
  std::vector<uint32_t> color(size_t(kWidth) * kHeight);
  std::vector<uint16_t> depth(size_t(kWidth) * kHeight);
  const double pixels = double(kWidth) * kHeight;
  const double memset_s = median_time(reps, [] {}, [&] {
    std::memset(color.data(), 0x11, color.size() * 4);
    std::memset(depth.data(), 0xFF, depth.size() * 2);
  });
  auto fill_depth = [&] { std::fill(depth.begin(), depth.end(), 0xFFFF); };
  const double span_s = median_time(reps, fill_depth, [&] {
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
  return {pixels / memset_s, pixels / span_s};
}

std::string format_rate(double v) {
  char buf[32];
  if (v >= 1e9) std::snprintf(buf, sizeof buf, "%.2f G", v / 1e9);
  else if (v >= 1e6) std::snprintf(buf, sizeof buf, "%.2f M", v / 1e6);
  else if (v >= 1e3) std::snprintf(buf, sizeof buf, "%.1f k", v / 1e3);
  else std::snprintf(buf, sizeof buf, "%.0f", v);
  return buf;
}

std::string spread_text(const Spread& s, double scale, const char* format) {
  char median[32], low[32], high[32];
  std::snprintf(median, sizeof median, format, s.median * scale);
  if (s.min == s.max) return median;
  std::snprintf(low, sizeof low, format, s.min * scale);
  std::snprintf(high, sizeof high, format, s.max * scale);
  return std::string(median) + " (" + low + "–" + high + ")";
}

std::string shown_path(const Row& r) {
  return std::string(1, r.config) + ": " + r.path + (r.own ? "" : " (the host's action)");
}

// Per-pair ratios of a row against one variant, or nothing when the variant
// has no times on this workload.
std::optional<Spread> ratio_against(const Workload_Result& w, const Row& r,
                                    const std::string& variant) {
  auto it = w.peer_times.find(variant);
  if (it == w.peer_times.end() || it->second.empty() || r.times.empty()) return std::nullopt;
  return spread_of(pair_ratios(it->second, r.times));
}

void print_tables(const std::vector<Workload_Result>& results,
                  const std::vector<std::string>& variants, const Limits& limits) {
  std::printf("Limits: memset of colour and depth %s pixels/s; plain depth-tested span loop %s "
              "pixels/s.\n\n",
              format_rate(limits.memset_pixels_per_s).c_str(),
              format_rate(limits.span_pixels_per_s).c_str());
  for (const Workload_Result& w : results) {
    std::printf("### %s\n\n| path | median ms (min–max) | prims/s | pixels/s | fill / memset |",
                w.name.c_str());
    for (const std::string& v : variants) std::printf(" × %s |", v.c_str());
    std::printf("\n|---|---|---|---|---|");
    for (size_t i = 0; i < variants.size(); ++i) std::printf("---|");
    std::printf("\n");
    for (const std::string& v : variants) {
      auto it = w.peer_times.find(v);
      if (it == w.peer_times.end() || it->second.empty()) continue;
      const Spread p = spread_of(it->second);
      std::printf("| peer %s | %s | %s | | |", v.c_str(), spread_text(p, 1e3, "%.2f").c_str(),
                  format_rate(w.peer_primitives / p.median).c_str());
      for (size_t i = 0; i < variants.size(); ++i) std::printf(" |");
      std::printf("\n");
    }
    if (w.rows.empty()) std::printf("| ours: not drawn by this renderer | | | | |\n");
    for (const Row& r : w.rows) {
      const Spread t = spread_of(r.times);
      std::printf("| %s | %s | %s | %s | %.3f |", shown_path(r).c_str(),
                  spread_text(t, 1e3, "%.2f").c_str(), format_rate(r.primitives / t.median).c_str(),
                  format_rate(r.pixels / t.median).c_str(),
                  r.pixels / t.median / limits.memset_pixels_per_s);
      for (const std::string& v : variants) {
        const auto ratio = ratio_against(w, r, v);
        std::printf(" %s |", ratio ? spread_text(*ratio, 1, "%.2f").c_str() : "–");
      }
      std::printf("\n");
    }
    std::printf("\n");
  }
}

Ratio_Chart chart_of(const std::vector<Workload_Result>& results,
                     const std::vector<std::string>& variants) {
  Ratio_Chart chart{variants, {}};
  for (const Workload_Result& w : results)
    for (const Row& r : w.rows) {
      Ratio_Chart_Row row{w.name, shown_path(r), {}};
      for (const std::string& v : variants) row.ratios.push_back(ratio_against(w, r, v));
      chart.rows.push_back(std::move(row));
    }
  return chart;
}

void usage() {
  std::puts(
      "usage: zdi_bench [--module PATH] [--peer PATH] [--reps N] [--workloads a,b,...]\n"
      "                 [--no-peer] [--no-softpipe] [--quick] [--svg FILE]\n"
      "Runs the benchmark workloads through the renderer module's action slots and, taking\n"
      "turns with it repetition by repetition, through Mesa's OSMesa (llvmpipe on one\n"
      "thread, on all cores, softpipe; each a child process kept running), and prints one\n"
      "table per workload: median time with min and max, throughput, the fill rate as a\n"
      "fraction of memset of the colour and depth buffers, and the speed ratio against each\n"
      "peer variant (peer time / our time within each repetition: the median over the\n"
      "repetitions, with min and max).\n"
      "--svg FILE: also write those ratios as a bar chart.\n"
      "--quick: one repetition of a small subset, no softpipe (a smoke run of seconds).");
}

}  // namespace

int main(int argc, char** argv) {
  std::string module = ZDI_DEFAULT_MODULE;
  std::string peer = default_peer_executable();
  std::string svg;
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
    else if (a == "--svg") svg = value();
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
  for (const std::string& name : names) {
    if (!find_workload(name)) {
      std::fprintf(stderr, "zdi_bench: no workload %s\n", name.c_str());
      return 2;
    }
  }

  Ours ours(module);
  Workload_Data data;
  Rows rows(ours);
  const Limits limits = RUNNING_ON_VALGRIND ? Limits{1, 1} : measure_limits(std::max(reps, 3));
  // Each peer variant runs in a child process of its own environment, kept for the whole
  // run; they start after the limits so as not to disturb them.
  std::vector<std::unique_ptr<Peer_Session>> peers;
  std::vector<std::string> variants;
  if (use_peer && !RUNNING_ON_VALGRIND) {
    for (const Peer_Variant& v : standard_peer_variants()) {
      if (v.name == "softpipe" && !softpipe) continue;
      try {
        peers.push_back(std::make_unique<Peer_Session>(peer, v));
        variants.push_back(v.name);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "zdi_bench: peer %s: %s\n", v.name.c_str(), e.what());
      }
    }
  }

  std::vector<Workload_Result> results;
  for (const std::string& name : names) {
    const Workload_Def* def = find_workload(name);
    Workload_Result w{name, {}, {}, 0};
    std::fprintf(stderr, "%s\n", name.c_str());
    if (def->textured) {
      rows.textured(w, data.tris(def->data), data.texture());
    } else if (def->data == Bench_Data::strip) {
      rows.strip(w, data.strip());
    } else if (def->data == Bench_Data::lines) {
      rows.lines(w, data.lines());
    } else if (def->data == Bench_Data::points && def->draw == Bench_Draw::flush_per_point) {
      rows.flush(w, data.points());
    } else if (def->data == Bench_Data::points) {
      rows.points(w, data.points());
    } else if (def->draw == Bench_Draw::clear) {
      rows.clear(w);
    } else if (def->draw == Bench_Draw::draw_pixels) {
      rows.images(w, data.texture(), data.image_positions(def->data), image_side(def->data));
    } else {
      auto tris = data.tris(def->data);
      if (def->draw == Bench_Draw::call_per_triangle) tris = tris.first(def->count);
      rows.triangles(w, tris, def->depth, !def->flat, def->draw != Bench_Draw::call_per_triangle);
    }
    run_interleaved(ours, w, peers, reps);
    for (Row& r : w.rows) r.body = nullptr;  // let go of the derived data
    results.push_back(std::move(w));
  }
  peers.clear();  // the children exit

  print_tables(results, variants, limits);
  if (!svg.empty()) {
    std::ofstream out(svg, std::ios::binary);
    out << ratio_chart_svg(chart_of(results, variants));
    if (!out.flush()) {
      std::fprintf(stderr, "zdi_bench: cannot write %s\n", svg.c_str());
      return 1;
    }
  }
  return 0;
}
