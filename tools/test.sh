#!/usr/bin/env bash
# Sets up the machine, builds everything in build/ (the build tools/run.sh uses, with warnings as
# errors) and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh"
cd "$root/build"
ctest --output-on-failure -j2 --timeout 300
