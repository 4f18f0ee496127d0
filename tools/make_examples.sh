#!/usr/bin/env bash
# Writes the example eruption data files in examples/ from a table of historical
# eruptions (tab-separated: name, year, month, day, latitude N, longitude E, note),
# in the program's own file format: ten record lines, Shift-JIS, CR LF, rows without
# a volcano written as empty rows.
#   tools/make_examples.sh [eruptions.tsv]     (default: ../shared/data/japan-eruptions.tsv)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
table="${1:-$root/../shared/data/japan-eruptions.tsv}"
out="$root/examples"
mkdir -p "$out"

# write FILE NAME... : the named volcanoes' rows of the table, in the order given.
write() {
  local file="$1"
  shift
  LC_ALL=C awk -F '\t' -v names="$*" '
    BEGIN { n = split(names, wanted, " ") }
    NR > 1 { row[$1] = $0 }
    END {
      for (r = 1; r <= 10; r++) {
        if (r <= n && (wanted[r] in row)) {
          split(row[wanted[r]], f, "\t")
          # numbers as the program writes them: at most 7 significant digits, no trailing zeros
          printf "%d,\"%s\",%.7g,%.7g,%.7g,%.7g,%.7g\r\n", r, f[1], f[2], f[3], f[4], f[5], f[6]
        } else {
          if (r <= n) { print "make_examples: " wanted[r] " is not in the table" > "/dev/stderr"; exit 1 }
          printf "%d,\"\",0,0,0,0,0\r\n", r
        }
      }
    }' "$table" | iconv -f UTF-8 -t CP932 >"$out/$file"
}

# The volcanoes of Kyushu, north to south.
write kyushu.txt 雲仙岳 阿蘇山 新燃岳 桜島 口永良部島
# Eruptions since 2010: all of them close enough to 2025 for a circle.
write recent.txt 草津白根山 御嶽山 西之島 阿蘇山 新燃岳 口永良部島
# Ten volcanoes from Hokkaido to Kyushu.
write all-ten.txt 十勝岳 有珠山 浅間山 草津白根山 御嶽山 富士山 伊豆大島 三宅島 阿蘇山 桜島
