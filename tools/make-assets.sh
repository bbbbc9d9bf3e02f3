#!/usr/bin/env bash
# Regenerates the pictures, icons and the idle map in assets/ with the
# generator in tools/assetgen (the build itself only copies the committed files).
#
#   tools/make-assets.sh [--check] [BUILD_DIR]      (default: build)
#
# --check writes into a temporary folder instead and compares with assets/:
# exit status 1 when a committed file differs from what the generator makes.
# Extra options after "--" go to the generator, e.g. -- --sheet /tmp/sheet.png
set -euo pipefail
cd "$(dirname "$0")/.."

check=0
if [ "${1:-}" = "--check" ]; then
  check=1
  shift
fi
build=build
if [ $# -gt 0 ] && [ "$1" != "--" ]; then
  build=$1
  shift
fi
[ "${1:-}" = "--" ] && shift

# The lettering is drawn from the DejaVu fonts.
if ! dpkg-query -W -f='${Status}' fonts-dejavu-core 2>/dev/null | grep -q "install ok installed"; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q || true
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends fonts-dejavu-core
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${VORLAN_CMAKE_ARGS:-}
fi
cmake --build "$build" --target vorlan-assetgen -j 2
gen="$build/tools/vorlan-assetgen"

if [ $check -eq 0 ]; then
  QT_QPA_PLATFORM=offscreen "$gen" assets "$@"
  echo "make-assets: assets/ regenerated"
  exit 0
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
QT_QPA_PLATFORM=offscreen "$gen" "$out" "$@"
status=0
for f in "$out"/*; do
  name=$(basename "$f")
  if ! cmp -s "$f" "assets/$name"; then
    echo "make-assets: assets/$name differs from the generator's output"
    status=1
  fi
done
[ $status -eq 0 ] && echo "make-assets: all $(ls "$out" | wc -l) generated files match assets/"
exit $status
