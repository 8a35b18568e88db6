#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the Release build, a
# build under AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz
# targets for twenty seconds each. Each phase says how long it took.
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

# Warnings fail the build here, so that none creeps in unseen.
run_suite build -DCMAKE_BUILD_TYPE=Release -DXRDF_WERROR=ON
# The windowed program's system libraries keep caches they never free:
# those leaks are suppressed, the program's own are not.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
  run_suite build-sanitize -DCMAKE_BUILD_TYPE=Debug -DXRDF_SANITIZE=ON -DXRDF_BENCH=OFF -DXRDF_WERROR=ON

./scripts/fuzz.sh || status=1
echo "== all: $((SECONDS - started)) s"

if [ "$status" -ne 0 ]; then
  echo "Some tests failed." >&2
fi
exit "$status"
