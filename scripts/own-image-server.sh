# shellcheck shell=bash
# Sourced by the scripts that start the window (screenshots, measurements): a
# demo chronvale-imaged of the script's own on a free loopback port, named in an
# override Chronvale.conf of an XDG_CONFIG_DIRS folder of its own. The window
# finds it answering, so it neither uses whatever runs on the configured
# 127.0.0.1:8470 nor starts a server there that would outlive the script and
# pull from the internet. The [Mirror] sources of the override point at the same
# loopback server, so not even a mirror started from it reaches an upstream.
#
#   start_own_image_server BUILD FOLDER  starts it (frames in FOLDER/frames),
#                                        exports XDG_CONFIG_DIRS
#   stop_own_image_server                stops it (call it from the EXIT trap)

own_image_server_pid=

start_own_image_server() {
  local build=$1 folder=$2 address=
  mkdir -p "$folder/frames" "$folder/xdg/QUILLMAR"
  "$build/chronvale-imaged" --demo --bind 127.0.0.1 --port 0 --folder "$folder/frames" \
    >"$folder/server.out" 2>"$folder/server.log" &
  own_image_server_pid=$!
  # The first line names the address; making the demo frames comes first.
  for _ in $(seq 300); do
    address=$(grep -o -m1 'http://127\.0\.0\.1:[0-9]*' "$folder/server.out" 2>/dev/null || true)
    [ -n "$address" ] && break
    kill -0 "$own_image_server_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$address" ]; then
    echo "$(basename "$0"): the demo image server did not start:" >&2
    cat "$folder/server.log" >&2
    return 1
  fi
  cat >"$folder/xdg/QUILLMAR/Chronvale.conf" <<CONF
[General]
server="${address#http://}"
[Mirror]
clouds1="$address/no-upstream/clouds.jpg"
clouds2=""
clouds3=""
quakes1="$address/no-upstream/feed.geojson"
quakes2=""
CONF
  export XDG_CONFIG_DIRS=$folder/xdg
}

stop_own_image_server() {
  if [ -n "$own_image_server_pid" ]; then
    kill "$own_image_server_pid" 2>/dev/null || true
    wait "$own_image_server_pid" 2>/dev/null || true
    own_image_server_pid=
  fi
}
