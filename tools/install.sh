#!/usr/bin/env bash
# Builds only the libraries and the programs (no tests, benchmarks, fuzz targets or snapshot
# tool) in build-install/ and installs them, with the headers, both surface backends, the desktop
# entries and the CMake package, into PREFIX:  tools/install.sh "$HOME/.local"
# With --web, the browser build of the libraries instead, in build-install-web/: the headers, the
# libraries, the web backend, the page function with its page and the toolchain that compiles
# other projects for the browser, into PREFIX:  tools/install.sh --web "$HOME/.local/web"
# (a prefix of its own: both packages are Physikdemos). Installs the Debian packages it needs
# first; more configure options go in PHYS_CMAKE_ARGS.
set -euo pipefail
web=no
if [ "${1:-}" = --web ]; then
  web=yes
  shift
fi
if [ $# -ne 1 ] || [ -z "$1" ]; then
  echo "usage: tools/install.sh [--web] PREFIX" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$1
# Both packages are Physikdemos: one would overwrite the other's configuration.
for config in "$prefix"/lib*/cmake/Physikdemos "$prefix"/lib/*/cmake/Physikdemos; do
  [ -f "$config/PhysikdemosConfig.cmake" ] || continue
  there=no
  [ -f "$config/web-toolchain.cmake" ] && there=yes
  if [ $there != $web ]; then
    echo "install.sh: $prefix holds the $([ $there = yes ] && echo browser || echo desktop) package; give each a prefix of its own" >&2
    exit 2
  fi
done
args=(-G Ninja -DPHYS_TESTS=OFF -DPHYS_BENCH=OFF -DPHYS_TOOLS=OFF)
targets=()
if [ $web = yes ]; then
  "$root/tools/setup.sh" --library emscripten
  build="$root/build-install-web"
  # As the `web` preset compiles; the toolchain brings its own compiler launcher.
  args+=(--toolchain "$root/cmake/web-toolchain.cmake" -DCMAKE_BUILD_TYPE=Release)
  targets=(--target physikdemos_package)
else
  "$root/tools/setup.sh" --library
  build="$root/build-install"
  command -v ccache >/dev/null && args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# shellcheck disable=SC2206  # PHYS_CMAKE_ARGS is a list of words on purpose
args+=(${PHYS_CMAKE_ARGS:-})
cmake -S "$root" -B "$build" "${args[@]}" >/dev/null
cmake --build "$build" "${targets[@]}"
cmake --install "$build" --prefix "$prefix"
