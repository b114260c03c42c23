#!/usr/bin/env bash
# Builds and runs every test: the release tree, its installed form used by a
# program outside the tree (examples/embed), then the whole suite again under
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

echo "== installed tree, used from a program outside the tree"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$top/build" --prefix "$prefix" >/dev/null
# The host library's headers compile on their own and reach nothing of the trace
# library's JSON.
headers=$(echo '#include "host/zarnik11.h"' |
          g++ -std=c++20 -fsyntax-only -H -I"$prefix/include/zarnik11" -x c++ - 2>&1)
if grep nlohmann <<<"$headers"; then
  echo "the installed host headers include nlohmann/json" >&2
  exit 1
fi
pkgconfig=$(dirname "$(find "$prefix" -name zarnik11.pc)")
module=$(PKG_CONFIG_PATH=$pkgconfig pkg-config --variable=renderer_module zarnik11)
test -f "$module"
# Only the installed package is visible to the example, never the build tree.
cmake -S "$top/examples/embed" -B "$work/embed" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_PACKAGE_NO_PACKAGE_REGISTRY=ON >/dev/null
cmake --build "$work/embed" -j"$jobs" >/dev/null
# A trace of the example, recorded through the installed host library, replays.
ZDI_TRACE="$work/embed.json" "$work/embed/embed" "$work/embed.png"
replay=$("$prefix/bin/zdi_replay" "$work/embed.json")
size=$(stat -c %s "$work/embed.png")
if [ "$(head -c 8 "$work/embed.png" | od -An -tx1 | tr -d ' ')" != 89504e470d0a1a0a ] ||
    [ "$size" -lt 2000 ] || ! [[ $replay =~ calls\ [1-9] ]]; then
  echo "examples/embed: no picture worth the name ($size bytes) or no calls recorded" >&2
  exit 1
fi
echo "examples/embed: $size bytes of PNG; its trace replays"

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
