#!/usr/bin/env bash
# Resource use of both programs in a real window on a private virtual X server:
#   start-up: launch to the complete start picture on the screen (goal <= 150 ms), from the
#     bench_startup_* probes, median and worst of RUNS launches each, against a bare window
#     cleared to the background colour measured in the same run;
#   idle CPU: utime + stime (/proc/<pid>/stat) of the real program over IDLE_S seconds in its
#     polling loop (goal <= 2 % of one core), against the Xvfb server's own share.
# Usage: bench/bench_resources.sh [build dir]   (default: build/; RUNS=10 IDLE_S=10)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${RUNS:-10}
idle_s=${IDLE_S:-10}
cmake --build "$build" --target Umlaufbahnen Planetensystem bench_startup_bare bench_startup_orbit \
  bench_startup_planets xvfb_close_window >/dev/null
close_window=$build/tests/xvfb/xvfb_close_window
work=$(mktemp -d)
# shellcheck source=../tests/xvfb/lib.sh
. "$root/tests/xvfb/lib.sh"
trap 'cleanup; rm -rf "$work"' EXIT
start_xvfb 1280x800x24
echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"

# ---- Start-up ---------------------------------------------------------------------------------
# Median and worst of the probe's launches, in ms.
startup() {
  local probe=$1 times=() t
  for _ in $(seq "$runs"); do
    t=$("$probe" "$(date +%s%N)") || fail "$(basename "$probe") failed"
    times+=("${t#shown_ms }")
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR] = $1} END {printf "%s %s\n", a[int((NR + 1) / 2)], a[NR]}'
}
read -r bare_med bare_max < <(startup "$build/bench/bench_startup_bare")
echo "start-up bare window: median $bare_med ms, worst $bare_max ms ($runs launches)"
for program in orbit planets; do
  read -r med max < <(startup "$build/bench/bench_startup_$program")
  ratio=$(awk -v a="$med" -v b="$bare_med" 'BEGIN {printf "%.2f", a / b}')
  verdict=$(awk -v m="$max" 'BEGIN {print (m <= 150 ? "ok" : "over the 150 ms goal")}')
  echo "start-up $program: median $med ms, worst $max ms ($runs launches), median ${ratio}x the bare window: $verdict"
done

# ---- Idle CPU -------------------------------------------------------------------------------
ticks_per_s=$(getconf CLK_TCK)
# utime + stime of a process in clock ticks.
cpu_ticks() { awk '{sub(/^.*\) /, ""); print $12 + $13}' "/proc/$1/stat"; }

idle() {
  local exe=$1 title=$2 wid=
  "$exe" &
  program_pid=$!
  for _ in $(seq 100); do
    wid=$(xdotool search --name "^$title\$" 2>/dev/null | head -n1) && [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || fail "the $title window did not appear"
  sleep 1  # past the start-up
  local p0 x0 p1 x1
  p0=$(cpu_ticks "$program_pid")
  x0=$(cpu_ticks "$xvfb_pid")
  sleep "$idle_s"
  p1=$(cpu_ticks "$program_pid")
  x1=$(cpu_ticks "$xvfb_pid")
  awk -v p=$((p1 - p0)) -v x=$((x1 - x0)) -v hz="$ticks_per_s" -v s="$idle_s" -v t="$title" 'BEGIN {
    cpu = 100 * p / hz / s
    printf "idle CPU %s: %.2f %% of one core over %d s (Xvfb %.2f %%): %s\n", t, cpu, s, 100 * x / hz / s,
           cpu <= 2 ? "ok" : "over the 2 % goal"
  }'
  "$close_window" "$wid" >/dev/null || fail "could not close the $title window"
  local status=0
  wait "$program_pid" || status=$?
  program_pid=
  [ "$status" -eq 0 ] || fail "$title exited $status after the close request"
}
idle "$build/Umlaufbahnen/Umlaufbahnen" Umlaufbahnen
idle "$build/Planetensystem/Planetensystem" Planetensystem
