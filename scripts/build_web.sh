#!/usr/bin/env bash
# Compiles the Qt-free core (src/model, map, datafile, draw, analysis and the quake markers) with its browser bindings
# (src/web/bindings.cpp, embind) to WebAssembly with Debian's emscripten:
#
#   build-web/eqcore.mjs   one ES module with the WebAssembly inside (no other file to
#                          fetch, so it also works from file://):
#                          const core = await (await import("./eqcore.mjs")).default();
#                          core.readDataFile(uint8Array).records[0].name
#   build-web/eqcircle.html  the browser edition: that module, the page (web/page/), the
#                          background map and the reference figure in one file
#                          (web/build_page.mjs assembles it)
#
# Installs emscripten and the page's npm packages (web/package-lock.json) when they are
# missing; builds again only what changed (a few seconds). web/tests/ checks the module
# and the page with `node --test` (test.sh runs both).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out_dir="${EQCIRCLE_WEB_BUILD_DIR:-$root/build-web}"
out="$out_dir/eqcore.mjs"

"$root/scripts/install_packages.sh" emscripten node-acorn chromium
if [ ! -d "$root/web/node_modules/geographiclib-geodesic" ] || [ ! -d "$root/web/node_modules/puppeteer-core" ]; then
  (cd "$root/web" && npm ci --no-audit --no-fund --loglevel=error)
fi
build_dir="${EQCIRCLE_BUILD_DIR:-$root/build}"
bitmap="$build_dir/src/JapanMap3.bmp"
if [ ! -f "$bitmap" ]; then
  EQCIRCLE_TARGETS=background_map "$root/scripts/setup.sh"
fi

# The core that decides (numbers, the data file, the Draw and its sheet, crossings and
# circles, GeoJSON and KML, the layout table and the texts) and its bindings. Geodesy
# is GeographicLib's JavaScript port (src/web/geodesic_js.cpp) instead of its C++
# library. Of the earthquakes, the Draw's quake markers and Japan dates come along; the
# catalogue readers and the hindcast are not part of the page yet.
sources=()
for file in "$root"/src/{model,map,datafile,draw,analysis}/*.cpp; do
  [ "$(basename "$file")" = geodesic_geographiclib.cpp ] || sources+=("$file")
done
sources+=("$root/src/quakes/quake_overlay.cpp" "$root/src/quakes/utc_time.cpp")
sources+=("$root/src/web/bindings.cpp" "$root/src/web/geodesic_js.cpp")

page() {
  local html="$out_dir/eqcircle.html"
  if [ ! -f "$html" ] || [ -n "$(find "$out" "$bitmap" "$root/web/page" "$root/web/build_page.mjs" -newer "$html" -print -quit)" ]; then
    node "$root/web/build_page.mjs" "$bitmap" "$out_dir"
  fi
}

if [ -f "$out" ] && [ -z "$(find "$root"/src/{model,map,datafile,draw,analysis,quakes,web} "${BASH_SOURCE[0]}" -newer "$out" -print -quit)" ]; then
  page
  exit 0
fi
mkdir -p "$out_dir"
# emscripten's optimizer loads Debian's acorn from NODE_PATH, and its wrapper runs
# python3, which must be Debian's when another Python comes first on the PATH.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
export EMSDK_PYTHON=/usr/bin/python3
# ENVIRONMENT=web: the module also loads in node (the WebAssembly is inline), whereas
# emscripten's node start-up code would need CommonJS, which an ES module does not have.
emcc -std=c++17 -O2 -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion \
  -I"$root/src" "${sources[@]}" --bind \
  -sENVIRONMENT=web -sMODULARIZE=1 -sEXPORT_ES6=1 -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1 \
  -sEXPORT_NAME=createEqCore -o "$out_dir/eqcore.part.mjs"
mv "$out_dir/eqcore.part.mjs" "$out"
echo "build_web: $(realpath --relative-to="$root" "$out") ($(($(stat -c %s "$out") / 1024)) KB)"
page
