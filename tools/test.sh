#!/usr/bin/env bash
# Sets everything up (packages, configure, build) and runs every test headless.
#
#   tools/test.sh [BUILD_DIR]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
VORLAN_CMAKE_ARGS="${VORLAN_CMAKE_ARGS:-} -DVORLAN_WERROR=ON" tools/setup.sh "$build"
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
