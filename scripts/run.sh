#!/usr/bin/env bash
# `make run`: starts Chronvale from the build folder given as $1.
#
# Clouds and earthquakes come from the image server named by `server` in
# chronvale.ini. When that is this computer and nothing answers there, the
# program itself starts the chronvale-imaged beside it (`--mirror`, once per
# user, left running), as an installed one does; its log is
# ~/.local/share/chronvale-imaged/server.log.
#
# Without a display the window cannot open: the lit map of this moment is
# written to lit-map.png in the build folder instead.
set -euo pipefail

build=${1:-build}
build=$(cd "$build" && pwd)
program="$build/chronvale"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so no window."
  map="$build/lit-map.png"
  "$program" --render "$map" --shadow
  echo "run: wrote the lit map of this moment (sun shadow on) to $map"
  exit 0
fi

exec "$program" "${@:2}"
