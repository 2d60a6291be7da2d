#!/usr/bin/env bash
# Builds and runs the whole test suite under each sanitizer preset (default: asan and tsan).
# The sanitizer options come from the presets, so the program's own fault reports still work.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
presets=("$@")
((${#presets[@]})) || presets=(asan tsan)
for preset in "${presets[@]}"; do
  echo "== sanitize: $preset"
  start=$SECONDS
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
  echo "== sanitize: $preset passed in $((SECONDS - start)) s"
done
