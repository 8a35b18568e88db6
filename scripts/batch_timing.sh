#!/usr/bin/env bash
# Times one batch job, the report of a 30000-point scan with its modulus, as a
# whole process, beside the time Python takes to import numpy on the same
# machine. Needs a Release build in build/, hyperfine and python3-numpy:
#   apt-get install -y hyperfine python3-numpy
set -euo pipefail
cd "$(dirname "$0")/.."

cli=build/cli/xrdfourier-cli
python=/usr/bin/python3
[ -x "$cli" ] || { echo "Build first: $cli is missing" >&2; exit 1; }
command -v hyperfine >/dev/null || { echo "hyperfine is missing: apt-get install -y hyperfine" >&2; exit 1; }
"$python" -c "import numpy" 2>/dev/null || { echo "numpy is missing: apt-get install -y python3-numpy" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A line on a sloping background, 20 to 109.997 degrees in steps of 0.003.
awk 'BEGIN {
  print "Synthetic line, 30000 points"; print "20.000000 0.003000 109.997000"; print "1.0000 1 1.540600";
  for (i = 0; i < 30000; i++) { x = 20 + 0.003 * i; u = (x - 65) / 0.3; printf "%.3f\n", 50 + 0.1 * x + 1000 * exp(-0.5 * u * u) }
}' >"$work/scan.xdd"

hyperfine --warmup 5 --runs 40 -N \
  "$cli report $work/scan.xdd --show mod -o $work/report.txt" \
  "$python -c 'import numpy'"
