#!/usr/bin/env bash
# The desktop's scale: GDK_SCALE when it is an integer >= 1, otherwise 2 from an Xft.dpi of
# 192 or more, otherwise 1, as far as the screen holds the window. At scale 2 the window shows
# each surface pixel as a 2x2 block of the unscaled picture, and a click at window pixel
# (2x+1, 2y+1) reaches surface pixel (x, y) (tests/conformance plays its sessions at scale 2).
# Usage: scale.sh <Umlaufbahnen> <close_window> <work dir>
set -euo pipefail
orbits=$1
close_window=$2
work=$3
mkdir -p "$work"
source "$(dirname "$0")/lib.sh"

start_xvfb 2560x1440x24

# size_is <WxH> <what>: the window's size.
size_is() {
  local WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$wid" | grep -E '^(WIDTH|HEIGHT)=')"
  [ "${WIDTH}x${HEIGHT}" = "$1" ] || fail "$2: window ${WIDTH}x${HEIGHT}, expected $1"
  echo "ok: $2 gives $1"
}

# settled_shot <name>: a screenshot once the picture has stopped changing (a slow start under
# a loaded machine or a sanitizer may still be drawing).
settled_shot() {
  shot "$1"
  for _ in $(seq 30); do
    sleep 0.3
    shot "$1.next"
    [ "$(differ "$1" "$1.next")" = 0 ] && return 0
    mv "$work/$1.next.png" "$work/$1.png"
  done
  fail "the picture does not settle"
}

launch "$orbits" '^Umlaufbahnen$' 0.5
size_is 1000x500 "no setting"
settled_shot plain
close_expect_zero

GDK_SCALE=2 launch "$orbits" '^Umlaufbahnen$' 0.5
size_is 2000x1000 "GDK_SCALE=2"
settled_shot scaled
close_expect_zero
convert "$work/plain.png" -sample 200% "$work/plain2x.png"
d=$(differ scaled plain2x)
[ "$d" = 0 ] || fail "the scaled picture differs from the plain one in 2x2 blocks ($d pixels)"
echo "ok: every pixel of the plain picture is a 2x2 block of the scaled one"

GDK_SCALE=99999999999 launch "$orbits" '^Umlaufbahnen$' 0.3
size_is 2000x1000 "a scale larger than the screen"
close_expect_zero

xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER $'Xft.dpi:\t192\n'
GDK_SCALE=1.5 launch "$orbits" '^Umlaufbahnen$' 0.3
size_is 2000x1000 "Xft.dpi 192 beside a GDK_SCALE that is no integer"
close_expect_zero
GDK_SCALE=1 launch "$orbits" '^Umlaufbahnen$' 0.3
size_is 1000x500 "GDK_SCALE=1 before Xft.dpi 192"
close_expect_zero
