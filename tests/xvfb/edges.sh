#!/usr/bin/env bash
# Input at the window's edge with the orbit program in a real window on a private virtual X
# server: press on "Simulation Start", drag off the window, release out there, come back.
# The button must stay pressed while the pointer is away (the release is not yet known to the
# program), then count as exactly one click: one run that a Stop click ends for good.
# Screenshots stay in the work dir.
# Usage: edges.sh <program> <close_window> <work dir>
set -euo pipefail
source "$(dirname "$0")/lib.sh"
program_args "$@"

start_xvfb 1280x800x24
launch "$program" '^Umlaufbahnen$' 0.5

# A screen point off the window: right of it, or left of it when it reaches the screen's edge.
eval "$(xdotool getwindowgeometry --shell "$wid")"
read -r screen_w _ < <(xdotool getdisplaygeometry)
if [ $((X + WIDTH + 40)) -lt "$screen_w" ]; then out_x=$((X + WIDTH + 20)); else out_x=$((X - 20)); fi
[ "$out_x" -ge 0 ] || fail "no room beside the window"
out_y=$((Y + 100))


xdotool mousemove --window "$wid" 245 230 mousedown 1
sleep 0.3
xdotool mousemove "$out_x" "$out_y"
sleep 0.3
xdotool mouseup 1
sleep 0.5
shot away
expect away 172 225 CCCCDD "Start button while the pointer is off the window"
expect away 700 250 EEEEEE "drawing area before the click is complete"
echo "ok: released off the window, the click waits for the pointer"

xdotool mousemove --window "$wid" 245 300
sleep 1.0
shot back
expect back 172 225 E5E5E5 "Start button after the pointer came back"
expect back 600 400 000000 "drawing area of the run"
red=$(count back 491x481+500+10 AA0000)
[ "$red" -gt 100 ] || fail "only $red path pixels"
echo "ok: one click started the run ($red path pixels)"

click 245 260 0  # Simulation Stop
xdotool mousemove --window "$wid" 245 300
sleep 0.5
expect_still "a second click restarted the run"
echo "ok: Stop ends the only run"

close_expect_zero
