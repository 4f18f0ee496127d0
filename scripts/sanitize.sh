#!/usr/bin/env bash
# The test suite once more, built with AddressSanitizer and UndefinedBehaviorSanitizer
# (the system compiler) into ./build-asan: an out-of-bounds access, a use after free, a
# leak or undefined behaviour fails the test it happens in. CI calls this after
# ./test.sh, which has installed the packages and started CUPS; it takes a few minutes
# more than test.sh, so developers run it when they want to.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
asan_dir="${EQCIRCLE_ASAN_BUILD_DIR:-$root/build-asan}"
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

# setup.sh configures a new build folder with CXXFLAGS and LDFLAGS from the environment.
CXXFLAGS="$sanitizers" LDFLAGS="$sanitizers" EQCIRCLE_BUILD_DIR="$asan_dir" "$root/scripts/setup.sh"

export QT_QPA_PLATFORM=offscreen
# Leak detection stays on: Qt leaves nothing behind that it reports in these tests.
# One test preloads a small library into eqcircle (a process that must never make a
# widget); the sanitizer's runtime then is not first among the libraries, which is fine.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_stack_use_after_return=1:check_initialization_order=1:verify_asan_link_order=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
cd "$asan_dir"
ctest --output-on-failure -j"$(nproc 2>/dev/null || echo 2)"
