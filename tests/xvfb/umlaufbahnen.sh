#!/usr/bin/env bash
# Runs the orbit program in a window on a private virtual X server: checks the start picture,
# the pressed face of "Simulation Start", the black drawing area with white axes and a red path,
# that Stop freezes the picture, and that a WM_DELETE_WINDOW message ends the program with
# status 0. Screenshots stay in the work dir.
# Usage: umlaufbahnen.sh <program> <close_window> <work dir>
set -euo pipefail
program=$1
close_window=$2
work=$3
mkdir -p "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }

n=110
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
export DISPLAY=":$n"
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
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
  wid=$(xdotool search --name '^Umlaufbahnen$' 2>/dev/null | head -n1) && [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || fail "the window did not appear"
xdotool windowfocus --sync "$wid"
sleep 0.5

shot() { import -window "$wid" "$work/$1.png"; }
# The colour of pixel (x, y) of a screenshot as RRGGBB.
px() { convert "$work/$1.png" -format "%[hex:p{$2,$3}]" info: | cut -c1-6; }
expect() {  # shot x y colour what
  local got
  got=$(px "$1" "$2" "$3")
  [ "$got" = "$4" ] || fail "$5: pixel ($2, $3) of $1 is $got, expected $4"
}
# Number of pixels of the drawing area (491 x 481 from (500, 10)) in colour RRGGBB.
count() {
  convert "$work/$1.png" -crop 491x481+500+10 +repage -depth 8 txt:- | grep -ci "#$2" || true
}

shot start
expect start 700 250 EEEEEE "empty drawing area"
expect start 465 58 00AAEE "Kepler entry selected"
expect start 315 135 FFFFFF "field y0"
expect start 172 225 E5E5E5 "Start button face"
echo "ok: start picture"

xdotool mousemove --window "$wid" 245 230 mousedown 1
sleep 0.4
shot pressed
expect pressed 172 225 CCCCDD "pressed Start button"
echo "ok: pressed face while held"
xdotool mouseup 1
xdotool mousemove --window "$wid" 245 300
sleep 1.0
shot run
expect run 990 490 000000 "drawing area corner"
expect run 600 400 000000 "drawing area outside the orbit"
expect run 520 249 FFFFFF "x axis"
expect run 746 470 FFFFFF "y axis"
expect run 746 89 AA0000 "first point of the path"
expect run 499 300 EEEEEE "background left of the area"
expect run 172 225 E5E5E5 "released Start button"
red=$(count run AA0000)
[ "$red" -gt 500 ] || fail "only $red path pixels"
echo "ok: black area, white axes, red path ($red pixels)"

xdotool mousemove --window "$wid" 245 260 mousedown 1
sleep 0.2
xdotool mouseup 1
xdotool mousemove --window "$wid" 245 300
sleep 0.5
shot stop1
sleep 0.5
shot stop2
d=$(compare -metric AE "$work/stop1.png" "$work/stop2.png" null: 2>&1 || true)
[ "$d" = 0 ] || fail "the picture changes after Stop ($d pixels)"
echo "ok: Stop ends the run and the path stays"

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
