// The page's eqcircle.render (the core compiled to WebAssembly, web/page/render.mjs)
// against the desktop's `eqcircle render`: the golden sheets' cases, both circle modes,
// as the sheet's JSON, GeoJSON and KML. True-distance circles come from GeographicLib's
// JavaScript port in the browser and its C++ library on the desktop: within 0.5 map
// units (0.002 degrees).

import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {existsSync, mkdtempSync, readFileSync, rmSync} from 'node:fs';
import {createRequire} from 'node:module';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {test} from 'node:test';
import {fileURLToPath, pathToFileURL} from 'node:url';
import {render} from '../page/render.mjs';

const root = fileURLToPath(new URL('../..', import.meta.url));
const webDir = process.env.EQCIRCLE_WEB_BUILD_DIR ?? join(root, 'build-web');
const program = process.env.EQCIRCLE_PROGRAM ?? join(root, 'build/src/eqcircle');
globalThis.geodesic = createRequire(import.meta.url)('geographiclib-geodesic');
const {default: createEqCore} = await import(pathToFileURL(join(webDir, 'eqcore.mjs')).href);
const core = await createEqCore();

function desktop(file, args, extension) {
  const dir = mkdtempSync(join(tmpdir(), 'eqcircle-web-'));
  try {
    const out = join(dir, `x.${extension}`);
    execFileSync(program, ['render', file, ...args, '--created', '2026-12-6', '--out', out],
                 {env: {...process.env, QT_QPA_PLATFORM: 'offscreen'}, stdio: ['ignore', 'ignore', 'ignore']});
    return readFileSync(out, 'utf8');
  } finally {
    rmSync(dir, {recursive: true});
  }
}

// The same text but for its numbers, each within `tolerance` of the desktop's. The C
// libraries' sine and cosine may differ in the last bit, so the shortest digits of a
// computed coordinate may differ in the last place.
function assertSameText(actual, expected, tolerance, what) {
  const number = /-?\d+(?:\.\d+)?(?:e[-+]?\d+)?/g;
  assert.deepEqual(actual.split(number), expected.split(number), what);
  const a = actual.match(number) ?? [];
  const e = expected.match(number) ?? [];
  const far = e.findIndex((value, k) => !(Math.abs(Number(a[k]) - Number(value)) <= tolerance));
  assert.equal(far, -1, `${what}: number ${far}: ${a[far]} against ${e[far]}`);
}

const cases = [
  ['examples/recent.txt', {date: '2025-1-1', title: '題', crossings: true}, ['--date', '2025-1-1', '--title', '題', '--crossings']],
  ['examples/kyushu.txt', {date: '2025-1-1', circles: 'geodesic', crossings: true},
   ['--date', '2025-1-1', '--circles', 'geodesic', '--crossings']],
  ['examples/all-ten.txt', {date: '2015-6-30', rows: [1, 3, 5, 7, 9], tolerance: 120},
   ['--date', '2015-6-30', '--rows', '1,3,5,7,9', '--tolerance', '120']],
  ['tests/data/render_sample.txt', {date: '2024-5-1', title: '試験用の地震サークル', background: false},
   ['--date', '2024-5-1', '--title', '試験用の地震サークル', '--no-background']],
];

for (const [file, options, args] of cases) {
  test(`${file} ${args.join(' ')}: the desktop's JSON, GeoJSON and KML`,
       {skip: !existsSync(program) && `no desktop program at ${program}`}, () => {
    const path = join(root, file);
    const web = render(core, readFileSync(path), {...options, created: '2026-12-6'});
    const geodesic = options.circles === 'geodesic';
    assertSameText(web.json, desktop(path, args, 'json'), geodesic ? 0.5 : 1e-9, 'json');
    for (const kind of ['geojson', 'kml']) assertSameText(web[kind], desktop(path, args, kind), geodesic ? 0.002 : 1e-9, kind);
  });
}

// GeoJSON's numbers are doubles: each is written with its shortest digits.
test('the GeoJSON\'s numbers in their shortest form', () => {
  const {geojson} = render(core, readFileSync(join(root, 'examples/recent.txt')), {date: '2025-1-1', created: '2026-12-6'});
  const digits = text => text.replace(/e.*$/, '').replace(/^[-0.]+|\./g, '').replace(/0+$/, '');
  for (const token of geojson.match(/-?\d+\.\d+(?:e[-+]?\d+)?/g)) {
    assert.equal(digits(token), digits(Number(token).toExponential()), token);
  }
});

test('a file that is no eruption data, and a missing date, say so in the desktop\'s words', () => {
  assert.throws(() => render(core, new TextEncoder().encode('hello\n'), {date: '2025-1-1', name: 'a.txt'}),
                /このファイルは噴火データファイルではないため、読み込みませんでした。\na\.txt/);
  assert.throws(() => render(core, readFileSync(join(root, 'examples/recent.txt')), {date: '2025--1'}), /Y-M-D/);
});
