// Triangle throughput of configuration F: small (about 10 pixels) and large
// (about 100,000 pixels) triangles, flat (one colour per triangle) and Gouraud,
// drawn through the module's action table into a 1024 × 768 window.
//
// Geometry follows the independent-triangle generator of the shared benchmark
// workloads (xorshift, seed 12345, legs towards the window centre, random depth
// per vertex); the depth buffer is cleared before every repetition, outside the
// timed region.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "zarnik11.h"

namespace {

constexpr int32_t width = 1024, height = 768;

struct Triangles {
  std::vector<ZT_Point> points;  // three per triangle
  std::vector<ZT_RGB32> colours;  // three per triangle
  double area = 0;                // pixels, analytic
  int32_t count = 0;
};

struct Xorshift {
  uint32_t state = 12345;
  uint32_t next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
  uint32_t below(uint32_t n) { return next() % n; }
};

ZT_RGB32 colour_of(uint32_t c) { return {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 255}; }

// n triangles with legs of sx, sy sixteenths of a pixel.
Triangles generate(int32_t n, int32_t sx, int32_t sy) {
  Triangles t;
  Xorshift rng;
  const int32_t w16 = width * 16, h16 = height * 16, jx = sx / 2, jy = sy / 2;
  for (int32_t i = 0; i < n; ++i) {
    const int32_t x0 = jx + int32_t(rng.below(uint32_t(w16 - 2 * jx + 1)));
    const int32_t y0 = jy + int32_t(rng.below(uint32_t(h16 - 2 * jy + 1)));
    const int32_t j1 = int32_t(rng.below(uint32_t(2 * jy + 1))) - jy;
    const int32_t j2 = int32_t(rng.below(uint32_t(2 * jx + 1))) - jx;
    const int32_t dx = x0 < w16 / 2 ? 1 : -1, dy = y0 < h16 / 2 ? 1 : -1;
    const int32_t v[3][2] = {{x0, y0}, {x0 + dx * sx, y0 + dy * j1}, {x0 + dx * j2, y0 + dy * sy}};
    float z[3];
    for (float& d : z) d = float(rng.below(65536));
    for (int k = 0; k < 3; ++k) t.points.push_back({v[k][0] / 16.f, v[k][1] / 16.f, z[k]});
    for (int k = 0; k < 3; ++k) t.colours.push_back(colour_of(rng.next()));
    t.area += std::abs(double(sx) * sy - double(j1) * j2) / 2 / 256;
  }
  t.count = n;
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
  // The points as the DCI actions take them, rounded once.
  std::vector<ZT_DCI_Point> points;
  for (const ZT_Point& p : t.points)
    points.push_back({int32_t(std::floor(p.x + 0.5f)), int32_t(std::floor(p.y + 0.5f)),
                      int32_t(p.z)});
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
  static const Triangles t = generate(200000, 72, 72);
  return t;
}
const Triangles& large_triangles() {
  static const Triangles t = generate(100, 8192, 6144);
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
