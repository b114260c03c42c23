// Triangle throughput of configuration F: small (about 10 pixels) and large
// (about 100,000 pixels) triangles, flat (one colour per triangle) and Gouraud,
// drawn through the module's action table into a 1024 × 768 window.
//
// Geometry comes from the shared workload generator (the small set, and the
// first 100 triangles of the large one; random depth per vertex); the depth
// buffer is cleared before every repetition, outside the timed region.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "bench/workloads.h"
#include "host/zarnik11.h"

namespace {

constexpr int32_t width = zdi::bench::kWidth, height = zdi::bench::kHeight;

struct Triangles {
  std::vector<ZT_DCI_Point> points;  // three per triangle, rounded as the DC actions round
  std::vector<ZT_RGB32> colours;     // three per triangle
  double area = 0;                   // pixels, analytic
  int32_t count = 0;
};

Triangles generate(const zdi::bench::Triangle_Set_Shape& shape) {
  Triangles t;
  for (const zdi::bench::Bench_Triangle& tri : zdi::bench::gen_tris(shape)) {
    for (const zdi::bench::Bench_Vertex& v : tri.v) {
      t.points.push_back({int32_t(std::floor(v.x + 0.5f)), int32_t(std::floor(v.y + 0.5f)),
                          int32_t(v.z)});
      t.colours.push_back(ZT_RGB32::from_word(v.color));
    }
    const auto& [a, b, c] = tri.v;
    t.area += std::abs((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y)) / 2.0;
    ++t.count;
  }
  return t;
}

void allocate(void*, int32_t w, int32_t h, const ZT_Image_Format* format, ZT_Shared_Image* image) {
  *image = ZT_Shared_Image(w, h, *format, 0, nullptr, false);
}

// A renderer of configuration F over a 1024 × 768 window.
struct Renderer {
  ZT_Module module;
  ZT_Renderer_Data parent{nullptr};
  ZT_Renderer_Data* renderer = nullptr;
  ZT_Rendition rendition;

  Renderer() {
    if (!module.load(ZDI_MODULE_PATH)) return;
    parent.allocate_image = &allocate;
    renderer = module.create_renderer(&parent);
    ZT_Renderer_Options& o = *renderer->renderer_options();
    o.set_window_size({width, height});
    o.set_buffer_depth(16);
    o.set_color_system(1);
    o.set_alpha_blending(false);
    renderer->establish();
    rendition.modify()->hard_clip = {0, width - 1, 0, height - 1};
  }
  ~Renderer() {
    if (renderer) renderer->release();
  }
  void clear_depth() {
    renderer->actions.call<ZT_Slot::clear_depth_buffer>(rendition);
  }
};

enum class Shading { Flat, Gouraud };
enum class Calls { One_Per_Triangle, Joined_Strip };

// The triangles as one strip: each real triangle followed by the degenerate
// bridge to the next (a0 a1 a2 a2 b0 b0 b1 b2 …), which draws nothing.
void join(const std::vector<ZT_DCI_Point>& points, const std::vector<ZT_RGB32>& colours,
          std::vector<ZT_DCI_Point>& strip, std::vector<ZT_RGB32>& per_triangle,
          std::vector<ZT_RGB32>& per_vertex) {
  for (size_t t = 0; t * 3 < points.size(); ++t) {
    auto push = [&](size_t k) {
      strip.push_back(points[3 * t + k]);
      per_vertex.push_back(colours[3 * t + k]);
    };
    if (t > 0) push(0);
    push(0);
    push(1);
    push(2);
    push(2);
  }
  for (size_t k = 0; k + 2 < strip.size(); ++k) per_triangle.push_back(colours[3 * (k / 4) + 2]);
}

void run(benchmark::State& state, const Triangles& t, Shading shading,
         Calls calls = Calls::One_Per_Triangle) {
  static Renderer r;
  if (!r.renderer) {
    state.SkipWithError("module did not load");
    return;
  }
  const std::vector<ZT_DCI_Point>& points = t.points;
  std::vector<ZT_DCI_Point> strip;
  std::vector<ZT_RGB32> per_triangle, per_vertex;
  join(points, t.colours, strip, per_triangle, per_vertex);
  for (auto _ : state) {
    state.PauseTiming();
    r.clear_depth();
    state.ResumeTiming();
    if (calls == Calls::Joined_Strip) {
      const int32_t n = int32_t(strip.size());
      if (shading == Shading::Flat)
        r.renderer->actions.call<ZT_Slot::draw_dci_colorized_polytriangle>(
            r.rendition, n, strip.data(), per_triangle.data(), false);
      else
        r.renderer->actions.call<ZT_Slot::draw_dci_gouraud_polytriangle>(r.rendition, n,
                                                                         strip.data(),
                                                                         per_vertex.data());
      continue;
    }
    for (int32_t i = 0; i < t.count; ++i) {
      const ZT_DCI_Point* p = points.data() + 3 * i;
      const ZT_RGB32* c = t.colours.data() + 3 * i;
      if (shading == Shading::Flat)
        r.renderer->actions.call<ZT_Slot::draw_dci_colorized_polytriangle>(r.rendition, 3, p,
                                                                            c + 2, true);
      else
        r.renderer->actions.call<ZT_Slot::draw_dci_gouraud_polytriangle>(r.rendition, 3, p, c);
    }
  }
  const double n = double(state.iterations());
  state.counters["triangles/s"] = benchmark::Counter(n * t.count, benchmark::Counter::kIsRate);
  state.counters["pixels/s"] = benchmark::Counter(n * t.area, benchmark::Counter::kIsRate);
}

const Triangles& small_triangles() {
  static const Triangles t = generate(zdi::bench::kSmallSet);
  return t;
}
const Triangles& large_triangles() {
  static const Triangles t = generate({100, 8192, 6144});
  return t;
}

void small_flat(benchmark::State& s) { run(s, small_triangles(), Shading::Flat); }
void small_gouraud(benchmark::State& s) { run(s, small_triangles(), Shading::Gouraud); }
void small_flat_joined(benchmark::State& s) {
  run(s, small_triangles(), Shading::Flat, Calls::Joined_Strip);
}
void small_gouraud_joined(benchmark::State& s) {
  run(s, small_triangles(), Shading::Gouraud, Calls::Joined_Strip);
}
void large_flat(benchmark::State& s) { run(s, large_triangles(), Shading::Flat); }
void large_gouraud(benchmark::State& s) { run(s, large_triangles(), Shading::Gouraud); }

BENCHMARK(small_flat)->Unit(benchmark::kMillisecond);
BENCHMARK(small_gouraud)->Unit(benchmark::kMillisecond);
BENCHMARK(small_flat_joined)->Unit(benchmark::kMillisecond);
BENCHMARK(small_gouraud_joined)->Unit(benchmark::kMillisecond);
BENCHMARK(large_flat)->Unit(benchmark::kMillisecond);
BENCHMARK(large_gouraud)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
