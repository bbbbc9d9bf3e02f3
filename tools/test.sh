#!/usr/bin/env bash
# Sets everything up (packages, configure, build) and runs every test headless,
# then runs the whole suite again in a sanitizer build (AddressSanitizer,
# UndefinedBehaviorSanitizer, LeakSanitizer; any report fails), which with
# clang also runs each fuzz target for a bounded time (fuzz/).
#
#   tools/test.sh [BUILD_DIR]      (default: build; the sanitizer build goes
#                                   to BUILD_DIR-san)
#   VORLAN_SANITIZE_PASS=0 tools/test.sh    skips the sanitizer pass
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
VORLAN_CMAKE_ARGS="${VORLAN_CMAKE_ARGS:-} -DVORLAN_WERROR=ON" tools/setup.sh "$build"
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

[ "${VORLAN_SANITIZE_PASS:-1}" = 0 ] && exit 0
san="$build-san"
compilers=()
if command -v clang++ >/dev/null && command -v clang >/dev/null; then
  compilers=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
else
  echo "test: clang is missing; the sanitizer pass uses the default compiler, without fuzz targets"
fi
# Light optimisation and line tables only: enough for readable reports, and
# the build stays quick. No benchmarks here.
cmake -S . -B "$san" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only -DNDEBUG" \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only -DNDEBUG" \
  "${compilers[@]}" ${VORLAN_CMAKE_ARGS:-} -DVORLAN_WERROR=ON -DVORLAN_SANITIZE=ON -DVORLAN_BENCH=OFF
cmake --build "$san" -j "$(nproc)"
ctest --test-dir "$san" --output-on-failure -j "$(nproc)"
