#!/usr/bin/env bash
# Builds only the libraries and the programs (no tests, benchmarks, fuzz targets or snapshot
# tool) in build-install/ and installs them, with the headers, both surface backends, the desktop
# entries and the CMake package, into PREFIX:  tools/install.sh "$HOME/.local"
# Installs the Debian packages it needs first; more configure options go in PHYS_CMAKE_ARGS.
set -euo pipefail
if [ $# -ne 1 ] || [ -z "$1" ]; then
  echo "usage: tools/install.sh PREFIX" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$1
build="$root/build-install"
"$root/tools/setup.sh" --library
args=(-G Ninja -DPHYS_TESTS=OFF -DPHYS_BENCH=OFF -DPHYS_TOOLS=OFF)
command -v ccache >/dev/null && args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# shellcheck disable=SC2206  # PHYS_CMAKE_ARGS is a list of words on purpose
args+=(${PHYS_CMAKE_ARGS:-})
cmake -S "$root" -B "$build" "${args[@]}" >/dev/null
cmake --build "$build"
cmake --install "$build" --prefix "$prefix"
