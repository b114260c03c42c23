// Line throughput of configuration F: the shared lines workload (200 000 random
// two-point lines of about 20 pixels in every direction, random depths, one
// colour each) drawn through the renderer's action table into a 1024 × 768
// window with a 16-bit depth buffer, cleared between repetitions.
//
//   line_throughput [--benchmark_filter=...]
// Reports lines/s and pixels/s (the pixels each line lights: max(|dx|, |dy|)
// plus its closing pixel).
#include <benchmark/benchmark.h>

#include <vector>

#include "tests/support/test_host.h"
#include "bench/workloads.h"

namespace {

struct Lines {
  std::vector<ZT_DCI_Point> points; // two per line
  std::vector<ZT_RGB32> colours;    // one per line
  int64_t pixels = 0;
};

const Lines& lines_workload() {
  static const Lines lines = [] {
    Lines l;
    for (const zdi::bench::Bench_Line& b : zdi::bench::gen_lines()) {
      l.points.push_back({b.x0, b.y0, b.z0});
      l.points.push_back({b.x1, b.y1, b.z1});
      l.colours.push_back(ZT_RGB32::from_word(b.color));
      l.pixels += zdi::bench::nominal_pixels(b) + 1;
    }
    return l;
  }();
  return lines;
}

template <ZT_Slot S>
void lines_through(benchmark::State& state) {
  const Lines& w = lines_workload();
  Test_Host host;
  host.establish_config('F', zdi::bench::kWidth, zdi::bench::kHeight);
  const int32_t n = int32_t(w.colours.size());
  for (auto _ : state) {
    state.PauseTiming();
    host.fill_depth(0xFFFF);
    state.ResumeTiming();
    for (int32_t i = 0; i < n; ++i) {
      const ZT_DCI_Point* p = &w.points[std::size_t(2 * i)];
      if constexpr (S == ZT_Slot::draw_dci_colorized_polyline)
        host.actions().call<S>(host.rendition, 2, p, &w.colours[std::size_t(i)], true);
      else
        host.actions().call<S>(host.rendition, 2, p);
    }
    benchmark::ClobberMemory();
  }
  using benchmark::Counter;
  state.counters["lines/s"] = Counter(double(n), Counter::kIsIterationInvariantRate);
  state.counters["pixels/s"] = Counter(double(w.pixels), Counter::kIsIterationInvariantRate);
}

void F_dci_colorized_lines(benchmark::State& state) {
  lines_through<ZT_Slot::draw_dci_colorized_polyline>(state);
}
void F_2di_lines(benchmark::State& state) {
  lines_through<ZT_Slot::draw_2di_polyline>(state);
}

BENCHMARK(F_dci_colorized_lines)->Unit(benchmark::kMillisecond);
BENCHMARK(F_2di_lines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
