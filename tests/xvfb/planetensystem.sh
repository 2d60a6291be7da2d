#!/usr/bin/env bash
# Runs the planet program in a window on a private virtual X server: a click on a list entry
# animates the drawing area, Stop freezes it, and a WM_DELETE_WINDOW message ends the program
# with status 0. Screenshots stay in the work dir.
# Usage: planetensystem.sh <program> <close_window> <work dir>
set -euo pipefail
program=$1
close_window=$2
work=$3
mkdir -p "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }

n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
export DISPLAY=":$n"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do
  xdotool getdisplaygeometry >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb did not start on $DISPLAY"

"$program" &
program_pid=$!
wid=
for _ in $(seq 100); do
  wid=$(xdotool search --name '^Planetensystem$' 2>/dev/null | head -n1) && [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || fail "the window did not appear"
xdotool windowfocus --sync "$wid"
sleep 0.3

# Saves the drawing area (501 x 501 from (390, 10)) as <name>.png.
area() {
  import -window "$wid" "$work/$1-full.png"
  convert "$work/$1-full.png" -crop 501x501+390+10 +repage "$work/$1.png"
}
# Number of pixels in which two saved areas differ.
differ() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 || true; }
# A click held long enough for a poll that comes every 50 ms to see it.
click() {
  xdotool mousemove --window "$wid" "$1" "$2" mousedown 1
  sleep 0.2
  xdotool mouseup 1
}

area start
click 100 84  # "Alle Planeten (Merkur bis Pluto)"
sleep 0.5
area run1
sleep 0.4
area run2
d=$(differ run1 run2)
[ "$d" != 0 ] || fail "the animation does not move"
echo "ok: running frames differ in $d pixels"
[ "$(differ start run1)" != 0 ] || fail "nothing was drawn"

click 100 120  # "Simulation Stop"
sleep 0.5
area stop1
sleep 0.4
area stop2
d=$(differ stop1 stop2)
[ "$d" = 0 ] || fail "the picture changes after Stop ($d pixels)"
echo "ok: the last frame stays"

"$close_window" "$wid" || fail "could not send the close message"
for _ in $(seq 50); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$program_pid" 2>/dev/null && fail "the program still runs after the close request"
status=0
wait "$program_pid" || status=$?
program_pid=
[ "$status" -eq 0 ] || fail "the program exited $status after the close request"
echo "ok: closed with status 0"
