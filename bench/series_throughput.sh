#!/usr/bin/env bash
# The throughput of `xrdfourier-cli measure --table --ref REF FOLDER` over a
# series of two-column scans, on one worker and on two, beside the same Stokes
# job written as a plain numpy script (bench/stokes_numpy.py), on this machine:
#
#   bench/series_throughput.sh [FILES] [POINTS]     (default 1000 scans of 5000 points)
#
# Needs a Release build in build/ and python3-numpy (apt-get install -y
# python3-numpy). The series is written once into a temporary folder, which
# is removed at the end; nothing is written into the repository.
set -euo pipefail
cd "$(dirname "$0")/.."

files=${1:-1000}
points=${2:-5000}
cli=build/cli/xrdfourier-cli
[ -x "$cli" ] || { echo "Build first: $cli is missing" >&2; exit 1; }
# Debian's numpy is installed for its own python3, which need not be the first on PATH.
python=""
for p in /usr/bin/python3 python3; do
  if command -v "$p" >/dev/null && "$p" -c "import numpy" 2>/dev/null; then python=$p; break; fi
done
[ -n "$python" ] || { echo "numpy is missing: apt-get install -y python3-numpy" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "Writing $files scans of $points points into $work ..." >&2
"$python" bench/make_series.py "$work" --files "$files" --points "$points"
ref=$work/reference.xy
scans=$work/scans

now() { date +%s.%N; }
rate() { awk -v n="$files" -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", n / (b - a) }'; }

# The series engine takes a folder and --jobs; before it, the scans go in
# batches of 30 (the workbench holds 32 files at once), one process a batch.
if "$cli" --help 2>&1 | grep -q -- "--jobs"; then
  ours() { "$cli" measure --table --ref "$ref" "$scans" --jobs "$1" >"$work/ours_$1.csv" 2>"$work/ours_$1.err" || true; }
else
  echo "(this build has no --jobs: one process per batch of 30 scans)" >&2
  ours() {
    find "$scans" -name '*.xy' | sort | xargs -n 30 -P "$1" sh -c \
      'out=$(mktemp "$0/ours.XXXXXX"); cli=$1 ref=$2; shift 2; "$cli" measure --table --ref "$ref" "$@" >"$out" 2>/dev/null || true' \
      "$work" "$cli" "$ref"
  }
fi

# Every scan must have its row, or the figures time a failure.
check() {
  local rows
  rows=$(cat "$@" | grep -c -E '^(/|[0-9]+,)' || true)
  [ "$rows" -eq "$files" ] || { echo "$rows rows of $files scans in $*" >&2; exit 1; }
}

echo "numpy ..." >&2
t0=$(now)
"$python" bench/stokes_numpy.py "$ref" "$scans"/*.xy -o "$work/numpy.csv" 2>/dev/null
t1=$(now)
check "$work/numpy.csv"
echo "xrdfourier-cli, 1 job ..." >&2
ours 1
t2=$(now)
check "$work"/ours*
rm -f "$work"/ours*
echo "xrdfourier-cli, 2 jobs ..." >&2
ours 2
t3=$(now)
check "$work"/ours*

numpy=$(rate "$t0" "$t1")
one=$(rate "$t1" "$t2")
two=$(rate "$t2" "$t3")
echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'), $(nproc) cores"
echo "$files scans of $points points, measure --table --ref with uncertainties"
echo "numpy script:         $numpy files/s"
echo "xrdfourier, 1 job:    $one files/s"
echo "xrdfourier, 2 jobs:   $two files/s"
awk -v n="$numpy" -v a="$one" -v b="$two" 'BEGIN {
  printf "2 jobs / numpy:       %.2f (goal 5)\n", b / n
  printf "2 jobs / 1 job:       %.2f (goal 1.7)\n", b / a }'
