#!/bin/sh
# The server's load curve and fault run: run_server_load.sh BUILD_DIR [SECONDS]
# Figures go to stdout; the server's logs to BUILD_DIR/server_load/.
set -e
build=${1:-build}
seconds=${2:-60}
bin="$build/bin"
out="$build/server_load"
mkdir -p "$out"
# Thousands of sockets on each side: take every file the system allows.
ulimit -n "$(ulimit -Hn)"
for games in 50 100 200 500; do
  "$bin/server_load" --server "$bin/vorlan-server" --maps "$bin/maps" \
    --log "$out/scale-$games.log" scale "$games" "$seconds"
done
"$bin/server_load" --server "$bin/vorlan-server" --maps "$bin/maps" \
  --log "$out/faults.log" faults "$seconds"
