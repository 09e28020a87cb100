#!/usr/bin/env bash
# Takes the README's screenshot: the window under Xvfb with the demo image
# server, in a private home with a few display options on and some cities
# marked, written by the program itself (--screenshot) to docs/screenshot.png.
#
#   scripts/screenshot.sh [BUILD] [OUTPUT] [COMMAND-ID...]
#
# Command ids (menu commands, such as 40007 Time Zones) given after OUTPUT are
# run instead of the README's Earthquakes.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
output=${2:-$here/docs/screenshot.png}
mkdir -p "$(dirname "$output")"
output=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
bash "$here/scripts/demo-home.sh" "$home"

# Earthquakes; the first cloud frame that arrives turns the clouds on by itself,
# over the lit earth.
commands=(40030)
if [ "$#" -gt 2 ]; then
  commands=("${@:3}")
fi
command_args=()
for id in "${commands[@]}"; do
  command_args+=(--screenshot-command "$id")
done
# The demo frames and earthquakes from a server on the configured address, so
# that the picture does not depend on the network; when something already
# answers there, the window uses that.
server_pid=
if ! (exec 3<>/dev/tcp/127.0.0.1/8470) 2>/dev/null; then
  "$build/chronvale-imaged" --demo --bind 127.0.0.1 --port 8470 \
    --folder "$home/imaged" >/dev/null 2>&1 &
  server_pid=$!
  # The window must find it answering, else it starts a server of its own.
  for _ in $(seq 100); do
    (exec 3<>/dev/tcp/127.0.0.1/8470) 2>/dev/null && break
    sleep 0.1
  done
fi
trap 'if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; fi; rm -rf "$home"' EXIT

HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
  XDG_RUNTIME_DIR=$home/run \
  xvfb-run -a -s '-screen 0 1280x800x24' \
  bash "$here/scripts/run.sh" "$build" --screenshot "$output" --screenshot-delay 3 \
  "${command_args[@]}"
