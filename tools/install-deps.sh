#!/usr/bin/env bash
# Installs the Debian packages the project needs, when any is missing (as root).
set -euo pipefail
packages=(g++ cmake make libgtest-dev libbenchmark-dev libpng-dev nlohmann-json3-dev
          libtinyobjloader-dev libosmesa6-dev libglu1-mesa-dev valgrind libexpat1-dev)
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
