#!/usr/bin/env bash
# Instruction counts of our side of every workload, from callgrind: stable from
# run to run where times are not.  Prints "workload | path | instructions" and,
# when a baseline exists, the change against it.
#   bench/callgrind.sh [BUILD_DIR] [--update-baseline] [--workloads a,b]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build"
update=0
workloads="T_small_flat,T_small_gouraud,T_small_flat_nodepth,T_medium_gouraud,T_large_flat,T_large_gouraud,T_large_flat_nodepth,T_strip,L_lines,P_points,X_medium_tex,X_large_tex,X_calls_1tri,X_image64_drawpixels,X_image256_drawpixels,C_clear"
while (($#)); do
  case "$1" in
    --update-baseline) update=1 ;;
    --workloads) workloads="$2"; shift ;;
    *) build="$1" ;;
  esac
  shift
done
baseline="$top/bench/instructions-baseline.txt"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$out/cg.%p" --dump-instr=no \
  "$build/bin/zdi_bench" --no-peer --reps 1 --workloads "$workloads" >/dev/null 2>"$out/log" || {
  cat "$out/log" >&2
  exit 1
}
# Each dump names its workload and path; its summary line is the instruction count.
awk '/^desc: Trigger: Client Request: /{sub(/^desc: Trigger: Client Request: /, ""); label=$0}
     /^summary: /{if (label != "" && label != "limits") print label " | " $2; label=""}' \
  "$out"/cg.*.* | sort > "$out/now.txt"
if ((update)) || [ ! -f "$baseline" ]; then
  cp "$out/now.txt" "$baseline"
  echo "baseline written: $baseline"
fi
awk -F' [|] ' 'NR==FNR {base[$1 " | " $2]=$3; next}
     {key=$1 " | " $2; b=base[key];
      if (b > 0) printf "%-70s %14d  %+7.2f%%\n", key, $3, 100.0 * ($3 - b) / b;
      else printf "%-70s %14d  (new)\n", key, $3}' "$baseline" "$out/now.txt"
