#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each one from its seed corpus for a fixed
# time (default 20 s; tools/fuzz.sh 300 for a longer run, extra names select targets).
# New inputs go to a scratch directory, never into fuzz/corpus/; a crashing input is kept in
# build-fuzz/findings/ and fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-20}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(fuzz_str_to_double fuzz_str_from_single fuzz_primitives fuzz_flood_fill
                              fuzz_line_editor fuzz_listbox fuzz_start_values)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzzers

build="$root/build-fuzz"
export UBSAN_OPTIONS=print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1
if symbolizer=$(command -v llvm-symbolizer-16 || command -v llvm-symbolizer); then
  export ASAN_SYMBOLIZER_PATH=$symbolizer
fi
findings="$build/findings"
mkdir -p "$findings"
status=0
for t in "${targets[@]}"; do
  scratch=$(mktemp -d)
  seeds="$root/fuzz/corpus/$t"
  mkdir -p "$scratch/corpus"
  echo "== fuzz: $t for $seconds s"
  if ! "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$findings/$t-" "$scratch/corpus" "$seeds" >"$scratch/log" 2>&1; then
    tail -n 60 "$scratch/log"
    echo "== fuzz: $t FAILED (input kept in $findings)"
    status=1
  else
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done )|^#[0-9]+[[:space:]]+DONE' "$scratch/log" |
      sed "s/^/   /" || true
  fi
  rm -rf "$scratch"
done
exit $status
