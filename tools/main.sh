#!/usr/bin/env bash
# The main job: install what is missing, build the release tree and run the
# renderer demo.  Arguments go to the demo.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$top/build" -j"$(nproc)"
if [ -x "$top/build/bin/zdi_demo" ]; then
  exec "$top/build/bin/zdi_demo" "$@"
else
  exec "$top/build/bin/zdi_info" "$@"
fi
