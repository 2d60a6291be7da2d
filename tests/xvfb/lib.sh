# Shared by the real-window test scripts: a private virtual X server, the program's window,
# screenshots and pixel checks, clicks, and the close a window manager would send.
# A script sources this file, sets `work` and `close_window` (most through program_args), then
# calls start_xvfb and launch.

fail() { echo "FAIL: $*" >&2; exit 1; }

# program_args <program> <close_window> <work dir>: the arguments most scripts take; makes the
# work dir.
program_args() {
  program=$1
  close_window=$2
  work=$3
  mkdir -p "$work"
}

program_pid=
xvfb_pid=
cleanup() {
  # The program first: without its display it would end with a report of its own.
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null && wait "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# start_xvfb <screen geometry WxHxD>: a server of our own on a display it picks itself (so tests
# running side by side never share one), kept from resetting when its first client leaves (a
# reset while the program connects would refuse the program's window).
start_xvfb() {
  rm -f "$work/.display"  # a number left by an earlier server would be read before the new one's
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$work/.display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/.display" ] && break
    sleep 0.1
  done
  [ -s "$work/.display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$work/.display")"
  for _ in $(seq 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  fail "Xvfb did not answer on $DISPLAY"
}

# launch <program> <window title regex> <settle seconds> [stderr file]: starts it and sets `wid`.
launch() {
  if [ $# -ge 4 ]; then "$1" 2>"$4" & else "$1" & fi
  program_pid=$!
  wid=
  for _ in $(seq 100); do
    wid=$(xdotool search --name "$2" 2>/dev/null | head -n1) && [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || fail "the window did not appear"
  # There is no window manager: give the window the input focus as one would.
  xdotool windowfocus --sync "$wid"
  sleep "$3"
}

# shot <name>: saves the window as <name>.png in the work dir (they stay there for a look).
shot() { import -window "$wid" "$work/$1.png"; }
# px <name> <x> <y>: the colour of a pixel of a screenshot as RRGGBB.
px() { convert "$work/$1.png" -format "%[hex:p{$2,$3}]" info: | cut -c1-6; }
# expect <name> <x> <y> <RRGGBB> <what>
expect() {
  local got
  got=$(px "$1" "$2" "$3")
  [ "$got" = "$4" ] || fail "$5: pixel ($2, $3) of $1 is $got, expected $4"
}
# differ <a> <b> [WxH+X+Y]: the number of pixels in which two screenshots (or a region) differ.
differ() {
  if [ $# -ge 3 ]; then
    convert "$work/$1.png" -crop "$3" +repage "$work/.a.png"
    convert "$work/$2.png" -crop "$3" +repage "$work/.b.png"
    compare -metric AE "$work/.a.png" "$work/.b.png" null: 2>&1 || true
  else
    compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 || true
  fi
}
# count <name> <WxH+X+Y> <RRGGBB>: the number of pixels of that colour in a region.
count() {
  convert "$work/$1.png" -crop "$2" +repage -depth 8 txt:- | grep -ci "#$3" || true
}
# click <x> <y> [after]: a press held long enough for a loop that polls every 50 ms.
click() {
  xdotool mousemove --window "$wid" "$1" "$2" mousedown 1
  sleep 0.2
  xdotool mouseup 1
  sleep "${3:-0.2}"
}

# tap <x> <y> [after]: a press and its release at once, as a touchpad's tap gives them.
tap() {
  xdotool mousemove --window "$wid" "$1" "$2" click 1
  sleep "${3:-0.3}"
}

# await_end <what>: the program ends within 2 s (3 s under ThreadSanitizer, which waits 1 s
# before every exit to catch races among the exit handlers); sets `status` to its exit status.
await_end() {
  local tries=20
  [ -n "${TSAN_OPTIONS:-}" ] && tries=30
  for _ in $(seq "$tries"); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$program_pid" 2>/dev/null && fail "$1: the program still runs $((tries / 10)) s later"
  status=0
  wait "$program_pid" || status=$?
  program_pid=
}

# expect_still <what>: two screenshots 0.6 s apart must be identical.
expect_still() {
  shot still1
  sleep 0.6
  shot still2
  local d
  d=$(differ still1 still2)
  [ "$d" = 0 ] || fail "the picture changes ($d pixels): $1"
}

# close_expect_zero: closes the window like a window manager; the program must end with status 0.
close_expect_zero() {
  "$close_window" "$wid" || fail "could not send the close message"
  for _ in $(seq 50); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$program_pid" 2>/dev/null && fail "the program still runs after the close request"
  local status=0
  wait "$program_pid" || status=$?
  program_pid=
  [ "$status" -eq 0 ] || fail "the program exited $status after the close request"
  echo "ok: closed with status 0"
}
