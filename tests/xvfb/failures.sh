#!/usr/bin/env bash
# How the programs end when the window system fails them: without a display (or a Wayland
# server), and when the X server goes away while the window is made, with few file descriptors,
# while idle, during an orbit run and during the planet animation, and when a write to the
# server fails with EPIPE (and SIGPIPE) during the animation.
# Each ends within 2 s with status 1 and, on stderr, the runtime report of error 1 and nothing else.
# Usage: failures.sh <Umlaufbahnen> <Planetensystem> <work dir> <epipe writev shim>
set -euo pipefail
orbits=$1
planets=$2
work=$3
epipe_shim=$4
mkdir -p "$work"
source "$(dirname "$0")/lib.sh"

# expect_report <stderr file> <what>: the file holds exactly one report of error 1.
expect_report() {
  local text
  text=$(cat "$1"; echo .)  # the dot keeps the report's closing newlines
  local head=$'\n''Aborting due to runtime error 1 \(illegal function call\)'
  local tail=$'\n\n''\.$'
  [[ $text =~ ^${head}(" at line "[0-9]+" of "|" in ")[A-Za-z/]+::[A-Za-z_0-9]+\(\)${tail} ]] ||
    fail "$2: stderr is not exactly the report of error 1: $(od -c "$1" | head -n 8)"
}

# ends_with_report <what>: the program ends in time, with status 1 and the report.
ends_with_report() {
  await_end "$1"
  [ "$status" -eq 1 ] || fail "$1: exit status $status, expected 1"
  expect_report "$work/stderr" "$1"
  echo "ok: $1 ends with the report"
}

# lose_display <what>: the X server goes away now.
lose_display() {
  kill "$xvfb_pid"
  ends_with_report "$1"
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=
}

env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR "$orbits" 2>"$work/stderr" &
program_pid=$!
ends_with_report "no display"

# The Wayland driver asked for where no Wayland server runs: its library's complaint stays off
# stderr, where only the report belongs.
env -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR SDL_VIDEODRIVER=wayland "$orbits" 2>"$work/stderr" &
program_pid=$!
ends_with_report "no Wayland server"

# The window is being made: the server goes before, while or just after the program connects.
for delay in 0.02 0.1 0.3; do
  start_xvfb 1280x800x24
  "$orbits" 2>"$work/stderr" &
  program_pid=$!
  sleep "$delay"
  lose_display "display lost $delay s after the start"
done

start_xvfb 1280x800x24
# No room for the window thread's stack (1 GB each within 600 MB of address space): that is no
# window either. The sanitizers' runtimes reserve more address space than that by themselves.
if [ -z "${ASAN_OPTIONS:-}${TSAN_OPTIONS:-}" ]; then
  (ulimit -s 1000000 -v 600000 && exec "$orbits") 2>"$work/stderr" &
  program_pid=$!
  ends_with_report "no thread for the window"
fi

# Five file descriptors leave none for the window system's locale tables once it holds its
# connections: the title must be set all the same (launch finds the window by it).
if [ -z "${ASAN_OPTIONS:-}${TSAN_OPTIONS:-}" ]; then
  cat >"$work/orbits_few_files" <<EOF
#!/usr/bin/env bash
# Only stdin, stdout and stderr open, as from a terminal.
for fd in /proc/\$\$/fd/*; do n=\${fd##*/}; [ "\$n" -gt 2 ] && eval "exec \$n>&-"; done
ulimit -n 5 && exec "$orbits"
EOF
  chmod +x "$work/orbits_few_files"
  launch "$work/orbits_few_files" '^Umlaufbahnen$' 0.5 "$work/stderr"
  lose_display "display lost with five file descriptors"
  start_xvfb 1280x800x24
fi

launch "$orbits" '^Umlaufbahnen$' 0.5 "$work/stderr"
lose_display "display lost while idle"

start_xvfb 1280x800x24
launch "$orbits" '^Umlaufbahnen$' 0.5 "$work/stderr"
click 245 230 0.5  # Simulation Start
lose_display "display lost during an orbit run"

start_xvfb 1024x768x24
launch "$planets" '^Planetensystem$' 0.3 "$work/stderr"
click 100 84 0.5  # "Alle Planeten (Merkur bis Pluto)"
lose_display "display lost during the animation"

# A write to the server fails as on a server gone mid-frame: EPIPE and a SIGPIPE for the writing
# thread. The window thread blocks SIGPIPE, so the failed write reaches the lost-display report
# instead of the signal ending the program with status 141. The shim is not the sanitizers'
# runtime, which would otherwise insist on coming first.
start_xvfb 1024x768x24
rm -f "$work/epipe"
cat >"$work/planets_epipe" <<EOF
#!/bin/sh
export PHYS_EPIPE_TRIGGER="$work/epipe" LD_PRELOAD="$epipe_shim"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
exec "$planets"
EOF
chmod +x "$work/planets_epipe"
launch "$work/planets_epipe" '^Planetensystem$' 0.3 "$work/stderr"
click 100 84 0.5  # "Alle Planeten (Merkur bis Pluto)": the window thread writes every frame
touch "$work/epipe"
ends_with_report "a write to the display fails with EPIPE during the animation"
