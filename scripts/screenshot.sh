#!/usr/bin/env bash
# Takes the README's screenshot: the window under Xvfb with the demo image
# server, in a private home with a few display options on and some cities
# marked, written by the program itself (--screenshot) to docs/screenshot.png.
#
#   scripts/screenshot.sh [BUILD] [OUTPUT]
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
output=${2:-$here/docs/screenshot.png}
mkdir -p "$(dirname "$output")"
output=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
bash "$here/scripts/demo-home.sh" "$home"

# Clouds, Earthquakes, then Sun Shadow again (showing clouds turns it off).
HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
  XDG_RUNTIME_DIR=$home/run \
  xvfb-run -a -s '-screen 0 1280x800x24' \
  bash "$here/scripts/run.sh" "$build" --screenshot "$output" --screenshot-delay 3 \
  --screenshot-command 40004 --screenshot-command 40030 --screenshot-command 40016
