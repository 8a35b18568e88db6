#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the Release build
# with the transform's tests and the README's examples, a build under
# AddressSanitizer and UndefinedBehaviorSanitizer with every test (the GUI's
# offscreen), and the fuzz targets for fifteen seconds each. Each phase says
# how long it took.
set -euo pipefail
cd "$(dirname "$0")"
source ./scripts/deps.sh
source ./scripts/phases.sh
started=$SECONDS
timed "install packages" ensure_packages

jobs=$(nproc 2>/dev/null || echo 2)
status=0

run_suite() {
  local dir=$1
  shift
  echo "== configure $dir"
  timed "configure $dir" configure "$dir" "$@"
  echo "== build $dir"
  timed "build $dir" cmake --build "$dir" -j"$jobs"
  echo "== test $dir"
  timed "test $dir" ctest --test-dir "$dir" --output-on-failure -j"$jobs" || status=1
}

# The programs as users get them, warnings failing the build so that none
# creeps in unseen. Each test runs once, under the sanitizers below; here
# only the transform's, whose vector paths this build compiles as users get
# them, and the README's examples against these programs. Building every
# test twice took the run past half an hour on two cores.
run_suite build -DCMAKE_BUILD_TYPE=Release -DXRDF_WERROR=ON -DXRDF_TEST_LAYERS=numerics -DXRDF_GUI_TESTS=OFF
# Every test, the GUI's offscreen among them. The suppressions file names
# the caches that the windowed program's system libraries keep and never
# free; the program's own leaks are not suppressed.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
  run_suite build-sanitize -DCMAKE_BUILD_TYPE=Debug -DXRDF_SANITIZE=ON -DXRDF_BENCH=OFF -DXRDF_WERROR=ON

./scripts/fuzz.sh || status=1
echo "== all: $((SECONDS - started)) s"

if [ "$status" -ne 0 ]; then
  echo "Some tests failed." >&2
fi
exit "$status"
