#!/usr/bin/env bash
# Starts the orbit program with its standard error stream closed, then asks it to terminate.
# The runtime must have put /dev/null on descriptor 2 before the window system's connection was
# made: the report of the termination request then goes nowhere, instead of into the X protocol
# stream, the program ends with status 13 and the X server keeps serving.
# Usage: closed_stderr.sh <program> <close_window> <work dir>
set -euo pipefail
source "$(dirname "$0")/lib.sh"
program_args "$@"

start_xvfb 1280x800x24
exec 3>&2 2>&-  # the program inherits a closed descriptor 2; this script keeps its stderr on 3
launch "$program" '^Umlaufbahnen$' 0.5
exec 2>&3 3>&-

target=$(readlink "/proc/$program_pid/fd/2") || fail "the program has no descriptor 2"
[ "$target" = /dev/null ] || fail "descriptor 2 of the program is $target, not /dev/null"
echo "ok: descriptor 2 is /dev/null"

kill -TERM "$program_pid"
await_end "after SIGTERM"
[ "$status" -eq 13 ] || fail "the program exited $status after SIGTERM, expected 13"
xdotool getdisplaygeometry >/dev/null || fail "the X server no longer answers"
echo "ok: status 13, the X server still answers"
