#!/usr/bin/env bash
# Installs the Debian packages the project needs, when any is missing.  Root
# installs them directly; any other user through sudo, which is asked only then.
set -euo pipefail
# clang-14 and libclang-rt-14-dev (libFuzzer, ThreadSanitizer) build the fuzz
# targets (tools/fuzz.sh) and the thread check (tools/thread_check.sh).
packages=(g++ cmake make pkgconf libgtest-dev libbenchmark-dev libpng-dev nlohmann-json3-dev
          libtinyobjloader-dev libosmesa6-dev libglu1-mesa-dev valgrind libexpat1-dev clang-14 libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "missing packages need root: run $0 as root" >&2
      exit 1
    fi
    as_root=(sudo)
  fi
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
