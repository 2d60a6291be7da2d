#!/usr/bin/env bash
# Runs the planet program in a window on a private virtual X server: a click on a list entry
# animates the drawing area, Stop freezes it, and a WM_DELETE_WINDOW message ends the program
# with status 0. Screenshots stay in the work dir.
# Usage: planetensystem.sh <program> <close_window> <work dir>
set -euo pipefail
source "$(dirname "$0")/lib.sh"
program_args "$@"

start_xvfb 1024x768x24
launch "$program" '^Planetensystem$' 0.3

# Saves the drawing area (501 x 501 from (390, 10)) as <name>.png.
area() {
  import -window "$wid" "$work/$1-full.png"
  convert "$work/$1-full.png" -crop 501x501+390+10 +repage "$work/$1.png"
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

close_expect_zero
