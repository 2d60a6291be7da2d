#!/usr/bin/env bash
# Runs scripted sessions of both programs (headless, in-process: the programs' session tests)
# under valgrind's memcheck. Fails on any invalid access or use of undefined memory, and on
# any definitely or indirectly lost block.
# Usage: tools/valgrind.sh [build dir]   (default: build/; configured and built when missing)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
command -v valgrind >/dev/null || "$root/tools/setup.sh"
[ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target test_umlaufbahnen test_planetensystem test_window
logs=$build/valgrind
mkdir -p "$logs"

# name, executable, test filter
sessions=(
  "orbit tests/test_umlaufbahnen Session.*"
  "planets tests/test_planetensystem Program.*"
  "edges tests/test_window Edge*"
)
failed=0
for entry in "${sessions[@]}"; do
  read -r name exe filter <<<"$entry"
  log=$logs/$name.log
  start=$SECONDS
  status=0
  valgrind --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite,indirect \
    --show-leak-kinds=definite,indirect --track-origins=yes --error-exitcode=1 --log-file="$log" \
    "$build/$exe" --gtest_filter="$filter" >"$logs/$name.out" 2>&1 || status=$?
  errors=$(grep -o 'ERROR SUMMARY: [0-9]*' "$log" | tail -n1)
  definite=$(grep -o 'definitely lost: [0-9,]* bytes' "$log" | tail -n1)
  indirect=$(grep -o 'indirectly lost: [0-9,]* bytes' "$log" | tail -n1)
  # A run that freed every block prints no leak summary at all.
  grep -q 'All heap blocks were freed' "$log" && definite="definitely lost: 0 bytes" indirect="indirectly lost: 0 bytes"
  tests=$(grep -o '\[  PASSED  \] [0-9]* tests\?' "$logs/$name.out" | tail -n1 || true)
  echo "valgrind $name: $errors, ${definite:-no leak summary}, ${indirect:-no leak summary}, ${tests:-tests failed} ($((SECONDS - start)) s)"
  if [ "$status" -ne 0 ] || [ "$definite" != "definitely lost: 0 bytes" ] || [ "$indirect" != "indirectly lost: 0 bytes" ]; then
    echo "valgrind $name: FAILED (exit $status), see $log and $logs/$name.out" >&2
    failed=1
  fi
done
exit "$failed"
