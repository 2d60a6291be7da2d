#!/usr/bin/env bash
# Input at the window's edge with the orbit program in a real window on a private virtual X
# server, the window at (0, 0): press on "Simulation Start" and drag off the window.
# - Let go out there: the window still sees the release, the button comes up and no run starts,
#   not even when the pointer passes back over the window; the close request still works.
# - Still held out there: the close request ends the program.
# - Brought back and let go over another widget: one click, one run that a Stop click ends.
# Screenshots stay in the work dir.
# Usage: edges.sh <program> <close_window> <work dir>
set -euo pipefail
source "$(dirname "$0")/lib.sh"
program_args "$@"

# launch_at_origin: the orbit program, its window moved to the screen's top-left corner.
launch_at_origin() {
  launch "$program" '^Umlaufbahnen$' 0.5
  xdotool windowmove --sync "$wid" 0 0
  sleep 0.3
}

start_xvfb 1280x800x24
launch_at_origin
shot before
xdotool mousemove 245 230 mousedown 1 sleep 0.2 mousemove 1200 900 sleep 0.2 mouseup 1
sleep 0.3
shot let_go
expect let_go 172 225 E5E5E5 "Start button after the release off the window"
xdotool mousemove 700 300
sleep 0.5
shot back
[ "$(differ before back 491x481+500+10)" = 0 ] || fail "a run started after the release off the window"
echo "ok: a release off the window starts no run"
close_expect_zero

launch_at_origin
xdotool mousemove 245 230 mousedown 1 sleep 0.2 mousemove 1200 900
sleep 0.2
close_expect_zero
xdotool mouseup 1
echo "ok: the close request ends the wait for a release off the window"

launch_at_origin
xdotool mousemove 245 230 mousedown 1 sleep 0.2 mousemove 1200 900 sleep 0.2 mousemove 100 90
sleep 0.2
shot held
expect held 172 225 CCCCDD "Start button while held"
xdotool mouseup 1
sleep 1.0
shot run
expect run 172 225 E5E5E5 "Start button after the release"
expect run 600 400 000000 "drawing area of the run"
red=$(count run 491x481+500+10 AA0000)
[ "$red" -gt 100 ] || fail "only $red path pixels"
echo "ok: let go back in the window, one click started the run ($red path pixels)"

click 245 260 0  # Simulation Stop
xdotool mousemove 245 300
sleep 0.5
expect_still "a second click restarted the run"
echo "ok: Stop ends the only run"

close_expect_zero
