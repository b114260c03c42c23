// A 256×256 true-colour image drawn through the image action, against copying the
// same bytes with memcpy: row by row into the same buffer rows, and as one block.
//
//   image_throughput [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "tests/support/test_host.h"

namespace {

constexpr int32_t side = 256;
constexpr int64_t image_bytes = int64_t(side) * side * 4;

std::vector<uint8_t> opaque_image() {
  std::vector<uint8_t> bytes(static_cast<std::size_t>(image_bytes));
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7 + 3);
  for (std::size_t i = 3; i < bytes.size(); i += 4) bytes[i] = 255;
  return bytes;
}

void finish(benchmark::State& state) {
  state.SetBytesProcessed(int64_t(state.iterations()) * image_bytes);
}

void memcpy_whole(benchmark::State& state) {
  const std::vector<uint8_t> source = opaque_image();
  std::vector<uint8_t> target(source.size());
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), source.size());
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  finish(state);
}

void memcpy_rows(benchmark::State& state) {
  Test_Host host;
  host.establish_config('F', side, side);
  const std::vector<uint8_t> source = opaque_image();
  // A length the compiler cannot see, so that the library's memcpy runs (a known
  // 1 KiB length becomes an inline string move, several times slower).
  std::size_t row = side * 4;
  benchmark::DoNotOptimize(row);
  for (auto _ : state) {
    for (int32_t y = 0; y < side; ++y)
      std::memcpy(host.r().color_buffer->rows_by_y[std::size_t(side - 1 - y)],
                  source.data() + std::size_t(y) * row, row);
    benchmark::ClobberMemory();
  }
  finish(state);
}

// configuration: the letter; depth_test, options: the rendition's flags.
void image_action(benchmark::State& state, char configuration, bool depth_test, uint32_t options) {
  Test_Host host;
  host.establish_config(configuration, side, side);
  host.fill_depth(0xFFFF);
  host.rendition.modify()->depth_test_active = depth_test;
  host.rendition.modify()->advanced_options = options;
  const std::vector<uint8_t> source = opaque_image();
  // A constant depth passes again on every repetition (z <= stored).
  const ZT_DCI_Point start{0, side - 1, 1000}, end{side - 1, 0, 1000};
  for (auto _ : state) {
    host.actions().call<ZT_Slot::draw_dci_rgb32_image>(
        host.rendition, &start, &end, side * 4, reinterpret_cast<const ZT_RGB32*>(source.data()), 0,
        nullptr);
    benchmark::ClobberMemory();
  }
  finish(state);
}

}  // namespace

BENCHMARK(memcpy_whole);
BENCHMARK(memcpy_rows);
BENCHMARK_CAPTURE(image_action, B_plain_copy, 'B', true, 0u);
BENCHMARK_CAPTURE(image_action, F_depth_off_as_B, 'F', false, 0u);
BENCHMARK_CAPTURE(image_action, F_depth_tested, 'F', true, 0u);
BENCHMARK_CAPTURE(image_action, A_blended, 'A', true, 0u);
BENCHMARK_CAPTURE(image_action, E_depth_tested_blended, 'E', true, 0u);
BENCHMARK_MAIN();
