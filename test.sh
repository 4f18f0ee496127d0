#!/usr/bin/env bash
# The same set-up as run.sh, then every test, headless.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build_dir="${EQCIRCLE_BUILD_DIR:-$root/build}"
"$root/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
cd "$build_dir"
ctest --output-on-failure -j"$(nproc 2>/dev/null || echo 2)"
# With clang: a short fuzzing run of the file reader and the number conversions.
if command -v clang++ >/dev/null 2>&1; then
  "$root/scripts/fuzz.sh"
fi
