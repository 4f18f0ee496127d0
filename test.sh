#!/usr/bin/env bash
# The same set-up as run.sh, but building everything, then every test, headless: with
# clang, first a short fuzzing run of the file reader and the number conversions, then
# the test suite, then the Debian package (scripts/check_package.sh).
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

"$root/scripts/start_cups.sh"

export QT_QPA_PLATFORM=offscreen
cd "$build_dir"
ctest --output-on-failure -j"$(nproc 2>/dev/null || echo 2)"
package_status=0
"$root/scripts/check_package.sh" || package_status=$?
if [ "$fuzz_status" -ne 0 ]; then
  echo "test.sh: the fuzzing run failed (see above)" >&2
  exit "$fuzz_status"
fi
exit "$package_status"
