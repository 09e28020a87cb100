#!/usr/bin/env bash
# `make run`: starts Chronvale from the build folder given as $1.
set -euo pipefail
build=${1:-build}
exec "$build/chronvale" --info
