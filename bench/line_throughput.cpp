// Line throughput of configuration F: random two-point DCI polylines of about
// 20 pixels (the lines workload: every direction, lengths up to 30 per axis,
// random depths, one colour each) drawn through the renderer's action table
// into a 1024 × 768 window with a 16-bit depth buffer.
//
//   line_throughput [--benchmark_filter=...]
// Reports lines/s and pixels/s (the pixels each line lights: max(|dx|, |dy|)
// plus its closing pixel).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "software_z_buffer.h"
#include "zarnik11.h"

namespace {

constexpr int32_t width = 1024, height = 768;

struct Workload {
  std::vector<ZT_DCI_Point> points; // two per line
  std::vector<ZT_RGB32> colours;    // one per line
  int64_t pixels = 0;
};

Workload make_lines(int32_t count) {
  Workload w;
  uint32_t state = 12345;
  auto next = [&] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  };
  auto rnd = [&](uint32_t n) { return int32_t(next() % n); };
  for (int32_t i = 0; i < count; ++i) {
    const int32_t x0 = 30 + rnd(width - 60), y0 = 30 + rnd(height - 60);
    const int32_t dx = rnd(61) - 30, dy = rnd(61) - 30;
    const int32_t z0 = rnd(65536), z1 = rnd(65536);
    w.points.push_back({x0, y0, z0});
    w.points.push_back({x0 + dx, y0 + dy, z1});
    w.colours.push_back(ZT_RGB32::from_word(next() | 0xFF000000u));
    w.pixels += std::max(std::abs(dx), std::abs(dy)) + 1;
  }
  return w;
}

struct Renderer_Under_Test {
  ZT_Module module;
  ZT_Renderer_Data parent{nullptr};
  ZT_Renderer_Data* renderer = nullptr;
  ZT_Rendition rendition;

  explicit Renderer_Under_Test(const char* path) {
    if (!module.load(path)) std::abort();
    renderer = module.create_renderer(&parent);
    ZT_Renderer_Options& o = *renderer->renderer_options();
    o.set_window_size({width, height});
    o.set_buffer_depth(16);
    o.set_color_system(1);
    o.set_alpha_blending(false);
    renderer->establish();
    rendition.modify()->hard_clip = {0, width - 1, 0, height - 1};
  }
  ~Renderer_Under_Test() { renderer->release(); }

  // Far depth everywhere, so that every repetition draws the same pixels.
  void clear_depth() {
    ZT_Image_Data& d = *Software_Z_Buffer::from(renderer)->depth_buffer.data();
    std::memset(d.pixels(), 0xFF, d.size_in_bytes());
  }
};

void lines_through_the_slot(benchmark::State& state, ZT_Slot slot) {
  static Renderer_Under_Test r(ZDI_MODULE_PATH);
  static const Workload w = make_lines(200000);
  const int32_t n = int32_t(w.colours.size());
  for (auto _ : state) {
    state.PauseTiming();
    r.clear_depth();
    state.ResumeTiming();
    for (int32_t i = 0; i < n; ++i) {
      if (slot == ZT_Slot::draw_dci_colorized_polyline)
        r.renderer->actions.call<ZT_Slot::draw_dci_colorized_polyline>(
            r.rendition, 2, &w.points[std::size_t(2 * i)], &w.colours[std::size_t(i)], true);
      else
        r.renderer->actions.call<ZT_Slot::draw_2di_polyline>(r.rendition, 2,
                                                             &w.points[std::size_t(2 * i)]);
    }
    benchmark::ClobberMemory();
  }
  state.counters["lines/s"] =
      benchmark::Counter(double(n), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["pixels/s"] =
      benchmark::Counter(double(w.pixels), benchmark::Counter::kIsIterationInvariantRate);
}

void F_dci_colorized_lines(benchmark::State& state) {
  lines_through_the_slot(state, ZT_Slot::draw_dci_colorized_polyline);
}
void F_2di_lines(benchmark::State& state) {
  lines_through_the_slot(state, ZT_Slot::draw_2di_polyline);
}

BENCHMARK(F_dci_colorized_lines)->Unit(benchmark::kMillisecond);
BENCHMARK(F_2di_lines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
