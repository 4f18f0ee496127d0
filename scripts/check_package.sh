#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks it: its files and
# dependencies, the program inside rendering a sheet with the packaged background map
# (not one from the build folder), that the desktop entry takes a file and the metainfo
# and the description name every output, and, where the tools are installed, the
# desktop entry, the AppStream metainfo and lintian's verdict.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${EQCIRCLE_BUILD_DIR:-$root/build}"

fail() {
  echo "check_package: $*" >&2
  exit 1
}

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

cd "$build_dir"
rm -f eqcircle_*.deb
cpack -G DEB >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log" >&2; fail "cpack -G DEB failed"; }
debs=(eqcircle_*.deb)
[ -f "${debs[0]}" ] || fail "cpack wrote no eqcircle_*.deb into $build_dir"
deb="$build_dir/${debs[0]}"

expected='usr/bin/eqcircle
usr/lib/eqcircle/eqcircle-render
usr/lib/eqcircle/eqcircle-window
usr/share/applications/eqcircle.desktop
usr/share/doc/eqcircle/changelog.gz
usr/share/doc/eqcircle/copyright
usr/share/eqcircle/JapanMap3.bmp
usr/share/icons/hicolor/256x256/apps/eqcircle.png
usr/share/icons/hicolor/scalable/apps/eqcircle.svg
usr/share/man/ja/man1/eqcircle.1.gz
usr/share/man/man1/eqcircle.1.gz
usr/share/metainfo/invalid.eqcircle.eqcircle.metainfo.xml'
# Files only: the type letter leads the permissions column, the path is the sixth field.
actual="$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | LC_ALL=C sort)"
if [ "$actual" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$actual") >&2 || true
  fail "the package's files differ from the list above (< expected, > in the package)"
fi

depends="$(dpkg-deb -f "$deb" Depends)"
for package in libqt6core6 libqt6widgets6 fonts-ipafont-gothic qt6-qpa-plugins libqt6svg6; do
  grep -q -E "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package: $depends"
done

# The unpacked program finds its background map only in its own usr/share/eqcircle.
dpkg-deb -x "$deb" "$tmp/root"
program="$tmp/root/usr/bin/eqcircle"
render() {
  env -u LD_LIBRARY_PATH -u QT_QPA_PLATFORM "$program" render "$root/examples/recent.txt" \
    --date 2025-1-1 --created 2025-1-1 "$@" >/dev/null
}
render --out "$tmp/map.png" || fail "the packaged program could not render"
render --no-background --out "$tmp/plain.png" || fail "the packaged program could not render --no-background"
if cmp -s "$tmp/map.png" "$tmp/plain.png"; then
  fail "the packaged program drew no background map ($tmp/root/usr/share/eqcircle/JapanMap3.bmp)"
fi

share="$tmp/root/usr/share"
# A file manager's "open with" hands the data file over; the metainfo and the package
# description name every kind of file the program writes.
desktop="$share/applications/eqcircle.desktop"
grep -qx 'Exec=eqcircle %f' "$desktop" || fail "the desktop entry's Exec takes no file (%f)"
grep -qx 'MimeType=text/plain;' "$desktop" || fail "the desktop entry names no MimeType text/plain"
metainfo="$share/metainfo/invalid.eqcircle.eqcircle.metainfo.xml"
description="$(dpkg-deb -f "$deb" Description)"
for output in PNG PDF SVG JSON GeoJSON KML WebP; do
  grep -qw "$output" "$metainfo" || fail "the metainfo does not name $output"
  grep -qw "$output" <<<"$description" || fail "the package description does not name $output"
done
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$share/applications/eqcircle.desktop" || fail "desktop-file-validate failed"
fi
if command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate --no-net "$share/metainfo/invalid.eqcircle.eqcircle.metainfo.xml" >"$tmp/appstream.log" 2>&1 ||
    { cat "$tmp/appstream.log" >&2; fail "appstreamcli validate failed"; }
fi
if command -v lintian >/dev/null 2>&1; then
  # Warnings are shown, errors fail; the remark about running as root is dropped.
  lintian_status=0
  lintian --fail-on error "$deb" >"$tmp/lintian.log" 2>&1 || lintian_status=$?
  grep -v 'running with root privileges' "$tmp/lintian.log" >&2 || true
  [ "$lintian_status" -eq 0 ] || fail "lintian reports errors for $deb"
fi
echo "check_package: $(basename "$deb") is complete and renders with its background map"
