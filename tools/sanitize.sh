#!/usr/bin/env bash
# Builds and runs the whole test suite under each sanitizer preset (default: asan, its
# real-window part asan-window, and tsan).
# The sanitizer options come from the presets, so the program's own fault reports still work.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
presets=("$@")
((${#presets[@]})) || presets=(asan asan-window tsan)
for preset in "${presets[@]}"; do
  echo "== sanitize: $preset"
  start=$SECONDS
  # Test presets without a build of their own (asan-window) use their configure preset's build.
  config=${preset%-window}
  cmake --preset "$config" >/dev/null
  cmake --build --preset "$config"
  ctest --preset "$preset"
  echo "== sanitize: $preset passed in $((SECONDS - start)) s"
done
