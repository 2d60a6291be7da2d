#!/usr/bin/env bash
# Runs the probe in a window on a private virtual X server, clicks and types into it,
# checks its pixels and closes it with a WM_DELETE_WINDOW message.
# Usage: run_probe.sh <probe> <close_window> <work dir>
set -euo pipefail
probe=$1
close_window=$2
work=$3
mkdir -p "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }

# Without a display the window cannot be made: SCREEN_OPEN returns 1 (probe exits 11).
status=0
env -u DISPLAY -u WAYLAND_DISPLAY "$probe" 2>/dev/null || status=$?
[ "$status" -eq 11 ] || fail "without a display the probe exited $status, expected 11"

# A free display number.
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
export DISPLAY=":$n"
Xvfb "$DISPLAY" -screen 0 640x480x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
probe_pid=
cleanup() {
  [ -n "$probe_pid" ] && kill "$probe_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do
  xdotool getdisplaygeometry >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb did not start on $DISPLAY"

"$probe" &
probe_pid=$!
wid=
for _ in $(seq 100); do
  wid=$(xdotool search --name '^Probe' 2>/dev/null | head -n1) && [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || fail "the probe's window did not appear"
# There is no window manager: give the window the input focus as one would.
xdotool windowfocus --sync "$wid"
sleep 0.3

# Prints the colour of window pixel (x, y) as RRGGBB; takes a fresh screenshot first
# (the last one stays in the work directory for a look).
pixel() {
  import -window "$wid" "$work/shot.png"
  convert "$work/shot.png" -crop "1x1+$1+$2" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -n1 | tr -d '#'
}
expect() {  # expect x y RRGGBB what
  local got
  got=$(pixel "$1" "$2")
  [ "$got" = "$3" ] || fail "$4: pixel ($1, $2) is $got, expected $3"
  echo "ok: $4"
}

expect 15 15 FF0000 "red block"
expect 45 25 00FF00 "green block"
expect 89 29 0000FF "blue block corner"
expect 90 29 202020 "background beside the blue block"

# A click is seen only while the button is down at a poll, so hold it like a person would.
xdotool mousemove --window "$wid" 150 100 mousedown 1
sleep 0.1
xdotool mouseup 1
sleep 0.3
expect 150 100 FFFF00 "click marker"
expect 300 180 00FF00 "button released"

xdotool mousemove --window "$wid" 100 60
xdotool click 4 click 4 click 5
sleep 0.3
expect 280 180 000090 "wheel count +1"

xdotool key a Left Return Escape
xdotool key adiaeresis
sleep 0.3
expect 12 152 406100 "key a"
expect 22 152 40FF4B "key Left"
expect 32 152 400D00 "key Enter"
expect 42 152 401B00 "key Escape"
expect 52 152 408400 "typed ä in code page 437"

# A drag that ends outside the window: the release must still be seen.
xdotool mousemove --window "$wid" 200 100 mousedown 1
sleep 0.3
expect 300 180 FF0000 "button held"
xdotool mousemove 5 5
sleep 0.2
xdotool mouseup 1
sleep 0.2
xdotool mousemove --window "$wid" 220 120
sleep 0.3
expect 300 180 00FF00 "release outside seen after return"

"$close_window" "$wid" || fail "could not send the close message"
status=0
for _ in $(seq 50); do
  kill -0 "$probe_pid" 2>/dev/null || break
  sleep 0.1
done
wait "$probe_pid" || status=$?
probe_pid=
[ "$status" -eq 0 ] || fail "the probe exited $status after the close request"
echo "ok: closed with status 0"
