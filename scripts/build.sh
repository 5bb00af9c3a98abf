#!/usr/bin/env bash
# Configures (once) and builds into build/ (or $VARDEL_BUILD_DIR). Extra arguments go to CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARDEL_BUILD_DIR:-$root/build}
if [ ! -f "$build/build.ninja" ] || [ $# -gt 0 ]; then
  cmake -S "$root" -B "$build" -G Ninja "$@"
fi
cmake --build "$build"
