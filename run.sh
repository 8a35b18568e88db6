#!/usr/bin/env bash
# Installs what is missing, builds into build/, and starts the workbench.
set -euo pipefail
cd "$(dirname "$0")"
source ./scripts/deps.sh
ensure_packages
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc 2>/dev/null || echo 2)"
if [ -x build/app/xrdfourier ]; then
  exec build/app/xrdfourier "$@"
fi
echo "Built the libraries and their tests in build/. The workbench itself is not there yet;"
echo "run ./test.sh to run the tests."
