// The core compiled to WebAssembly (build-web/eqcore.mjs, scripts/build_web.sh) against
// the desktop program: the same names and radii from the examples' bytes, the same bytes
// saved, and the characters only code page 932 has written as glibc writes them.
//   node --test web/tests/     (EQCIRCLE_WEB_BUILD_DIR, EQCIRCLE_PROGRAM: other places)

import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {existsSync, mkdtempSync, readFileSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {test} from 'node:test';
import {fileURLToPath, pathToFileURL} from 'node:url';

const root = fileURLToPath(new URL('../..', import.meta.url));
const webDir = process.env.EQCIRCLE_WEB_BUILD_DIR ?? join(root, 'build-web');
const program = process.env.EQCIRCLE_PROGRAM ?? join(root, 'build/src/eqcircle');
const {default: createEqCore} = await import(pathToFileURL(join(webDir, 'eqcore.mjs')).href);
const core = await createEqCore();

const date = [2025, 1, 1];

// The desktop's lines for a data file: row, name, state, radius in km ("-" for none).
function desktopRows(file) {
  const dir = mkdtempSync(join(tmpdir(), 'eqcircle-web-'));
  try {
    const out = execFileSync(program, ['render', file, '--date', date.join('-'), '--out', join(dir, 'x.json')],
                             {encoding: 'utf8', env: {...process.env, QT_QPA_PLATFORM: 'offscreen'}});
    return out.trimEnd().split('\n').map(line => line.split('\t'));
  } finally {
    rmSync(dir, {recursive: true});
  }
}

for (const example of ['kyushu.txt', 'recent.txt', 'all-ten.txt']) {
  test(`${example}: the desktop's names and radii, and the same bytes saved`,
       {skip: !existsSync(program) && `no desktop program at ${program}`}, () => {
    const file = join(root, 'examples', example);
    const bytes = readFileSync(file);
    const content = core.readDataFile(bytes);
    assert.equal(content.encoding, 'Shift_JIS');
    const rows = desktopRows(file);
    assert.ok(rows.length >= 5);
    const prediction = core.dayNumber(...date);
    for (const [row, name, , radius] of rows) {
      const record = content.records[row - 1];
      assert.equal(record.name, name);
      const km = core.radiusKm(prediction, core.dayNumber(...record.numbers.slice(0, 3)));
      assert.equal(km > 0 ? km.toFixed(2) : '-', radius, `${example} row ${row}`);
    }
    const saved = core.encodeDataFile(content.records);
    assert.equal(saved.failedRow, 0);
    assert.deepEqual(Buffer.from(saved.bytes), bytes);
  });
}

test('the characters only code page 932 has, both ways, as glibc converts them', () => {
  const cases = [['①', '8740'], ['髙', 'fbfc'], ['～', '8160'], ['﨑', 'fab1'], ['〜', '8160'], ['ｻｸﾗ', 'bbb8d7']];
  for (const [text, hex] of cases) {
    const encoded = core.encodeShiftJis(text);
    assert.ok(encoded.ok, text);
    assert.equal(Buffer.from(encoded.bytes).toString('hex'), hex, text);
  }
  assert.equal(core.decodeShiftJis(Buffer.from('8740fbfc8160fab1ed40', 'hex')), '①髙～﨑纊');
  assert.equal(core.decodeShiftJis(Buffer.from('8120955c', 'hex')), '\uFFFD 表');
  assert.deepEqual({...core.encodeShiftJis('a¥'), bytes: undefined}, {ok: false, bytes: undefined, badCharacter: '¥'});
});

// The number texts (values as the desktop gives them), where WebAssembly's C++ library
// lacks floating-point to_chars and from_chars.
test('numbers read and written as on the desktop', () => {
  const texts = [[12345678, '1.234568E+07', ' 1.234568E+07'], [-0.5, '-0.5', '-.5'], [35.4, '35.4', ' 35.4'],
                 [0.00000125, '1.25E-06', ' 1.25E-06'], [142.686, '142.686', ' 142.686']];
  for (const [value, general, signed] of texts) {
    assert.equal(core.generalText(value), general);
    assert.equal(core.signedText(value), signed);
  }
  assert.equal(core.strictNumber('－１．５'), -1.5);
  assert.equal(core.strictNumber(' 1e400'), undefined);
  assert.equal(core.leadingNumber('1e400x'), Infinity);
  assert.equal(core.leadingNumber('-1000e-400'), -0);
  assert.equal(core.leadingNumber('4.9e-324'), 5e-324);
});
