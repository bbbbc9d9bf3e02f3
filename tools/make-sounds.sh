#!/usr/bin/env bash
# Regenerates the music (s0.mid .. s4.mid), the sounds (kukly*.wav) and
# wav.txt in assets/ with tools/soundgen (the build only copies the committed
# files). Voices are spoken by espeak-ng, installed here when missing.
#
#   tools/make-sounds.sh [--check]
#
# --check writes into a temporary folder instead and compares with assets/:
# exit status 1 when a committed file differs from what the generator makes.
set -euo pipefail
cd "$(dirname "$0")/.."

check=0
if [ "${1:-}" = "--check" ]; then
  check=1
fi

for p in python3 espeak-ng; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -q || true
    "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "$p"
  fi
done

if [ $check -eq 0 ]; then
  python3 tools/soundgen/soundgen.py assets
  exit 0
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
python3 tools/soundgen/soundgen.py "$out"
status=0
for f in "$out"/*; do
  name=$(basename "$f")
  if ! cmp -s "$f" "assets/$name"; then
    echo "make-sounds: assets/$name differs from the generator's output"
    status=1
  fi
done
[ $status -eq 0 ] && echo "make-sounds: all $(ls "$out" | wc -l) generated files match assets/"
exit $status
