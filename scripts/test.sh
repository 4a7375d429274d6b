#!/usr/bin/env bash
# Builds both presets and runs both test suites: the native one, then the Windows one under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
native=0
ctest --preset native -j "$jobs" || native=$?
windows=0
ctest --preset windows || windows=$?
[ $native -eq 0 ] && [ $windows -eq 0 ]
