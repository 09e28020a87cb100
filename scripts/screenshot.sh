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
mkdir -p "$home/.config/QUILLMAR" "$home/.local/share/QUILLMAR/Chronvale" "$home/run"
chmod 700 "$home/run"
cat >"$home/.config/QUILLMAR/Chronvale.ini" <<'INI'
[General]
day=1
shadow=1
marked=1
grid=1
refresh=10
INI
# A city's name in the table keeps the blank before its "(state)".
cat >"$home/.local/share/QUILLMAR/Chronvale/config.ini" <<'INI'
M=London ,0
M=New York ,-73
M=Los Angeles ,-118
M=Rio de Janeiro ,-43
M=Cairo ,31
M=Moscow ,37
M=New Delhi ,77
M=Beijing ,116
M=Tokyo ,139
M=Sydney ,151
INI

# Day Map, Clouds, Earthquakes, then Sun Shadow again (showing clouds turns it off).
HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
  XDG_RUNTIME_DIR=$home/run \
  xvfb-run -a -s '-screen 0 1280x800x24' \
  bash "$here/scripts/run.sh" "$build" --screenshot "$output" --screenshot-delay 3 \
  --screenshot-command 40004 --screenshot-command 40030 --screenshot-command 40016
