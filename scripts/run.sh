#!/usr/bin/env bash
# `make run`: starts Chronvale from the build folder given as $1.
#
# Clouds and earthquakes come from the image server named by `server` in
# chronvale.ini. When that is this computer and nothing answers there,
# chronvale-imaged --mirror --demo is started for the session and stopped when
# the window closes: it mirrors real cloud maps and earthquakes where a public
# source answers, and shows made-up demo frames until one does (its log says
# which).
#
# Without a display the window cannot open: the lit map of this moment is
# written to lit-map.png in the build folder instead.
set -euo pipefail

build=${1:-build}
build=$(cd "$build" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
program="$build/chronvale"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so no window."
  map="$build/lit-map.png"
  "$program" --render "$map" --shadow
  echo "run: wrote the lit map of this moment (sun shadow on) to $map"
  exit 0
fi

# The `server` value: the data folder's chronvale.ini, overridden by the system file.
server_value() {
  local file value=""
  for file in "${CHRONVALE_DATA:-$here/data}/chronvale.ini" /etc/xdg/QUILLMAR/Chronvale.conf; do
    if [ -r "$file" ]; then
      local line
      line=$(sed -n 's/^[[:space:]]*server[[:space:]]*=[[:space:]]*//p' "$file" | tail -n 1)
      line=${line%$'\r'}
      line=${line#\"}
      line=${line%\"}
      if [ -n "$line" ]; then
        value=$line
      fi
    fi
  done
  printf '%s' "$value"
}

answers() { # host port
  (exec 3<>"/dev/tcp/$1/$2") 2>/dev/null
}

imaged=""
for candidate in "$build/chronvale-imaged" "$build/tools/imageserver/chronvale-imaged"; do
  if [ -x "$candidate" ]; then
    imaged=$candidate
    break
  fi
done

server=$(server_value)
host=${server%:*}
port=80
if [ "$server" != "$host" ]; then
  port=${server##*:}
fi
server_pid=""
stop_server() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
    server_pid=""
  fi
}
trap stop_server EXIT

case "$host" in
  127.0.0.1 | localhost | ::1)
    if answers "$host" "$port"; then
      echo "run: an image server answers at $host:$port"
    elif [ -z "$imaged" ]; then
      echo "run: nothing answers at $host:$port and chronvale-imaged is not built;" \
        "clouds and earthquakes will not load"
    else
      log="$build/chronvale-imaged.log"
      echo "run: starting the image server on port $port, mirroring real clouds and" \
        "earthquakes, with demo frames until a source answers (log: $log)"
      "$imaged" --mirror --demo --port "$port" >"$log" 2>&1 &
      server_pid=$!
      # Wait until it answers, or until it has given up.
      for _ in $(seq 1 100); do
        if answers "$host" "$port" || ! kill -0 "$server_pid" 2>/dev/null; then
          break
        fi
        sleep 0.1
      done
      if ! answers "$host" "$port"; then
        echo "run: the image server did not start; see $log"
        stop_server
      elif grep -q "DEMO" "$log"; then
        echo "run: showing DEMO frames (made up) until a cloud map source answers;" \
          "'clouds: ... stored as frame' in the log marks real ones"
      fi
    fi
    ;;
  "")
    echo "run: no image server is configured; clouds and earthquakes will not load"
    ;;
esac

status=0
"$program" "${@:2}" || status=$?
exit "$status"
