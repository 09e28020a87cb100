#!/usr/bin/env bash
# Measures the window under Xvfb, in the demo home of scripts/demo-home.sh (day
# map, sun shadow, grid, ten marked cities), with the demo image server of
# scripts/own-image-server.sh:
#   - the time from the start of the process to the first painted lit map
#     (five starts, each reported by `chronvale --screenshot`),
#   - the resident memory after a minute of running,
#   - the CPU time used over the following 60 idle seconds.
# Takes about two and a half minutes.
#
#   scripts/measure-window.sh [BUILD]
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
source "$here/scripts/own-image-server.sh"
home=$(mktemp -d)
trap 'stop_own_image_server; rm -rf "$home"' EXIT
bash "$here/scripts/demo-home.sh" "$home"
start_own_image_server "$build" "$home/imaged"
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
  XDG_RUNTIME_DIR=$home/run

xvfb-run -a -s '-screen 0 1280x800x24' bash -s "$build" "$home" <<'INNER'
set -euo pipefail
build=$1
home=$2
for i in 1 2 3 4 5; do
  "$build/chronvale" --screenshot "$home/shot.png" 2>&1 | grep 'first lit map' || true
done

"$build/chronvale" >/dev/null 2>&1 &
pid=$!
ticks=$(getconf CLK_TCK)
cpu() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
sleep 60
echo "resident memory after 60 s: $(awk '/^VmRSS/ { print $2, $3 }' "/proc/$pid/status")"
before=$(cpu)
sleep 60
after=$(cpu)
awk -v used="$((after - before))" -v ticks="$ticks" \
  'BEGIN { printf "CPU over the next 60 s: %.2f s, %.3f%%\n", used / ticks, 100 * used / ticks / 60 }'
kill "$pid"
wait "$pid" 2>/dev/null || true
INNER
