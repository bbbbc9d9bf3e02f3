#!/usr/bin/env bash
# Strength of the computer players, measured with the arena: 200 two-player
# games per pairing spread over the four shipped maps, then 8-player games on
# warfield. Game length and speed are kept short so that a run is cheap.
#
#   bench/strength.sh [BUILD_DIR] [GAMES] [MINUTES]     (default: build 200 3)
set -euo pipefail
build=${1:-build}
games=${2:-200}
minutes=${3:-3}
bin="$build/bin"
arena=("$bin/vorlan-arena" --quiet --games "$games" --minutes "$minutes" --speed 4)

pairing() {
  echo "== $1 against $2"
  "${arena[@]}" --players "$1,$2"
}
pairing normal random
pairing normal "plugin:$bin/libdirud.so"
pairing hard normal
pairing normal easy

echo "== 8 players on warfield: games whose first place holds at least twice the blocks of the last"
eight=hard,normal,easy,hard,normal,easy,hard,normal
"$bin/vorlan-arena" --quiet --games 20 --minutes "$minutes" --map "$bin/maps/warfield.map" \
  --players "$eight" --games-list |
  awk '/^game/ { n++; split($0, parts, /\(/); first = parts[2] + 0; last = parts[9] + 0;
                 if (first >= 2 * last) ok++ }
       /^game/ { next } { print }
       END { printf "%d of %d games: first >= 2 x last\n", ok, n }'
