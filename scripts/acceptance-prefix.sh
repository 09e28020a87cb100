#!/usr/bin/env bash
# The installed program as a new user meets it: installs the build into a prefix,
# and in a private network namespace (nothing listens on 127.0.0.1:8470 there,
# whatever runs on the machine) and PID namespace (whatever the window starts
# ends with the script, even a server that never came to listen) starts it from
# the desktop entry's Exec line under Xvfb with a fresh home. A stand-in upstream
# on loopback serves a cloud map and an earthquake feed; an override
# Chronvale.conf in an XDG_CONFIG_DIRS folder names it in its [Mirror] group.
# Checks that a server answers on 8470 within 10 s, and takes screenshots of the
# window after 60 s. Needs root (unshare -n -p).
#
#   scripts/acceptance-prefix.sh BUILD PREFIX SHOT [LANG] [failing]
#   e.g. scripts/acceptance-prefix.sh build /tmp/pfx /work/shots/ops-clouds.png de_DE.UTF-8
# With "failing" the upstream answers every request with 500, so the status bar
# says why no clouds come.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$1 prefix=$2 shot=$3 lang=${4:-en_GB.UTF-8} mode=${5:-}

if [ "${CHRONVALE_IN_NETNS:-}" != 1 ]; then
  cmake --install "$build" --prefix "$prefix" >/dev/null
  exec unshare -n -p -f --mount-proc env CHRONVALE_IN_NETNS=1 bash "$0" "$@"
fi
ip link set lo up

work=$(mktemp -d)
pids=()
stop() {
  # The server the window started stays running by design; it ends with the test.
  for pid in $(ss -ltnpH 'sport = :8470' | grep -o 'pid=[0-9]*' | cut -d= -f2); do pids+=("$pid"); done
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap stop EXIT

# The stand-in upstream: a whole-earth map of soft cloud and a feed of three quakes.
mkdir -p "$work/upstream"
convert -size 2048x1024 xc: -seed 7 +noise Random -channel G -separate -blur 0x18 \
  -level 48%,56% -blur 0x2 "$work/upstream/clouds.jpg"
now_ms=$(($(date +%s) * 1000))
cat >"$work/upstream/feed.geojson" <<EOF
{"type":"FeatureCollection","features":[
{"type":"Feature","properties":{"mag":6.1,"time":$((now_ms - 3600000))},"geometry":{"type":"Point","coordinates":[142.4,38.3,20]}},
{"type":"Feature","properties":{"mag":5.2,"time":$((now_ms - 7200000))},"geometry":{"type":"Point","coordinates":[-72.6,-35.8,30]}},
{"type":"Feature","properties":{"mag":4.7,"time":$((now_ms - 9000000))},"geometry":{"type":"Point","coordinates":[28.9,40.9,10]}}]}
EOF
if [ "$mode" = failing ]; then
  python3 - "$work/upstream" <<'EOF' >"$work/upstream.log" 2>&1 &
import http.server, sys
class Failing(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_error(500, "stand-in outage")
http.server.ThreadingHTTPServer(("127.0.0.1", 8099), Failing).serve_forever()
EOF
else
  python3 -m http.server 8099 --bind 127.0.0.1 --directory "$work/upstream" >"$work/upstream.log" 2>&1 &
fi
pids+=($!)
for _ in $(seq 100); do (exec 3<>/dev/tcp/127.0.0.1/8099) 2>/dev/null && break; sleep 0.1; done

mkdir -p "$work/xdg/QUILLMAR" "$work/home"
cat >"$work/xdg/QUILLMAR/Chronvale.conf" <<EOF
[Mirror]
clouds1="http://127.0.0.1:8099/clouds.jpg"
clouds2=""
clouds3=""
quakes1="http://127.0.0.1:8099/feed.geojson"
EOF

# The desktop entry's Exec line, as the menu runs it.
exec_line=$(sed -n 's/^Exec=//p' "$prefix"/share/applications/*.desktop | head -1)
(exec 3<>/dev/tcp/127.0.0.1/8470) 2>/dev/null && { echo "acceptance: 8470 is taken" >&2; exit 1; }

env -i PATH="$prefix/bin:/usr/bin:/bin" HOME="$work/home" LANG="$lang" LANGUAGE="${lang%%_*}" \
  XDG_CONFIG_DIRS="$work/xdg" XDG_RUNTIME_DIR="$work/home/run" \
  xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
    mkdir -m 700 -p "$XDG_RUNTIME_DIR"
    '"$exec_line"' &
    started=$(date +%s.%N)
    for i in $(seq 200); do
      if (exec 3<>/dev/tcp/127.0.0.1/8470) 2>/dev/null; then
        echo "acceptance: a server answers on 8470 after $(echo "$(date +%s.%N) - $started" | bc) s"
        break
      fi
      sleep 0.05
    done
    for at in 5 20 40 60; do
      sleep $((at - ${last:-0})); last=$at
      import -window root "'"${shot%.png}"'-${at}s.png"
    done
    cp "'"${shot%.png}"'-60s.png" "'"$shot"'"
    kill %1
  '
echo "acceptance: server log:"
sed -n '1,12p' "$work/home/.local/share/chronvale-imaged/server.log" 2>/dev/null || true
