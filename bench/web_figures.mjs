// Figures of the browser edition (build-web/eqcircle.html) in Debian's Chromium: the
// file's size, the page ready after load, Draw click to painted sheet, eqcircle.render
// of an example, and the time series' frames a second while it plays. Medians.
//   node bench/web_figures.mjs [--shots DIR]   (screenshots at three screen sizes)

import {mkdtempSync, readFileSync, rmSync, statSync} from 'node:fs';
import {createRequire} from 'node:module';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {fileURLToPath, pathToFileURL} from 'node:url';

const root = fileURLToPath(new URL('..', import.meta.url));
const html = join(root, 'build-web/eqcircle.html');
const example = join(root, 'examples/recent.txt');
const {default: puppeteer} = await import(createRequire(join(root, 'web/package.json')).resolve('puppeteer-core'));
const shots = process.argv.indexOf('--shots') > 0 ? process.argv[process.argv.indexOf('--shots') + 1] : null;
const median = values => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
const profile = mkdtempSync(join(tmpdir(), 'eqcircle-bench-'));
const browser = await puppeteer.launch({executablePath: process.env.EQCIRCLE_CHROMIUM ?? '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking', '--disable-sync',
         `--user-data-dir=${profile}`]});
const page = await browser.newPage();
await page.setViewport({width: 1680, height: 1050});
page.on('pageerror', error => console.error('page error:', error.message));

const ready = [];
for (let k = 0; k < 7; ++k) {
  await page.goto(pathToFileURL(html).href);
  ready.push(await page.evaluate(async () => { await window.eqcircle.ready; return performance.now(); }));
}
const input = await page.$('input[type=file]');
await input.uploadFile(example);
await page.waitForSelector('dialog[open]');
await page.keyboard.press('Enter');
await page.click('[data-name=Label36]');
for (const [box, text] of [[61, '2025'], [62, '1'], [63, '1']]) await page.type(`[data-name="TextEQ(${box})"]`, text);
const drawing = await page.evaluate(async () => {
  const times = [];
  for (let k = 0; k < 21; ++k) {
    const start = performance.now();
    document.querySelector('[data-name=Command4]').click();
    await new Promise(resolve => requestAnimationFrame(() => setTimeout(resolve, 0)));
    times.push(performance.now() - start);
  }
  return times;
});
const rendering = await page.evaluate(async bytes => {
  const data = new Uint8Array(bytes), times = [];
  for (let k = 0; k < 21; ++k) {
    const start = performance.now();
    await window.eqcircle.render(data, {date: '2025-1-1'});
    times.push(performance.now() - start);
  }
  return times;
}, [...readFileSync(example)]);
if (shots) {
  for (const [width, height] of [[1680, 1050], [1366, 768], [1024, 768]]) {
    await page.setViewport({width, height});
    await page.screenshot({path: join(shots, `page-${width}x${height}.png`)});
  }
  await page.setViewport({width: 1680, height: 1050});
}
await page.keyboard.down('Control');
await page.keyboard.press('t');
await page.keyboard.up('Control');
await page.waitForSelector('#series[open]');
await page.evaluate(() => { document.querySelector('#series [name=fps]').value = '100'; });
if (shots) await page.screenshot({path: join(shots, 'page-series.png')});
await page.click('#series [name=play]');
const frames = await page.evaluate(async () => {
  const output = document.querySelector('#series output');
  let count = 0;
  const seen = new MutationObserver(() => ++count);
  seen.observe(output, {childList: true, characterData: true, subtree: true});
  await new Promise(resolve => setTimeout(resolve, 3000));
  seen.disconnect();
  return count / 3;
});
await browser.close();
rmSync(profile, {recursive: true, force: true});

console.log(`file size: ${(statSync(html).size / 1024).toFixed(0)} KB`);
console.log(`page ready after load (median of 7): ${median(ready).toFixed(0)} ms`);
console.log(`Draw click to painted sheet (median of 21): ${median(drawing).toFixed(1)} ms`);
console.log(`eqcircle.render of examples/recent.txt (median of 21): ${median(rendering).toFixed(1)} ms`);
console.log(`time series playing at 100 frames a second asked: ${frames.toFixed(0)} frames a second`);
