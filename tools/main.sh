#!/usr/bin/env bash
# The main job: install what is missing, build the release tree and run the
# renderer demo.  Arguments go to the demo; without any it draws the built-in
# scene into docs/default-scene.png, the picture the README shows.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$top/build" -j"$(nproc)"
if [ -x "$top/build/bin/zdi_demo" ]; then
  if [ $# -eq 0 ]; then
    set -- -o "$top/docs/default-scene.png"
  fi
  exec "$top/build/bin/zdi_demo" "$@"
else
  exec "$top/build/bin/zdi_info" "$@"
fi
