#!/usr/bin/env bash
# Installs what is missing, builds into build/, and starts the workbench on
# the bundled demo scans.
set -euo pipefail
cd "$(dirname "$0")"
source ./scripts/deps.sh
ensure_packages
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc 2>/dev/null || echo 2)"
demo=(resources/demo/corundum.xdd resources/demo/sic_zn.xdd)
if [ -x build/app/qt/xrdfourier ]; then
  exec build/app/qt/xrdfourier "$@" "${demo[@]}"
fi
echo "The windowed workbench is not built yet; the batch tool reads the demo scans:"
build/app/main/xrdfourier-cli info "${demo[@]}"
echo "and measures the corundum line between 25 and 27 degrees:"
exec build/app/main/xrdfourier-cli measure --xrange 25 27 "${demo[0]}"
