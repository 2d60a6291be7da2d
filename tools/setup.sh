#!/usr/bin/env bash
# Installs the Debian packages the project needs, and any named on the command line (as
# tools/web.sh names the browser build's); quick when all are present. With --library first, only
# those that the libraries and programs need.
set -euo pipefail
library=(build-essential cmake ninja-build pkg-config libsdl2-dev libx11-dev libpng-dev console-data
         console-setup-linux)
if [ "${1:-}" = --library ]; then
  # Only what building and installing the libraries and programs needs (tools/install.sh).
  shift
  packages=("${library[@]}" "$@")
else
  packages=(
    "${library[@]}"
    libgtest-dev libgmock-dev libbenchmark-dev libboost-dev
    xvfb xdotool x11-utils x11-xkb-utils imagemagick
    clang valgrind
    clang-16 libclang-rt-16-dev
    "$@"
  )
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
