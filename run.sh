#!/usr/bin/env bash
# Installs what is missing, builds the two programs into build/, and opens the
# bundled demo project: a broadened line deconvoluted by its instrumental line.
# Arguments go to the windowed workbench.
set -euo pipefail
cd "$(dirname "$0")"
source ./scripts/deps.sh
ensure_packages
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=(xrdfourier-cli)
# Without Qt 6 the configuration leaves the windowed workbench out.
[ -d build/app/qt/CMakeFiles/xrdfourier.dir ] && targets+=(xrdfourier)
cmake --build build -j"$(nproc 2>/dev/null || echo 2)" --target "${targets[@]}"

demo=resources/demo/demo.prj
if [ ! -x build/app/qt/xrdfourier ]; then
  why="The windowed workbench is not built (Qt 6 is missing)"
elif [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  why="No display (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are unset)"
else
  exec build/app/qt/xrdfourier --show deconv "$demo" "$@"
fi
echo "$why: the batch tool shows the demo instead."
cli=build/cli/xrdfourier-cli
# head may close the pipe before the report is written out.
"$cli" project "$demo" --show yobs,deconv --xrange 43.16 43.44 | head -20 || true
exec "$cli" measure --xrange 42.3 44.3 resources/demo/broadened.xdd
