#!/usr/bin/env bash
# Sets up the machine, builds and runs one program: Umlaufbahnen (default) or Planetensystem.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prog=${1:-Umlaufbahnen}
"$root/tools/setup.sh"
"$root/tools/build.sh"
status=0
"$root/build/$prog/$prog" || status=$?
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display is set; to run $prog without one: xvfb-run -s '-screen 0 1280x800x24' $root/build/$prog/$prog"
fi
exit "$status"
