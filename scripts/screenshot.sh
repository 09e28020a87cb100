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

source "$here/scripts/own-image-server.sh"
home=$(mktemp -d)
trap 'stop_own_image_server; rm -rf "$home"' EXIT
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
# The demo frames and earthquakes from a server of this script's own, so that the
# picture depends neither on the network nor on what runs on 127.0.0.1:8470.
start_own_image_server "$build" "$home/imaged"

HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
  XDG_RUNTIME_DIR=$home/run \
  xvfb-run -a -s '-screen 0 1280x800x24' \
  bash "$here/scripts/run.sh" "$build" --screenshot "$output" --screenshot-delay 3 \
  "${command_args[@]}"
