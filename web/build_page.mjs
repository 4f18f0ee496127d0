// Assembles build-web/eqcircle.html, one file that needs nothing else: the core's
// module (WebAssembly inside), GeographicLib's JavaScript port, the page's modules
// (their imports joined into one module script), the style, the background map as PNG
// (from the build's JapanMap3.bmp) and the reference figure.
//   node web/build_page.mjs BACKGROUND.bmp OUT_DIR

import {readFileSync, renameSync, writeFileSync} from 'node:fs';
import {createRequire} from 'node:module';
import {join} from 'node:path';
import {deflateSync, crc32} from 'node:zlib';
import {fileURLToPath} from 'node:url';

const [bitmapPath, outDir] = process.argv.slice(2);
const here = fileURLToPath(new URL('.', import.meta.url));
const read = path => readFileSync(join(here, path), 'utf8');

// A palette BMP (4 or 8 bits, bottom-up rows) as a palette PNG of the same pixels.
function bmpToPng(bmp) {
  const offset = bmp.readUInt32LE(10), header = bmp.readUInt32LE(14);
  const width = bmp.readInt32LE(18), height = bmp.readInt32LE(22), bits = bmp.readUInt16LE(28);
  if (bits !== 4 && bits !== 8) throw new Error(`a ${bits}-bit bitmap is not a palette bitmap`);
  const colours = bmp.readUInt32LE(46) || 1 << bits;
  const palette = Buffer.alloc(colours * 3);
  for (let k = 0; k < colours; ++k) {
    const at = 14 + header + 4 * k;
    palette.set([bmp[at + 2], bmp[at + 1], bmp[at]], 3 * k);
  }
  const rowBytes = Math.ceil(width * bits / 8), stride = Math.ceil(width * bits / 32) * 4;
  const raw = Buffer.alloc((rowBytes + 1) * Math.abs(height));
  for (let y = 0; y < Math.abs(height); ++y) {
    const source = offset + stride * (height > 0 ? height - 1 - y : y);
    bmp.copy(raw, y * (rowBytes + 1) + 1, source, source + rowBytes);
  }
  const chunk = (type, data) => {
    const body = Buffer.concat([Buffer.from(type, 'latin1'), data]);
    const length = Buffer.alloc(4), crc = Buffer.alloc(4);
    length.writeUInt32BE(data.length);
    crc.writeUInt32BE(crc32(body));
    return Buffer.concat([length, body, crc]);
  };
  const ihdr = Buffer.alloc(13);
  ihdr.writeUInt32BE(width, 0);
  ihdr.writeUInt32BE(Math.abs(height), 4);
  ihdr.set([bits, 3, 0, 0, 0], 8);
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]), chunk('IHDR', ihdr),
                        chunk('PLTE', palette), chunk('IDAT', deflateSync(raw, {level: 9})), chunk('IEND', Buffer.alloc(0))]);
}

const dataUrl = (type, bytes) => `data:${type};base64,${bytes.toString('base64')}`;
// The modules as one: imports of each other dropped, exports made plain declarations.
const asPart = source => source.replace(/^import .*?;\n/gms, '').replace(/^export \{[^}]*\};\n/gm, '')
  .replace(/^export (default )?/gm, '');
const core = readFileSync(join(outDir, 'eqcore.mjs'), 'utf8').replace(/export default createEqCore;?\s*$/, '');
const assets = {background: dataUrl('image/png', bmpToPng(readFileSync(bitmapPath))),
                figure: dataUrl('image/png', readFileSync(join(here, '../resources/reference_figure.png')))};
const script = [core, ...['render.mjs', 'sheet.mjs', 'app.mjs'].map(name => asPart(read(`page/${name}`))),
                `publishApi(startPage(createEqCore, ${JSON.stringify(assets)}));`].join('\n');
const geodesicPath = createRequire(import.meta.url).resolve('geographiclib-geodesic');
const geodesic = `/* geographiclib-geodesic: GeographicLib's JavaScript port.\n${
  readFileSync(join(geodesicPath, '../LICENSE.txt'), 'utf8').replace(/\*\//g, '* /')}*/\n${readFileSync(geodesicPath, 'utf8')}`;
// Replacements as functions: the texts hold "$" sequences that a replacement string would expand.
const html = read('page/index.html').replace('/*STYLE*/', () => read('page/style.css'))
  .replace('/*GEODESIC*/', () => geodesic).replace('/*SCRIPT*/', () => script.replace(/<\/script/gi, '<\\/script'));
writeFileSync(join(outDir, 'eqcircle.part.html'), html);
renameSync(join(outDir, 'eqcircle.part.html'), join(outDir, 'eqcircle.html'));
console.log(`build_page: eqcircle.html (${Math.round(html.length / 1024)} KB)`);
