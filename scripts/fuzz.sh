#!/usr/bin/env bash
# Builds the libFuzzer targets (the Qt-free core, with clang, address and undefined-behaviour
# sanitizers) into ./build-fuzz and runs each for a short, bounded time over its seed corpus
# in tests/data/fuzz/. A crash or a failed check fails the run; the input is kept in
# build-fuzz/artifacts/. EQCIRCLE_FUZZ_SECONDS sets the time per target (default 15).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
fuzz_dir="${EQCIRCLE_FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${EQCIRCLE_FUZZ_SECONDS:-15}"
jobs="$(nproc 2>/dev/null || echo 2)"

probe="$(mktemp -d)"
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' >"$probe/p.cpp"
if ! clang++ -fsanitize=fuzzer,address,undefined "$probe/p.cpp" -o "$probe/p" >/dev/null 2>&1; then
  echo "fuzz: skipped (clang++ cannot build libFuzzer targets here)"
  exit 0
fi

if [ ! -f "$fuzz_dir/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$fuzz_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DEQCIRCLE_CORE_ONLY=ON -DEQCIRCLE_FUZZ=ON >/dev/null
fi
set +e
cmake --build "$fuzz_dir" -j"$jobs" 2>&1 | grep -v -E '^\[ *[0-9]+%\] |^gmake|^Consolidate compiler|^-- '
status=${PIPESTATUS[0]}
set -e
[ "$status" -eq 0 ] || { echo "fuzz: the build failed" >&2; exit "$status"; }

mkdir -p "$fuzz_dir/artifacts"
for seeds in "$root"/tests/data/fuzz/*/; do
  name="fuzz_$(basename "$seeds")"
  target="$fuzz_dir/fuzz/$name"
  [ -x "$target" ] || { echo "fuzz: no target $name for $seeds" >&2; exit 1; }
  work="$fuzz_dir/corpus/$(basename "$seeds")"  # new inputs go here, never into the repository
  mkdir -p "$work"
  echo "fuzz: $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$fuzz_dir/artifacts/$name-" "$work" "$seeds" >"$fuzz_dir/$name.log" 2>&1; then
    tail -n 30 "$fuzz_dir/$name.log" >&2
    echo "fuzz: $name failed; the input is in $fuzz_dir/artifacts/" >&2
    exit 1
  fi
done
