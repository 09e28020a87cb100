#!/usr/bin/env bash
# `make run`: starts Chronvale from the build folder given as $1. Until the main
# window exists it also renders the lit map of this moment to lit-map.png there.
set -euo pipefail
build=${1:-build}
map="$(cd "$build" && pwd)/lit-map.png"
"$build/chronvale" --render "$map" --shadow
echo "The lit map of this moment (sun shadow on): $map"
exec "$build/chronvale" --info
