#!/usr/bin/env bash
# Runs the widget gallery in a window on a private virtual X server: ticks a check box, drags
# the track bar, answers the input box and the message box, checks that each dialog leaves the
# picture behind it as it was, types a burst of keys at machine speed into a field, and closes
# the window with a WM_DELETE_WINDOW message.
# Screenshots stay in the work dir.
# Usage: gallery.sh <program> <close_window> <work dir>
set -euo pipefail
source "$(dirname "$0")/lib.sh"
program_args "$@"

start_xvfb 1024x768x24
launch "$program" '^Widget Gallery$' 0.5

shot start
expect start 575 44 E5E5E5 "track bar knob at 0"
expect start 572 80 00AAEE "one-pixel progress bar"
expect start 400 165 0055AA "panel title bar"
expect start 335 35 00AAEE "first list row selected"
echo "ok: start picture"

click 40 136  # "Grid"
shot checked
[ "$(differ start checked 130x20+20+126)" != 0 ] || fail "the check box did not change"
echo "ok: check box"

xdotool mousemove --window "$wid" 675 44 mousedown 1
sleep 0.3
xdotool mousemove --window "$wid" 775 44
sleep 0.3
xdotool mouseup 1
sleep 0.2
shot dragged
expect dragged 775 44 E5E5E5 "knob at 100"
expect dragged 778 80 00AAEE "full progress bar"
expect dragged 779 80 FFFFFF "white column before the border"
echo "ok: the track bar drives the progress bar"

click 60 44  # "Input box..."
shot input
expect input 300 115 0055AA "input box title bar"
expect input 380 210 E5E5E5 "Ok button face"
click 530 180  # the field, cursor after "Hello"
xdotool type --delay 60 " xvfb"
xdotool key Return
sleep 0.2
click 400 210  # "Ok"
shot after_input
d=$(differ dragged after_input 301x121+250+110)
[ "$d" = 0 ] || fail "the input box left $d pixels changed behind it"
[ "$(differ dragged after_input 190x20+100+246)" != 0 ] || fail "the text field did not take the answer"
echo "ok: input box answered and gone"

click 200 44  # "Message box..."
shot message
expect message 300 125 0055AA "message box title bar"
click 290 190  # "No"
shot after_message
d=$(differ after_input after_message 361x91+220+120)
[ "$d" = 0 ] || fail "the message box left $d pixels changed behind it"
[ "$(differ after_input after_message 270x20+20+66)" != 0 ] || fail "the answer label did not change"
echo "ok: message box answered and gone"

# Twenty letters typed at machine speed arrive whole: the field then looks as when they are
# typed slowly.
retype() {
  click 280 256 0.1  # the text field, cursor at the end
  xdotool key --delay 20 End
  xdotool key --delay 20 --repeat 25 BackSpace
  xdotool type --delay "$1" abcdefghijklmnopqrst
  sleep 0.3
  xdotool key Return
  sleep 0.2
}
retype 0
shot burst
retype 40
shot typed
[ "$(differ after_message typed 190x20+100+246)" != 0 ] || fail "the text field did not take the letters"
d=$(differ burst typed 190x20+100+246)
[ "$d" = 0 ] || fail "keys typed at machine speed were lost ($d pixels differ)"
echo "ok: a burst of keys arrives whole"

close_expect_zero
