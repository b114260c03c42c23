#!/usr/bin/env bash
# Builds the module, the host and the thread-sharing test with ThreadSanitizer
# (in build-tsan/) and runs it: two renderers on two threads sharing one mask
# cache and one palette.  Not part of tools/test.sh: the instrumented build of
# the whole renderer takes about as long as the sanitizer build already there.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
cmake -S "$top" -B "$top/build-tsan" -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1 -g" \
  -DZDI_THREAD_SANITIZE=ON -DZDI_BUILD_BENCH=OFF >/dev/null
cmake --build "$top/build-tsan" -j"$(nproc)" --target thread_sharing_test
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" "$top/build-tsan/bin/thread_sharing_test"
