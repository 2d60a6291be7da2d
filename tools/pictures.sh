#!/usr/bin/env bash
# Regenerates the pictures in docs/: each program's picture script (cmake/Programs.cmake) played
# by the snapshot tool, which is built first when needed. The build directory is build/ unless
# BUILD_DIR names another one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" --target pictures >/dev/null
echo "pictures written to $root/docs"
