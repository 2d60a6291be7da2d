#!/usr/bin/env bash
# Runs the orbit program in a window on a private virtual X server: checks the start picture,
# the pressed face of "Simulation Start", the black drawing area with white axes and a red path,
# that Stop freezes the picture, that taps (press and release at once) choose a list row and
# start and stop a run, and that a WM_DELETE_WINDOW message ends the program with status 0 even
# with the pointer resting on the list.
# Screenshots stay in the work dir.
# Usage: umlaufbahnen.sh <program> <close_window> <work dir>
set -euo pipefail
source "$(dirname "$0")/lib.sh"
program_args "$@"

start_xvfb 1280x800x24
launch "$program" '^Umlaufbahnen$' 0.5

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
# The path grows as fast as the machine computes it: wait for a good part of it (longer on a
# loaded machine or under a sanitizer).
for _ in $(seq 20); do
  sleep 0.5
  shot run
  [ "$(count run 491x481+500+10 AA0000)" -gt 500 ] && break
done
expect run 990 490 000000 "drawing area corner"
expect run 600 400 000000 "drawing area outside the orbit"
expect run 520 249 FFFFFF "x axis"
expect run 746 470 FFFFFF "y axis"
expect run 746 89 AA0000 "first point of the path"
expect run 499 300 EEEEEE "background left of the area"
expect run 172 225 E5E5E5 "released Start button"
red=$(count run 491x481+500+10 AA0000)
[ "$red" -gt 500 ] || fail "only $red path pixels"
echo "ok: black area, white axes, red path ($red pixels)"

click 245 260 0  # Simulation Stop
xdotool mousemove --window "$wid" 245 300
sleep 0.5
expect_still "after Stop"
echo "ok: Stop ends the run and the path stays"

tap 100 105  # the oscillator, the list's last row
shot chosen
expect chosen 465 106 00AAEE "oscillator entry selected by a tap"
expect chosen 465 58 FFFFFF "Kepler entry no longer selected"
echo "ok: a tap chooses a list row"
tap 245 230 1.0  # Simulation Start: the oscillator's path replaces the Kepler path
shot tapped
[ "$(differ chosen tapped 491x481+500+10)" != 0 ] || fail "a tap on Start does not start a run"
tap 245 260 0  # Simulation Stop
xdotool mousemove --window "$wid" 245 300
sleep 0.5
expect_still "after a tap on Stop"
echo "ok: taps start and stop a run"

# The close request with the pointer resting on the list: the list's poll must leave it for
# the program's close test.
xdotool mousemove --window "$wid" 100 90
sleep 0.3

close_expect_zero
