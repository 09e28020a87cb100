#!/usr/bin/env bash
# Takes the pictures of the manual (data/manual/*.png) under Xvfb, with the demo
# home and the demo image server of scripts/screenshot.sh, and makes them small
# (800 pixels wide, 256 colours) so that the data folder stays light.
#
#   scripts/manual-screenshots.sh [BUILD]
#
# Needs xvfb-run, ImageMagick (convert, import) and, for the city selector,
# xdotool, which finds the selector's window.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
out=$here/data/manual
mkdir -p "$out"
source "$here/scripts/own-image-server.sh"
work=$(mktemp -d)
trap 'stop_own_image_server; rm -rf "$work"' EXIT

for tool in xvfb-run convert import xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "manual-screenshots: $tool is missing (apt-get install xvfb imagemagick xdotool)" >&2
    exit 1
  fi
done

small() { # IN OUT: 800 pixels wide at most, a 256-colour palette
  convert "$1" -resize '800x>' -dither None -colors 256 -strip "PNG8:$2"
}

# The map with clouds, earthquakes and the sun's shadow; the time zones.
bash "$here/scripts/screenshot.sh" "$build" "$work/map.png"
small "$work/map.png" "$out/map.png"
bash "$here/scripts/screenshot.sh" "$build" "$work/time-zones.png" 40007
small "$work/time-zones.png" "$out/time-zones.png"

# The city selector is a window of its own: the whole screen is taken once it
# shows, while the program waits before its own screenshot.
home=$work/home
mkdir -p "$home"
bash "$here/scripts/demo-home.sh" "$home"
start_own_image_server "$build" "$work/imaged"
cat >"$work/selector.sh" <<SCRIPT
set -euo pipefail
bash "$here/scripts/run.sh" "$build" --screenshot "$work/ignored.png" \\
  --screenshot-delay 20 --screenshot-command 40001 &
window=
for _ in \$(seq 1 300); do
  window=\$(xdotool search --name '^City Selector\$' 2>/dev/null | head -n 1) && [ -n "\$window" ] && break
  sleep 0.2
done
sleep 1
# A search, so that the list on the right shows cities.
xdotool type --delay 100 'san'
sleep 2
eval "\$(xdotool getwindowgeometry --shell "\$window")"
import -window root -crop "\${WIDTH}x\${HEIGHT}+\${X}+\${Y}" "$work/selector-screen.png"
wait
SCRIPT
HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
  XDG_RUNTIME_DIR=$home/run \
  xvfb-run -a -s '-screen 0 1024x700x24' bash "$work/selector.sh"
small "$work/selector-screen.png" "$out/city-selector.png"

du -ch "$out"/*.png | tail -n 1 | sed 's/^/manual-screenshots: /'
