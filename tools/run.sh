#!/usr/bin/env bash
# Sets up the machine, builds one program with only the libraries it needs, and runs it with the
# remaining arguments: tools/run.sh [program] [args...], where program is one of
# cmake/Programs.cmake (Umlaufbahnen by default).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prog=${1:-Umlaufbahnen}
shift || true
mapfile -t programs < <(sed -n 's/^physikdemos_program(\([A-Za-z0-9_]*\).*/\1/p' "$root/cmake/Programs.cmake")
known=" ${programs[*]} "
if [[ $known != *" $prog "* ]]; then
  echo "usage: tools/run.sh [program] [args...]; programs:${known% }" >&2
  exit 2
fi
"$root/tools/setup.sh"
"$root/tools/build.sh" "$prog"
exe=$(cat "$root/build/run/$prog")
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display is set; to run $prog without one: xvfb-run -s '-screen 0 1280x800x24' $exe" >&2
fi
exec "$exe" "$@"
