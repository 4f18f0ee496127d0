#!/usr/bin/env bash
# Shared set-up of run.sh and test.sh: installs what is missing (Debian 12), then
# configures and builds into ./build. A second run installs nothing and rebuilds
# only what changed. Arguments name further packages (the tests' own tools);
# EQCIRCLE_TARGETS names the targets to build (default: all), separated by blanks.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${EQCIRCLE_BUILD_DIR:-$root/build}"

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev libcups2-dev
  qt6-qpa-plugins libqt6svg6
  fonts-ipafont-gothic qt6-translations-l10n libpng-dev libwebp-dev
  xdg-utils
  libgeographiclib-dev libgtest-dev nlohmann-json3-dev
  locales
  "$@"
)

"$root/scripts/install_packages.sh" "${packages[@]}"

# A locale whose decimal point is two bytes long: the number tests run under it.
if [ "$(id -u)" -eq 0 ] && ! locale -a 2>/dev/null | grep -qix 'ps_AF\.utf-\?8'; then
  localedef -i ps_AF -f UTF-8 ps_AF.UTF-8 || echo "setup: could not generate the locale ps_AF.UTF-8" >&2
fi

jobs="$(nproc 2>/dev/null || echo 2)"
targets=()
if [ -n "${EQCIRCLE_TARGETS:-}" ]; then
  read -r -a names <<<"$EQCIRCLE_TARGETS"
  targets=(--target "${names[@]}")
fi
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
# Progress lines are dropped; warnings and errors are shown; the build's own status decides.
set +e
cmake --build "$build_dir" -j"$jobs" "${targets[@]}" 2>&1 | grep -v -E '^\[ *[0-9]+%\] |^gmake|^Consolidate compiler'
status=${PIPESTATUS[0]}
set -e
if [ "$status" -ne 0 ]; then
  echo "setup: the build failed" >&2
  exit "$status"
fi
