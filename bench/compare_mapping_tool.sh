#!/usr/bin/env bash
# Whole-process time of `eqcircle render examples/recent.txt --date 2025-1-1 --out x.png`
# against a general mapping tool (GMT) drawing a comparable map: the same region in a
# sinusoidal projection about 135 deg E, filled land with coast lines, a 10-degree
# graticule with labels, and six red circles, as a PNG of about the same size.
# Medians of N runs each (default 15, taken in turns), and their ratio. GMT comes from Debian
# (packages gmt and gmt-gshhg-low); the script installs them when it runs as root.
#   bench/compare_mapping_tool.sh [BUILD_DIR] [N]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
runs="${2:-15}"
eqcircle="$build/src/eqcircle"
[ -x "$eqcircle" ] || { echo "compare: build eqcircle first ($eqcircle)" >&2; exit 1; }
if ! command -v gmt >/dev/null 2>&1; then
  if [ "$(id -u)" -eq 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends gmt gmt-gshhg-low ghostscript >/dev/null
  else
    echo "compare: install gmt and gmt-gshhg-low (Debian) first" >&2
    exit 1
  fi
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The six volcanoes of examples/recent.txt with the diameters of their circles for
# 2025-1-1 (km; GMT's -SE- symbol takes the diameter).
cat >"$work/circles.txt" <<'DATA'
138.53 36.64 333.96
137.48 35.89 224.42
140.88 27.25 202.08
131.10 32.88 551.40
130.88 31.91 138.66
130.22 30.44 243.36
DATA

elapsed_us() {  # runs "$@" once, prints its wall time in microseconds
  # Timed with bash's own clock ($EPOCHREALTIME in microseconds, whatever the locale's
  # decimal sign): a `date` process on either side would add its own start-up.
  local start end
  start=${EPOCHREALTIME//[!0-9]/}
  "$@" >/dev/null 2>&1
  end=${EPOCHREALTIME//[!0-9]/}
  echo $((end - start))
}

median_ms() {  # the median of the microsecond figures given, in ms
  printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'
}

render() { "$eqcircle" render "$root/examples/recent.txt" --date 2025-1-1 --out "$work/x.png"; }
# GMT 6 as its manual shows it (modern mode): one session, the coast at intermediate
# resolution (close to the 1:10m coast of our background map), the circles, a PNG at
# 96 dpi. GMT keys its session to the calling shell, so the last command must not be
# exec'd by bash in place of the shell: hence the trailing `true`.
mapping_tool() {
  (
    cd "$work"
    rm -f map.png
    bash -c 'gmt begin map png E96; gmt coast -R110/160/20/50 -JI135/30c -Gwheat -Wthinnest -B10g10 -Di;
             gmt plot circles.txt -SE- -W1p,red; gmt end; true' >/dev/null 2>&1
  )
  [ -s "$work/map.png" ]
}

render >/dev/null  # warm the caches of both once
mapping_tool || { echo "compare: GMT did not draw its map" >&2; exit 1; }
# The two take turns, so that both meet the machine in the same states.
ours=()
theirs=()
for ((i = 0; i < runs; i++)); do
  ours+=("$(elapsed_us render)")
  theirs+=("$(elapsed_us mapping_tool)")
done
ours=$(median_ms "${ours[@]}")
theirs=$(median_ms "${theirs[@]}")
echo "eqcircle render (whole process, median of $runs): $ours ms"
echo "GMT comparable map (whole process, median of $runs): $theirs ms"
awk -v a="$ours" -v b="$theirs" 'BEGIN {printf "ratio: %.3f\n", a / b}'
