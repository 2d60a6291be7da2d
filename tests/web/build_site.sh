#!/bin/sh
# Builds the browser site for the tests (as tools/web.sh does, without installing anything) and
# the rest of the browser package, which the package tests install; status 77 when the toolchain
# or the browser driver is not installed.
root=$1
command -v emcc >/dev/null 2>&1 || { echo "SKIPPED: no Emscripten (tools/web.sh installs it)"; exit 77; }
command -v node >/dev/null 2>&1 || { echo "SKIPPED: no Node (tools/web.sh installs it)"; exit 77; }
cd "$root" || exit 1
cmake --preset web >/dev/null && cmake --build --preset web --target site physikdemos_package
