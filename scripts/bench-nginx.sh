#!/usr/bin/env bash
# Drives the crowd benchmark through nginx with the shipped configuration in
# front of two servers on one demo folder (the set-up of test_nginx_front), for
# the figures of docs/image-server.md. Loopback only; everything it starts is
# stopped when it ends.
#
#   scripts/bench-nginx.sh [BUILD] [BENCHMARK ARGUMENTS...]
#   e.g. scripts/bench-nginx.sh build --benchmark_filter='target:0/'
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
shift || true
case $build in /*) ;; *) build=$here/$build ;; esac
nginx=$(command -v nginx || echo /usr/sbin/nginx)
[ -x "$nginx" ] || { echo "bench-nginx: nginx not found (scripts/install-deps.sh installs it)" >&2; exit 1; }

work=$(mktemp -d)
pids=()
stop() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap stop EXIT

# A loopback port nothing listens on now.
free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Waits (at most 15 s) until something answers on the port.
wait_port() {
  for _ in $(seq 150); do
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0
    sleep 0.1
  done
  echo "bench-nginx: nothing answers on port $1" >&2
  return 1
}

mkdir -p "$work/frames"
first=$(free_port)
"$build/chronvale-imaged" --folder "$work/frames" --demo --port "$first" >"$work/first.log" 2>&1 &
pids+=($!)
wait_port "$first"
second=$(free_port)
"$build/chronvale-imaged" --folder "$work/frames" --port "$second" >"$work/second.log" 2>&1 &
pids+=($!)
wait_port "$second"

front=$(free_port)
sed -e "s|/var/cache/nginx/chronvale|$work/cache|" \
    -e "s|listen 80;|listen 127.0.0.1:$front;|" \
    -e "s|127.0.0.1:8471|127.0.0.1:$first|" \
    -e "s|127.0.0.1:8472|127.0.0.1:$second|" \
    "$here/docs/nginx-chronvale-imaged.conf" >"$work/chronvale.conf"
{
  echo "daemon off; master_process off; pid $work/nginx.pid;"
  echo "error_log $work/error.log; worker_rlimit_nofile 8192;"
  echo "events { worker_connections 4096; }"
  echo "http { access_log off;"
  for kind in client_body proxy fastcgi uwsgi scgi; do echo "  ${kind}_temp_path $work/$kind;"; done
  echo "  include $work/chronvale.conf; }"
} >"$work/nginx.conf"
"$nginx" -p "$work" -c "$work/nginx.conf" -e "$work/error.log" &
pids+=($!)
wait_port "$front"

echo "bench-nginx: nginx on 127.0.0.1:$front in front of ports $first and $second"
CHRONVALE_IMAGED_PORT=$front "$build/bench/tools/bench_imaged" --benchmark_counters_tabular=true "$@"
