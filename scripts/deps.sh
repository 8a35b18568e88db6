# Debian packages the build and the tests need; sourced by run.sh and test.sh.
# qt6-base-dev brings its tools (moc, uic), qt6-svg-dev the workbench's SVG
# figures; the test that starts the real program runs it under xvfb-run,
# which needs xauth (only recommended by xvfb).
# The fuzz targets are built with clang, whose fuzzer and sanitizer runtimes
# come in libclang-rt-14-dev. XRDML scans are read with pugixml;
# BRML and RASX scans are zip archives read with libzip;
# the profile fit behind a line's warnings is solved by Ceres Solver.
# Ninja and lld only make the builds faster; they work with make and the
# default linker alone.
XRDF_PACKAGES=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev libfftw3-dev
  qt6-base-dev qt6-svg-dev xvfb xauth clang libclang-rt-14-dev libpugixml-dev
  libceres-dev libzip-dev ninja-build lld)

# What the scripts in bench/ need beyond the build, and the tests never:
# bench/series_throughput.sh writes its series and times the same job with
# numpy, scripts/batch_timing.sh times with hyperfine.
XRDF_BENCH_PACKAGES=(python3-numpy hyperfine)

ensure_packages() {
  local missing=()
  local p
  for p in "${XRDF_PACKAGES[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "== installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq </dev/null
  apt-get install -y -qq "${missing[@]}" </dev/null
}
