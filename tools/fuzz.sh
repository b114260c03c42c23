#!/usr/bin/env bash
# Builds the libFuzzer targets (clang 14 with AddressSanitizer and
# UndefinedBehaviorSanitizer, in build-fuzz/) and runs each, starting from its
# checked-in seeds in fuzz/corpus/TARGET/.  New inputs go to
# build-fuzz/corpus/TARGET/, findings (crashes, hangs, leaks) to
# build-fuzz/findings/TARGET/; the exit status is 1 when any target found one.
#
#   tools/fuzz.sh --seconds 8          a few seconds each, as many at once as cores (CI)
#   tools/fuzz.sh --hours 6            six hours each, as many at once as cores
#   tools/fuzz.sh --runs 1000000 trace a number of inputs, named targets only
#   tools/fuzz.sh ... -- -detect_leaks=0 -entropic=0
#                                    flags after -- go to libFuzzer as they are
#                                    (these two make a long run about three
#                                    times faster: no leak scan after each
#                                    input, the plain schedule of inputs)
#
# A finding replays on its own: build-fuzz/bin/fuzz_TARGET FILE.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
limit=(-max_total_time=8)
parallel=1
targets=()
extra=()
while (($#)); do
  case "$1" in
  --seconds) limit=(-max_total_time="$2"); parallel=$(nproc); shift 2 ;;
  --hours) limit=(-max_total_time=$(($2 * 3600))); parallel=$(nproc); shift 2 ;;
  --runs) limit=(-runs="$2"); parallel=$(nproc); shift 2 ;;
  --) shift; extra=("$@"); break ;;
  -h | --help) sed -n '2,18p' "$0"; exit 0 ;;
  *) targets+=("$1"); shift ;;
  esac
done
all=(triangles polylines polymarker polygons images update setup trace)
((${#targets[@]})) || targets=("${all[@]}")

"$top/tools/install-deps.sh"
build="$top/build-fuzz"
cmake -S "$top" -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZDI_FUZZ=ON -DZDI_BUILD_TESTS=OFF -DZDI_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

run() {
  local t=$1 length=600
  [ "$t" = trace ] && length=4096
  mkdir -p "$build/corpus/$t" "$build/findings/$t" "$top/fuzz/corpus/$t"
  "$build/bin/fuzz_$t" "${limit[@]}" ${extra[@]+"${extra[@]}"} -max_len=$length -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/findings/$t/" \
    "$build/corpus/$t" "$top/fuzz/corpus/$t" >"$build/fuzz_$t.log" 2>&1
}
status=0
running=0
for t in "${targets[@]}"; do
  run "$t" &
  running=$((running + 1))
  if ((running >= parallel)); then
    wait -n || status=1
    running=$((running - 1))
  fi
done
while ((running > 0)); do
  wait -n || status=1
  running=$((running - 1))
done
for t in "${targets[@]}"; do
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/fuzz_$t.log" | grep -o '[0-9]*$' || echo "?")
  found=$(ls "$build/findings/$t" | wc -l)
  echo "fuzz_$t: $runs inputs, $found findings"
done
exit $status
