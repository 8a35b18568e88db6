#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer, UndefinedBehaviorSanitizer
# and LeakSanitizer) and runs each for a bounded time from its seed corpus.
# Fails on any crash, leak, hang or sanitizer report; the input that caused it
# is kept under build-fuzz/findings/ to be replayed with
#   build-fuzz/fuzz/fuzz_<target> build-fuzz/findings/<file>
# Run by test.sh; also runs on its own: scripts/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source ./scripts/phases.sh

# 15 s a target by default: the thirteen targets, two at a time, then take
# under two minutes of the test run, which has half an hour in all. For a
# longer search: scripts/fuzz.sh 600
seconds=${1:-${XRDF_FUZZ_SECONDS:-15}}
targets=(xdd cpi xy xrdml ras raw brml rasx gsa template process project queries)
dir=build-fuzz

echo "== configure $dir"
CC=clang CXX=clang++ timed "configure $dir" configure "$dir" -DCMAKE_BUILD_TYPE=Debug -DXRDF_FUZZ=ON \
  -DXRDF_TESTS=OFF -DXRDF_BENCH=OFF -DXRDF_WERROR=ON
echo "== build $dir"
timed "build $dir" cmake --build "$dir" -j"$(nproc 2>/dev/null || echo 2)" --target fuzzers

mkdir -p "$dir/findings" "$dir/logs"
# One target per core at a time: each gets its whole time on a core of its own.
run_target() {
  local t=$1
  # The seeds stay as they are in the repository; what the run adds goes to
  # a corpus of its own, which later runs start from as well.
  local work="$dir/corpus/$t"
  mkdir -p "$work"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$dir/fuzz/fuzz_$t" "$work" "fuzz/corpus/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 -artifact_prefix="$dir/findings/$t-" >"$dir/logs/$t.log" 2>&1
}

status=0
pids=()
names=()
wait_one() {
  local pid=${pids[0]} name=${names[0]}
  pids=("${pids[@]:1}")
  names=("${names[@]:1}")
  if wait "$pid"; then
    echo "fuzz_$name: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$dir/logs/$name.log" | grep -o '[0-9]*$') runs, no findings"
  else
    status=1
    echo "fuzz_$name FOUND A FAULT; the end of its log ($dir/logs/$name.log):" >&2
    tail -n 40 "$dir/logs/$name.log" >&2
  fi
}
parallel=$(nproc 2>/dev/null || echo 2)
echo "== fuzz ${#targets[@]} targets, $seconds s each, $parallel at a time"
fuzz_started=$SECONDS
for t in "${targets[@]}"; do
  [ ${#pids[@]} -ge "$parallel" ] && wait_one
  run_target "$t" &
  pids+=("$!")
  names+=("$t")
done
while [ ${#pids[@]} -gt 0 ]; do wait_one; done
echo "== fuzz: $((SECONDS - fuzz_started)) s"

if [ "$status" -ne 0 ]; then
  echo "Fuzzing found faults: the inputs are in $dir/findings/." >&2
fi
exit "$status"
