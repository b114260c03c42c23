// Strips of points anywhere (the 2DI colorized action) against the same strips
// of clipped points (the DCI colorized action), configuration F, 1024 × 768,
// one colour per triangle, random depth per vertex, depth cleared before every
// repetition (outside the timed region).
//
//   ribbon     the shared workload strip: 200,000 triangles of about 10 pixels
//              in 4-pixel ribbons over the whole window
//   comb       200,000 triangles of the same size along one line, 4 rows high
//
// Each goes through the DCI slot (nothing to clip), through the 2DI slot with
// the window as the hard clip (every point inside: one outcode pass, then the
// whole strip to the DCI entry), and through the 2DI slot with a hard clip that
// cuts triangles: the ribbon by a rectangle over the window's middle (runs
// inside, triangles beyond one side skipped, the few on its sides clipped), the
// comb by a clip whose top runs through every triangle (all clipped).
//
//   clip_throughput [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "tests/support/test_host.h"
#include "bench/workloads.h"

namespace {

constexpr int32_t width = zdi::bench::kWidth, height = zdi::bench::kHeight;

struct Strip {
  std::vector<ZT_DCI_Point> points;
  std::vector<ZT_RGB32> colours;  // one per triangle
};

Strip ribbon() {
  Strip s;
  for (const zdi::bench::Bench_Vertex& v : zdi::bench::gen_strip()) {
    s.points.push_back({int32_t(std::floor(v.x + 0.5f)), int32_t(std::floor(v.y + 0.5f)),
                        int32_t(v.z)});
    s.colours.push_back(ZT_RGB32::from_word(v.color));
  }
  return s;
}

// Triangles 5 pixels wide and 4 rows high along y = 382 .. 386, 200 to a row
// of the window, the same places over and over.
Strip comb() {
  Strip s;
  zdi::bench::Xorshift32 rng;
  for (uint32_t k = 0; k < 200'002; ++k) {
    const int32_t column = int32_t((k / 2) % 200);
    s.points.push_back({12 + 5 * column + int32_t(k % 2) * 2, 382 + int32_t(k % 2) * 4,
                        int32_t(rng.rnd(65536))});
    s.colours.push_back(ZT_RGB32::from_word(zdi::bench::colour_word(rng.next())));
  }
  return s;
}

enum class Slot { DCI, Points_Anywhere };

void run(benchmark::State& state, const Strip& s, Slot slot, ZT_Int_Rectangle hard_clip) {
  static Test_Host host;
  static bool ready = false;
  if (!ready) host.establish_config('F', width, height), ready = true;
  host.rendition.modify()->hard_clip = hard_clip;
  const int32_t n = int32_t(s.points.size());
  auto inside = [&](const ZT_DCI_Point& p) {
    return p.x >= hard_clip.left && p.x <= hard_clip.right && p.y >= hard_clip.bottom &&
           p.y <= hard_clip.top;
  };
  int64_t straddling = 0;  // triangles with points on both sides of the clip
  for (size_t i = 0; i + 2 < s.points.size(); ++i) {
    const int in = inside(s.points[i]) + inside(s.points[i + 1]) + inside(s.points[i + 2]);
    straddling += in > 0 && in < 3;
  }
  for (auto _ : state) {
    state.PauseTiming();
    host.fill_depth(0xFFFF);
    state.ResumeTiming();
    if (slot == Slot::DCI)
      host.actions().call<ZT_Slot::draw_dci_colorized_polytriangle>(
          host.rendition, n, s.points.data(), s.colours.data(), false);
    else
      host.actions().call<ZT_Slot::draw_2di_colorized_polytriangle>(
          host.rendition, n, s.points.data(), s.colours.data(), false);
  }
  const double triangles = double(n - 2) * double(state.iterations());
  state.counters["triangles/s"] = benchmark::Counter(triangles, benchmark::Counter::kIsRate);
  state.counters["straddling"] = double(straddling);
}

const Strip& ribbon_strip() {
  static const Strip s = ribbon();
  return s;
}
const Strip& comb_strip() {
  static const Strip s = comb();
  return s;
}

const ZT_Int_Rectangle window{0, width - 1, 0, height - 1};
const ZT_Int_Rectangle middle{250, 773, 190, 577};
const ZT_Int_Rectangle through_the_comb{0, width - 1, 0, 384};

void ribbon_dci(benchmark::State& s) { run(s, ribbon_strip(), Slot::DCI, window); }
void ribbon_2di_inside(benchmark::State& s) {
  run(s, ribbon_strip(), Slot::Points_Anywhere, window);
}
void ribbon_2di_middle(benchmark::State& s) {
  run(s, ribbon_strip(), Slot::Points_Anywhere, middle);
}
void comb_dci(benchmark::State& s) { run(s, comb_strip(), Slot::DCI, window); }
void comb_2di_inside(benchmark::State& s) { run(s, comb_strip(), Slot::Points_Anywhere, window); }
void comb_2di_all_clipped(benchmark::State& s) {
  run(s, comb_strip(), Slot::Points_Anywhere, through_the_comb);
}

BENCHMARK(ribbon_dci)->Unit(benchmark::kMillisecond);
BENCHMARK(ribbon_2di_inside)->Unit(benchmark::kMillisecond);
BENCHMARK(ribbon_2di_middle)->Unit(benchmark::kMillisecond);
BENCHMARK(comb_dci)->Unit(benchmark::kMillisecond);
BENCHMARK(comb_2di_inside)->Unit(benchmark::kMillisecond);
BENCHMARK(comb_2di_all_clipped)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
