#!/usr/bin/env bash
# Builds the libFuzzer harnesses under fuzz/ with clang into build-fuzz/.
#
#   scripts/fuzz.sh            build only
#   scripts/fuzz.sh SECONDS    build, then run every harness for SECONDS seconds,
#                              each with its own corpus under build-fuzz/corpus/,
#                              seeded from fuzz/corpus/NAME and with the dictionary
#                              fuzz/dict/NAME.dict where there is one
#   scripts/fuzz.sh SECONDS NAME...
#                              the same for the named harnesses only
#
# clang is installed with apt when it is missing (it is not part of `make test`).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-0}
if ! [[ "$seconds" =~ ^[0-9]+$ ]]; then
  echo "usage: scripts/fuzz.sh [SECONDS [NAME...]]" >&2
  exit 2
fi
shift || true
only=("$@")

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

# The parsers of network replies, config.ini, the settings and the language files
# live in the Qt part of the tree: a configuration of its own, with Qt, that builds
# only their harnesses (fuzz/net, fuzz/config, fuzz/i18n).
harness_dirs=(build-fuzz/fuzz/*/)
if CC=clang CXX=clang++ cmake -S . -B build-fuzz-qt -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCHRONVALE_FUZZ=ON -DCHRONVALE_QT=ON -DCHRONVALE_TESTS=OFF -DCHRONVALE_BENCH=OFF \
  >build-fuzz/qt-configure.log 2>&1; then
  cmake --build build-fuzz-qt -j "${JOBS:-2}" --target fuzz_net fuzz_config fuzz_i18n
  harness_dirs+=(build-fuzz-qt/fuzz/net/ build-fuzz-qt/fuzz/config/ build-fuzz-qt/fuzz/i18n/)
else
  echo "fuzz: Qt 6 not found, the Qt harnesses are skipped (see build-fuzz/qt-configure.log)" >&2
fi

if [ "$seconds" -eq 0 ]; then
  exit 0
fi
status=0
mkdir -p build-fuzz/artifacts
for dir in "${harness_dirs[@]}"; do
  for harness in "$dir"fuzz_*; do
    [ -f "$harness" ] && [ -x "$harness" ] || continue
    name=$(basename "$harness")
    if [ "${#only[@]}" -gt 0 ] && [[ " ${only[*]} " != *" $name "* ]]; then
      continue
    fi
    # The first folder collects what the run finds; the seeds in the repository are
    # read only.
    corpus=build-fuzz/corpus/$name
    mkdir -p "$corpus"
    args=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/"$name"-)
    if [ -f "fuzz/dict/$name.dict" ]; then
      args+=(-dict="fuzz/dict/$name.dict")
    fi
    seeds=()
    if [ -d "fuzz/corpus/$name" ]; then
      seeds=("fuzz/corpus/$name")
    fi
    echo "== $name (${seconds}s)"
    "$harness" "${args[@]}" "$corpus" "${seeds[@]}" || status=1
  done
done
exit $status
