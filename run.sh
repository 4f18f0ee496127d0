#!/usr/bin/env bash
# Installs what is missing, builds, and starts 地震サークル; arguments pass through
# (for example: ./run.sh render examples/kyushu.txt --date 2025-1-1 --out sheet.png).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# Only the program and its background map: the tests are test.sh's business.
EQCIRCLE_TARGETS="eqcircle background_map" "$root/scripts/setup.sh"
exec "${EQCIRCLE_BUILD_DIR:-$root/build}/src/eqcircle" "$@"
