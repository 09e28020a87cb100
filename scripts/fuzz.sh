#!/usr/bin/env bash
# Builds the libFuzzer harnesses under fuzz/ with clang into build-fuzz/.
#
#   scripts/fuzz.sh            build only
#   scripts/fuzz.sh SECONDS    build, then run every harness for SECONDS seconds,
#                              each with its own corpus under build-fuzz/corpus/
#
# clang is installed with apt when it is missing (it is not part of `make test`).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-0}
if ! [[ "$seconds" =~ ^[0-9]+$ ]]; then
  echo "usage: scripts/fuzz.sh [SECONDS]" >&2
  exit 2
fi

if ! command -v clang >/dev/null 2>&1 || ! command -v clang++ >/dev/null 2>&1; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  echo "fuzz: installing clang"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends clang >/dev/null
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCHRONVALE_FUZZ=ON -DCHRONVALE_QT=OFF -DCHRONVALE_TESTS=OFF -DCHRONVALE_BENCH=OFF
cmake --build build-fuzz -j "${JOBS:-2}"

if [ "$seconds" -eq 0 ]; then
  exit 0
fi
status=0
for harness in build-fuzz/fuzz/*/fuzz_*; do
  [ -f "$harness" ] && [ -x "$harness" ] || continue
  name=$(basename "$harness")
  corpus=build-fuzz/corpus/$name
  mkdir -p "$corpus"
  echo "== $name (${seconds}s)"
  "$harness" -max_total_time="$seconds" -print_final_stats=1 "$corpus" || status=1
done
exit $status
