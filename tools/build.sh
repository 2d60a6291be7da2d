#!/usr/bin/env bash
# Builds the given targets (default: everything) in build/. The first call configures build/ with
# warnings as errors and ccache when it is installed; later calls reuse that configuration, so
# tools/run.sh and tools/test.sh share one build and never rebuild for a change of flags.
# Extra configure options go in PHYS_CMAKE_ARGS (only for the first configuration).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
if [ ! -f "$build/build.ninja" ]; then
  args=(-G Ninja -DPHYS_WERROR=ON)
  command -v ccache >/dev/null && args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # shellcheck disable=SC2206  # PHYS_CMAKE_ARGS is a list of words on purpose
  args+=(${PHYS_CMAKE_ARGS:-})
  cmake -S "$root" -B "$build" "${args[@]}" >/dev/null
fi
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$build" "${targets[@]}"
