#!/usr/bin/env bash
# Input at the window's edge with the orbit program in a real window on a private virtual X
# server: press on "Simulation Start", drag off the window, release out there, come back.
# The button must stay pressed while the pointer is away (the release is not yet known to the
# program), then count as exactly one click: one run that a Stop click ends for good.
# Screenshots stay in the work dir.
# Usage: edges.sh <program> <close_window> <work dir>
set -euo pipefail
program=$1
close_window=$2
work=$3
mkdir -p "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }

n=150
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

# A screen point off the window: right of it, or left of it when it reaches the screen's edge.
eval "$(xdotool getwindowgeometry --shell "$wid")"
read -r screen_w _ < <(xdotool getdisplaygeometry)
if [ $((X + WIDTH + 40)) -lt "$screen_w" ]; then out_x=$((X + WIDTH + 20)); else out_x=$((X - 20)); fi
[ "$out_x" -ge 0 ] || fail "no room beside the window"
out_y=$((Y + 100))

shot() { import -window "$wid" "$work/$1.png"; }
px() { convert "$work/$1.png" -format "%[hex:p{$2,$3}]" info: | cut -c1-6; }
expect() {  # shot x y colour what
  local got
  got=$(px "$1" "$2" "$3")
  [ "$got" = "$4" ] || fail "$5: pixel ($2, $3) of $1 is $got, expected $4"
}
count() {
  convert "$work/$1.png" -crop 491x481+500+10 +repage -depth 8 txt:- | grep -ci "#$2" || true
}

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
red=$(count back AA0000)
[ "$red" -gt 100 ] || fail "only $red path pixels"
echo "ok: one click started the run ($red path pixels)"

xdotool mousemove --window "$wid" 245 260 mousedown 1
sleep 0.2
xdotool mouseup 1
xdotool mousemove --window "$wid" 245 300
sleep 0.5
shot stop1
sleep 0.7
shot stop2
d=$(compare -metric AE "$work/stop1.png" "$work/stop2.png" null: 2>&1 || true)
[ "$d" = 0 ] || fail "the picture changes after Stop ($d pixels): a second click restarted the run"
echo "ok: Stop ends the only run"

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
