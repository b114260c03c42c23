#!/usr/bin/env bash
# Runs the Mesa peer three times, under the environment of each variant, and prints its JSON lines
# (one per workload, tagged with "variant"). Notes go to stderr.
#
#   llvmpipe-1t  llvmpipe rasterising in the calling thread; glibc's heap trimming would halve its
#                speed there, so the trim threshold is raised out of the way
#   llvmpipe-mt  llvmpipe with one rasteriser thread per core (its default)
#   softpipe     Mesa's reference driver: slow, so it gets fewer repetitions (and, with --quick, a
#                subset of the workloads and no fragment counts)
#
# usage: run_peers.sh [--quick] [--reps N] [--workloads a,b,...] [--softpipe-reps N]
#                     [--softpipe-workloads a,b,...] [--no-softpipe] [--peer PATH]
# The peer is found as $ZDI_PEER, or in build-bench/bin or build/bin beside this folder.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
peer=${ZDI_PEER:-}
quick=0 reps="" workloads="" sp_reps="" sp_workloads="" softpipe=1 sp_counts=1

while [ $# -gt 0 ]; do
  case "$1" in
    --quick) quick=1 ;;
    --reps) reps=$2; shift ;;
    --workloads) workloads=$2; shift ;;
    --softpipe-reps) sp_reps=$2; shift ;;
    --softpipe-workloads) sp_workloads=$2; shift ;;
    --no-softpipe) softpipe=0 ;;
    --peer) peer=$2; shift ;;
    -h|--help) sed -n '2,15p' "$0"; exit 0 ;;
    *) echo "run_peers.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

if [ -z "$peer" ]; then
  for candidate in "$here"/../build-bench/bin/zdi_peer_osmesa "$here"/../build/bin/zdi_peer_osmesa
  do
    if [ -x "$candidate" ]; then peer=$candidate; break; fi
  done
fi
if [ -z "$peer" ] || [ ! -x "$peer" ]; then
  echo "run_peers.sh: zdi_peer_osmesa not found; build it or set ZDI_PEER" >&2
  exit 1
fi

common=()
[ "$quick" = 1 ] && common+=(--quick)
[ -n "$reps" ] && common+=(--reps "$reps")
[ -n "$workloads" ] && common+=(--workloads "$workloads")

# Softpipe takes ~30 s per pass over all workloads (points and small triangles dominate).
sp=()
[ "$quick" = 1 ] && sp+=(--quick)
if [ -n "$sp_reps" ]; then sp+=(--reps "$sp_reps")
elif [ -n "$reps" ]; then sp+=(--reps "$reps")
elif [ "$quick" = 0 ]; then sp+=(--reps 3); sp_reps=3
fi
if [ -n "$sp_workloads" ]; then sp+=(--workloads "$sp_workloads")
elif [ -n "$workloads" ]; then sp+=(--workloads "$workloads")
elif [ "$quick" = 1 ]; then
  sp_workloads=T_medium_gouraud,T_large_flat,T_strip,X_calls_1tri
  sp_workloads+=,X_image64_drawpixels,X_flush_1point,C_clear
  sp+=(--workloads "$sp_workloads" --no-counts)
  sp_counts=0
fi

trim=glibc.malloc.trim_threshold=1073741824
echo "# llvmpipe-1t: LP_NUM_THREADS=0 GLIBC_TUNABLES=$trim" >&2
env GALLIUM_DRIVER=llvmpipe LP_NUM_THREADS=0 GLIBC_TUNABLES=$trim \
  "$peer" --variant llvmpipe-1t "${common[@]}"
echo "# llvmpipe-mt: one rasteriser thread per core ($(nproc) cores)" >&2
env -u LP_NUM_THREADS -u GLIBC_TUNABLES GALLIUM_DRIVER=llvmpipe \
  "$peer" --variant llvmpipe-mt "${common[@]}"
if [ "$softpipe" = 1 ]; then
  note="softpipe (slow)"
  [ -n "$sp_reps" ] && note+=", $sp_reps reps"
  [ -n "$sp_workloads" ] && note+=", subset only: $sp_workloads"
  [ "$sp_counts" = 0 ] && note+=", no fragment counts"
  echo "# $note" >&2
  env -u LP_NUM_THREADS -u GLIBC_TUNABLES GALLIUM_DRIVER=softpipe \
    "$peer" --variant softpipe "${sp[@]}"
fi
