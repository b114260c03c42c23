#!/usr/bin/env bash
# Builds and runs every test: the release tree, then the whole suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, then each fuzz target for a
# few seconds.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
"$top/tools/install-deps.sh"

echo "== release build"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$top/build" -j"$jobs"
(cd "$top/build" && ctest --output-on-failure -j"$jobs")

echo "== sanitizer build (address, undefined)"
# -O1 without debug information: the sanitizers see the same code paths and the
# template-heavy rasterisers compile in about half the time of -O2 -g.
cmake -S "$top" -B "$top/build-asan" -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1" \
  -DZDI_SANITIZE=ON -DZDI_BUILD_BENCH=OFF >/dev/null
cmake --build "$top/build-asan" -j"$jobs"
(cd "$top/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j"$jobs")

echo "== fuzz targets, 8 seconds each (tools/fuzz.sh --hours N runs them long)"
"$top/tools/fuzz.sh" --seconds 8
