#!/usr/bin/env bash
# Sets everything up, starts a local game server and the client. Closing the
# client stops the server.
#
#   tools/play.sh [BUILD_DIR]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tools/setup.sh "$build"
bin="$build/bin"
server_pid=
if [ -x "$bin/vorlan-server" ]; then
  "$bin/vorlan-server" --bots 7 & server_pid=$!  # computer players fill the free seats
  trap '[ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null' EXIT
fi
"$bin/vorlan"
