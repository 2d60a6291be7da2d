#!/usr/bin/env bash
# Runs the probe in a window on a private virtual X server, clicks and types into it,
# checks its pixels and closes it with a WM_DELETE_WINDOW message.
# Usage: run_probe.sh <probe> <close_window> <work dir>
set -euo pipefail
probe=$1
close_window=$2
work=$3
mkdir -p "$work"

source "$(dirname "$0")/lib.sh"

# Without a display the window cannot be made: SCREEN_OPEN returns 1 (probe exits 11).
status=0
env -u DISPLAY -u WAYLAND_DISPLAY "$probe" 2>/dev/null || status=$?
[ "$status" -eq 11 ] || fail "without a display the probe exited $status, expected 11"

start_xvfb 640x480x24
# A layout with ä on a key of its own. Otherwise xdotool binds ä to a spare key only while it
# types it, and a program that looks the key up a little later finds nothing bound to it.
setxkbmap -layout de
launch "$probe" '^Probe' 0.3

# check <x> <y> <RRGGBB> <what>: a fresh screenshot, then one pixel of it.
check() {
  shot probe
  expect probe "$@"
  echo "ok: $4"
}

check 15 15 FF0000 "red block"
check 45 25 00FF00 "green block"
check 89 29 0000FF "blue block corner"
check 90 29 202020 "background beside the blue block"

# A click is seen only while the button is down at a poll, so hold it like a person would.
xdotool mousemove --window "$wid" 150 100 mousedown 1
sleep 0.1
xdotool mouseup 1
sleep 0.3
check 150 100 FFFF00 "click marker"
check 300 180 00FF00 "button released"

xdotool mousemove --window "$wid" 100 60
xdotool click 4 click 4 click 5
sleep 0.3
check 280 180 000090 "wheel count +1"

xdotool key a Left Return Escape
xdotool key adiaeresis
sleep 0.3
check 12 152 406100 "key a"
check 22 152 40FF4B "key Left"
check 32 152 400D00 "key Enter"
check 42 152 401B00 "key Escape"
check 52 152 408400 "typed ä in code page 437"

# A drag that ends outside the window: the release must still be seen.
xdotool mousemove --window "$wid" 200 100 mousedown 1
sleep 0.3
check 300 180 FF0000 "button held"
xdotool mousemove 5 5
sleep 0.2
xdotool mouseup 1
sleep 0.2
xdotool mousemove --window "$wid" 220 120
sleep 0.3
check 300 180 00FF00 "release outside seen after return"

close_expect_zero
