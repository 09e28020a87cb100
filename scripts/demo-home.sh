#!/usr/bin/env bash
# Fills an empty folder as the home of a demo user of Chronvale: the day map, the
# sun shadow, the grid and ten marked cities on. The settings file holds every
# value a save writes, so the program does not take it for a first start. Used by the screenshot and the
# measurements, which run the program with HOME (and XDG_*) pointing there.
#
#   scripts/demo-home.sh FOLDER
set -euo pipefail
home=${1:?usage: demo-home.sh FOLDER}
mkdir -p "$home/.config/QUILLMAR" "$home/.local/share/QUILLMAR/Chronvale" "$home/run"
chmod 700 "$home/run"
cat >"$home/.config/QUILLMAR/Chronvale.ini" <<'INI'
[General]
day=1
night=0
shadow=1
cities=0
marked=1
grid=1
zones=0
track=0
refresh=10
cx=0
cy=0
zoom=1
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
