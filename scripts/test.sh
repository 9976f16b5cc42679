#!/usr/bin/env bash
# Builds the project (debug preset by default) and runs every test with CTest.
# Usage: scripts/test.sh [preset]     presets: debug, release, asan, tsan
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-debug}"

bash scripts/setup.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
ctest --preset "$preset" -j "$(nproc)"
