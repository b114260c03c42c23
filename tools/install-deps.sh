#!/usr/bin/env bash
# Installs the Debian packages the project needs, when any is missing (as root).
set -euo pipefail
# clang-14 and libclang-rt-14-dev (libFuzzer, ThreadSanitizer) build the fuzz
# targets (tools/fuzz.sh) and the thread check (tools/thread_check.sh).
packages=(g++ cmake make libgtest-dev libbenchmark-dev libpng-dev nlohmann-json3-dev
          libosmesa6-dev libglu1-mesa-dev valgrind clang-14 libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages need root: sudo $0" >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
