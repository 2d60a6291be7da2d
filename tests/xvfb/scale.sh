#!/usr/bin/env bash
# The desktop's scale: GDK_SCALE when it is an integer >= 1, otherwise 2 from an Xft.dpi of
# 192 or more, otherwise 1, as far as the screen holds the window. At scale 2 the window shows
# each surface pixel as a 2x2 block of the unscaled picture, and a click at window pixel
# (2x+1, 2y+1) reaches surface pixel (x, y).
# Usage: scale.sh <Umlaufbahnen> <probe> <close_window> <work dir>
set -euo pipefail
orbits=$1
probe=$2
close_window=$3
work=$4
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

# The probe marks a click at (x, y) with a yellow square x-2..x+2, y-2..y+2: at scale 2 the
# window pixels 2x-4..2x+5 (likewise in y).
GDK_SCALE=2 launch "$probe" '^Probe' 0.3
size_is 640x400 "the probe at GDK_SCALE=2"
xdotool mousemove --window "$wid" 301 201 mousedown 1  # surface pixel (150, 100)
sleep 0.1
xdotool mouseup 1
sleep 0.3
shot click
for p in "296 196" "305 205" "296 205" "305 196"; do
  expect click $p FFFF00 "marker corner at window ($p)"
done
for p in "295 200" "306 200" "300 195" "300 206"; do
  expect click $p 202020 "background beside the marker at window ($p)"
done
echo "ok: a click at window (301, 201) reaches surface pixel (150, 100)"
close_expect_zero
