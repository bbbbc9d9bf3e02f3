#!/usr/bin/env bash
# Sets everything up, starts a local game server and the client. Closing the
# client stops the server.
#
#   tools/play.sh [BUILD_DIR]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
# Only what playing needs (the client pulls in the bot library and the data
# files, the server its maps); tools/test.sh builds the rest.
VORLAN_BUILD_TARGETS="vorlan vorlan-server" tools/setup.sh "$build"
bin="$build/bin"
server_pid=
if [ -x "$bin/vorlan-server" ]; then
  "$bin/vorlan-server" --bots 7 & server_pid=$!  # computer players fill the free seats
  trap '[ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null' EXIT
fi
"$bin/vorlan"
