// Writes tools/data/land_east_asia.txt, the land outlines that make_background_map draws.
//
// Source: Natural Earth 1:10m land polygons (public domain), as redistributed in TopoJSON by the
// npm package world-atlas (ISC licence), file land-10m.json. The build never runs this script; its
// output is committed. To regenerate it (needs Node 18 or later and the npm registry):
//
//   mkdir -p /tmp/atlas && cd /tmp/atlas && npm init -y && npm install world-atlas@2.0.2
//   node <repo>/tools/extract_land.mjs /tmp/atlas/node_modules/world-atlas/land-10m.json \
//        > <repo>/tools/data/land_east_asia.txt
//
// What it keeps: every land ring is projected with the sheet's own formulas (sinusoidal about 135 deg E,
// 3 map units per km, 15 map units per pixel), clipped to the 1200 x 853 pixel sheet plus a margin of
// a few pixels, and written back in degrees. The sheet spans about 15.6-54 deg N and, along its top
// edge, 89-181 deg E. Coordinates are rounded to 0.005 deg (about a tenth of a pixel) and repeated
// vertices are dropped. Points that the clipping adds lie in the margin, outside the picture.
//
// Output format (plain text, '#' starts a comment line):
//   ring N            followed by N lines "longitude latitude" in degrees; the ring closes by itself.

import {readFileSync} from 'node:fs';

const SHEET_WIDTH = 1200;   // pixels
const SHEET_HEIGHT = 853;   // pixels
const TWIPS_PER_PIXEL = 15;
const MARGIN = 6;           // pixels of outline kept beyond the sheet's edges
const STEP = 0.005;         // degrees

// Same constants and order of operations as the program's projection.
const PI = 3.1415927;
function toPixel(lon, lat) {
  const c = Math.cos(lat / 180 * PI);
  const x = (lon - 135) * (c * 40075) / 360 * 3 + 9000;
  const y = (54 - lat) / 10 * 1111 * 3;
  return [x / TWIPS_PER_PIXEL, y / TWIPS_PER_PIXEL];
}
function toDegrees(px, py) {
  const lat = 54 - py * TWIPS_PER_PIXEL / 3 / 1111 * 10;
  const c = Math.cos(lat / 180 * PI);
  const lon = (px * TWIPS_PER_PIXEL - 9000) / 3 * 360 / (c * 40075) + 135;
  return [lon, lat];
}

// --- TopoJSON decoding: arcs are quantised and delta-encoded; a negative index ~i means arc i reversed.
function decodeArcs(topo) {
  const [sx, sy] = topo.transform.scale;
  const [tx, ty] = topo.transform.translate;
  return topo.arcs.map((arc) => {
    let x = 0, y = 0;
    return arc.map(([dx, dy]) => {
      x += dx;
      y += dy;
      return [x * sx + tx, y * sy + ty];
    });
  });
}
function ringFromArcs(arcIndices, arcs) {
  const ring = [];
  for (const index of arcIndices) {
    const arc = index >= 0 ? arcs[index] : arcs[~index].slice().reverse();
    // consecutive arcs share their joining point
    for (let k = ring.length ? 1 : 0; k < arc.length; k++) ring.push(arc[k]);
  }
  return ring;
}
function polygonsOf(geometry) {
  if (geometry.type === 'Polygon') return [geometry.arcs];
  if (geometry.type === 'MultiPolygon') return geometry.arcs;
  if (geometry.type === 'GeometryCollection') return geometry.geometries.flatMap(polygonsOf);
  return [];
}

// --- Sutherland-Hodgman clipping against the sheet rectangle plus margin, in pixels.
const edges = [
  {inside: (p) => p[0] >= -MARGIN, cut: (a, b) => cutAt(a, b, 0, -MARGIN)},
  {inside: (p) => p[0] <= SHEET_WIDTH + MARGIN, cut: (a, b) => cutAt(a, b, 0, SHEET_WIDTH + MARGIN)},
  {inside: (p) => p[1] >= -MARGIN, cut: (a, b) => cutAt(a, b, 1, -MARGIN)},
  {inside: (p) => p[1] <= SHEET_HEIGHT + MARGIN, cut: (a, b) => cutAt(a, b, 1, SHEET_HEIGHT + MARGIN)},
];
function cutAt(a, b, axis, value) {
  const t = (value - a[axis]) / (b[axis] - a[axis]);
  const p = [a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1])];
  p[axis] = value;
  p.added = true;
  return p;
}
function clip(ring) {
  let out = ring;
  for (const edge of edges) {
    const input = out;
    out = [];
    for (let k = 0; k < input.length; k++) {
      const cur = input[k];
      const prev = input[(k + input.length - 1) % input.length];
      if (edge.inside(cur)) {
        if (!edge.inside(prev)) out.push(edge.cut(prev, cur));
        out.push(cur);
      } else if (edge.inside(prev)) {
        out.push(edge.cut(prev, cur));
      }
    }
    if (!out.length) break;
  }
  return out;
}

function round(v) {
  return Math.round(v / STEP) * STEP;
}
function text(v) {
  return String(Number(v.toFixed(3)));
}
function area(ring) {
  let s = 0;
  for (let k = 0; k < ring.length; k++) {
    const [x0, y0] = ring[k];
    const [x1, y1] = ring[(k + 1) % ring.length];
    s += x0 * y1 - x1 * y0;
  }
  return s / 2;
}

const path = process.argv[2];
if (!path) {
  console.error('usage: node extract_land.mjs land-10m.json > land_east_asia.txt');
  process.exit(2);
}
const topo = JSON.parse(readFileSync(path, 'utf8'));
const arcs = decodeArcs(topo);
const out = [];
let vertexCount = 0;
for (const polygon of polygonsOf(topo.objects.land)) {
  for (const arcIndices of polygon) {
    let ring = ringFromArcs(arcIndices, arcs);
    if (ring.length > 1) ring.pop();  // closing point repeats the first
    // The sheet's east edge reaches a little past 180 deg; islands just west of the
    // date line are stored with negative longitudes.
    if (ring.every(([lon]) => lon < -90)) ring = ring.map(([lon, lat]) => [lon + 360, lat]);
    const pixels = ring.map(([lon, lat]) => Object.assign(toPixel(lon, lat), {lon, lat}));
    const clipped = clip(pixels);
    if (clipped.length < 3) continue;
    const degrees = [];
    for (const p of clipped) {
      const [lon, lat] = p.added ? toDegrees(p[0], p[1]) : [p.lon, p.lat];
      const q = [round(lon), round(lat)];
      const last = degrees[degrees.length - 1];
      if (!last || last[0] !== q[0] || last[1] !== q[1]) degrees.push(q);
    }
    while (degrees.length > 1 && degrees[0][0] === degrees.at(-1)[0] && degrees[0][1] === degrees.at(-1)[1]) degrees.pop();
    if (degrees.length < 3 || area(degrees.map(([lon, lat]) => toPixel(lon, lat))) === 0) continue;
    out.push(`ring ${degrees.length}`);
    for (const [lon, lat] of degrees) out.push(`${text(lon)} ${text(lat)}`);
    vertexCount += degrees.length;
  }
}
const header = [
  '# Land outlines of the map sheet (about 15.6-54 deg N, 89-181 deg E), in degrees east and north.',
  '# Natural Earth 1:10m land (public domain), from the npm package world-atlas, land-10m.json.',
  '# Written by tools/extract_land.mjs; see tools/README.md.',
  `# ${out.filter((l) => l.startsWith('ring')).length} rings, ${vertexCount} vertices.`,
];
process.stdout.write(header.concat(out).join('\n') + '\n');
