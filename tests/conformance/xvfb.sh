#!/usr/bin/env bash
# Plays every conformance session on the desktop backend: the probe in a window on a private
# Xvfb, each script line turned into xdotool commands, the probe's lines read from its standard
# output and the window captured with import; `conformance check` judges each session. Every
# session is played at the desktop scales 1 and 2.
# Usage: xvfb.sh <probe> <conformance> <close_window> <sessions dir> <work dir>
set -euo pipefail
probe=$1
conformance=$2
close_window=$3
sessions=$4
work=$5
mkdir -p "$work"
source "$(dirname "$0")/../xvfb/lib.sh"

start_xvfb 1280x800x24
# A layout with ä, ö, ü and ß on keys of their own. Otherwise xdotool binds them to a spare key
# only while it types them, and a program that looks the key up a little later finds nothing.
setxkbmap -layout de

# The window's place and scale, set by start_probe.
wx=0 wy=0 k=1

# start_probe <log>: the probe, with its window away from the screen's corner (so that points
# left of and above it are on the screen) and focused, once it has reported that it is open.
start_probe() {
  launch "$probe" '^Conformance probe' 0 >"$1"
  # The title in code page 437 becomes UTF-8 on the way.
  [ "$(xdotool getwindowname "$wid")" = "Conformance probe ä" ] || fail "title: $(xdotool getwindowname "$wid")"
  xdotool windowmove --sync "$wid" 100 100 windowfocus --sync "$wid"
  local WIDTH X Y
  eval "$(xdotool getwindowgeometry --shell "$wid" | grep -E '^(WIDTH|X|Y)=')"
  wx=$X wy=$Y k=$((WIDTH / 320))
  for _ in $(seq 100); do
    grep -q '^open ' "$1" && return 0
    sleep 0.1
  done
  fail "the probe did not report that it is open"
}

# to <x> <y>: the pointer to the middle of surface pixel (x, y), also outside the window.
to() { xdotool mousemove $((wx + $1 * k + k / 2)) $((wy + $2 * k + k / 2)); }
# The X buttons of the surface's button bits 1, 2 and 4.
button() { case ${1:-1} in 1) echo 1 ;; 2) echo 3 ;; 4) echo 2 ;; esac; }
# The X key name of a script's key name.
key() {
  case $1 in
    enter) echo Return ;; backspace) echo BackSpace ;; pageup) echo Prior ;; pagedown) echo Next ;;
    f[0-9]*) echo "F${1#f}" ;;
    *) echo "${1^}" ;;
  esac
}

# pause <ms>
pause() { sleep "$(printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)))"; }

# play <session> <shot dir>: one line after the other, the time between two lines (from 50 ms
# to 1 s) apart.
play() {
  local shots=$2 t verb rest last=
  while IFS= read -r line || [ -n "$line" ]; do
    [[ $line =~ ^[0-9] ]] || continue
    read -r t verb rest <<<"$line"
    t=${t%.*}
    if [ -n "$last" ]; then
      local wait=$((t - last))
      ((wait < 50)) && wait=50
      ((wait > 1000)) && wait=1000
      pause "$wait"
    fi
    last=$t
    local a=()
    read -r -a a <<<"$rest"
    case $verb in
      click)
        local hold=${a[2]:-100}
        to "${a[0]}" "${a[1]}"; xdotool mousedown 1; pause "${hold%.*}"; xdotool mouseup 1 ;;
      move) to "${a[0]}" "${a[1]}" ;;
      leave) xdotool mousemove 0 0 ;;
      press) xdotool mousedown "$(button "${a[0]:-}")" ;;
      release) xdotool mouseup "$(button "${a[0]:-}")" ;;
      wheel)
        local b=4 n=${a[0]}
        ((n < 0)) && b=5 n=$((-n))
        for _ in $(seq "$n"); do xdotool click "$b"; sleep 0.03; done ;;
      key) xdotool key "$(key "${a[0]}")" ;;
      type) xdotool type --delay 40 "${line#* type }" ;;
      shot) sleep 0.3; import -window "$wid" -depth 8 "$shots/${a[0]%.png}.ppm" ;;
      close) "$close_window" "$wid" ;;
    esac
  done <"$1"
}

failed=0
for scale in 1 2; do
  for session in "$sessions"/*.txt; do
    name=$(basename "$session" .txt)
    dir="$work/$name-$scale"
    rm -rf "$dir" && mkdir -p "$dir"
    GDK_SCALE=$scale start_probe "$dir/log"
    [ "$k" = "$scale" ] || fail "$name: the window has scale $k at GDK_SCALE=$scale"
    play "$session" "$dir"
    await_end "$name"
    [ "$status" = 0 ] || { echo "FAIL: $name: the probe exited $status"; failed=1; }
    "$conformance" check "$session" "$dir/log" "$dir" || failed=1
  done
done
exit "$failed"
