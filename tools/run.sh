#!/usr/bin/env bash
# Sets up the machine, builds one program with only the libraries it needs, and runs it with the
# remaining arguments: tools/run.sh [Umlaufbahnen|Planetensystem|gallery|plots|Pendel] [args...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prog=${1:-Umlaufbahnen}
shift || true
"$root/tools/setup.sh"
"$root/tools/build.sh" "$prog"
exe=$(cat "$root/build/run/$prog")
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display is set; to run $prog without one: xvfb-run -s '-screen 0 1280x800x24' $exe" >&2
fi
exec "$exe" "$@"
