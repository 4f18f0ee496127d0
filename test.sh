#!/usr/bin/env bash
# The same set-up as run.sh, but building everything, then every test, headless: with
# clang, first a short fuzzing run of the file reader and the number conversions, then
# the test suite, the core as WebAssembly in node, then the Debian package
# (scripts/check_package.sh).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build_dir="${EQCIRCLE_BUILD_DIR:-$root/build}"
# pdftoppm rasterises the printed PDF and qpdf checks the written ones; CUPS and cups-pdf
# take the print jobs; the package check needs cpack's helpers (dpkg-shlibdeps, file) and
# the validators; with clang, its sanitizer and libFuzzer runtime.
extra=(poppler-utils qpdf cups printer-driver-cups-pdf dpkg-dev file desktop-file-utils appstream lintian)
# CI fuzzes on a fresh machine too, so there clang comes with the set-up.
if [ -n "${CI:-}" ]; then extra+=(clang); fi
if [ -n "${CI:-}" ] || command -v clang++ >/dev/null 2>&1; then extra+=(libclang-rt-dev); fi
"$root/scripts/setup.sh" "${extra[@]}"

fuzz_status=0
if command -v clang++ >/dev/null 2>&1; then
  "$root/scripts/fuzz.sh" || fuzz_status=$?
fi

# The Qt-free core alone, as on a machine where Qt is not found: it builds, and its tests pass.
core_dir="${EQCIRCLE_CORE_BUILD_DIR:-$root/build-core}"
if [ ! -f "$core_dir/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$core_dir" -DEQCIRCLE_CORE_ONLY=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON >/dev/null
fi
set +e
cmake --build "$core_dir" -j"$(nproc 2>/dev/null || echo 2)" 2>&1 | grep -v -E '^\[ *[0-9]+%\] |^gmake|^Consolidate compiler'
core_status=${PIPESTATUS[0]}
set -e
[ "$core_status" -eq 0 ] || { echo "test.sh: the core-only build failed" >&2; exit "$core_status"; }
(cd "$core_dir" && ctest --output-on-failure -j"$(nproc 2>/dev/null || echo 2)")

"$root/scripts/start_cups.sh"

export QT_QPA_PLATFORM=offscreen
cd "$build_dir"
ctest --output-on-failure -j"$(nproc 2>/dev/null || echo 2)"

# The core as WebAssembly (scripts/build_web.sh), checked in node against the desktop program.
"$root/scripts/build_web.sh"
EQCIRCLE_PROGRAM="$build_dir/src/eqcircle" node --test "$root/web/tests/"
package_status=0
"$root/scripts/check_package.sh" || package_status=$?
if [ "$fuzz_status" -ne 0 ]; then
  echo "test.sh: the fuzzing run failed (see above)" >&2
  exit "$fuzz_status"
fi
exit "$package_status"
