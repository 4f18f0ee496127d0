#!/usr/bin/env bash
# Whole-process time of `eqcircle render examples/recent.txt --date 2025-1-1 --out x.png`
# for two or more builds, taking turns, so that they meet the machine in the same states:
# how a change of the render process was measured (README, Performance). Medians of N runs.
#   bench/compare_render.sh N BUILD_DIR BUILD_DIR...
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="$1"
shift
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
declare -A times
for ((i = 0; i < runs; i++)); do
  for build in "$@"; do
    start=${EPOCHREALTIME//[!0-9]/}
    "$build/src/eqcircle" render "$root/examples/recent.txt" --date 2025-1-1 --out "$work/x.png" >/dev/null
    end=${EPOCHREALTIME//[!0-9]/}
    times[$build]+="$((end - start)) "
  done
done
for build in "$@"; do
  printf '%s: ' "$build"
  printf '%s\n' ${times[$build]} | sort -n |
    awk '{a[NR] = $1} END {printf "median %.1f ms (quartiles %.1f, %.1f)\n", a[int((NR + 1) / 2)] / 1000, a[int((NR + 3) / 4)] / 1000, a[int((3 * NR + 1) / 4)] / 1000}'
done
