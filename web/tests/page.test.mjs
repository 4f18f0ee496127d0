// build-web/eqcircle.html in Debian's Chromium (puppeteer-core), as a person uses it:
// open a data file through the file input and answer the question, select all, type
// the date, Draw; the sheet against the desktop's PNG, the saved bytes, the print, the
// sheet's menu, nothing fetched from outside the file, no error on the console.
//   EQCIRCLE_CHROMIUM: another browser binary

import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {existsSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {after, before, test} from 'node:test';
import {fileURLToPath, pathToFileURL} from 'node:url';

const root = fileURLToPath(new URL('../..', import.meta.url));
const html = join(process.env.EQCIRCLE_WEB_BUILD_DIR ?? join(root, 'build-web'), 'eqcircle.html');
const program = process.env.EQCIRCLE_PROGRAM ?? join(root, 'build/src/eqcircle');
const chromium = process.env.EQCIRCLE_CHROMIUM ?? '/usr/bin/chromium';
const example = join(root, 'examples/recent.txt');
const skip = !existsSync(chromium) ? `no browser at ${chromium}` : !existsSync(program) && `no desktop program at ${program}`;

let browser, page, dir;
const outside = [];
const problems = [];
const pause = ms => new Promise(resolve => setTimeout(resolve, ms));

before(async () => {
  if (skip) return;
  const {default: puppeteer} = await import('puppeteer-core');
  dir = mkdtempSync(join(tmpdir(), 'eqcircle-page-'));
  browser = await puppeteer.launch({
    executablePath: chromium, headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--disable-dev-shm-usage', `--user-data-dir=${join(dir, 'profile')}`]});
  page = await browser.newPage();
  await page.setViewport({width: 1680, height: 1050});
  await page.setRequestInterception(true);
  page.on('request', request => {
    if (/^(data|blob|file):/.test(request.url())) return request.continue();
    outside.push(request.url());
    request.abort();
  });
  page.on('console', message => { if (message.type() === 'error') problems.push(message.text()); });
  page.on('pageerror', error => problems.push(error.message));
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: dir});
  await page.goto(pathToFileURL(html).href);
  await page.evaluate(async () => { await window.eqcircle.ready; });
});

after(async () => {
  await browser?.close();
  if (dir) rmSync(dir, {recursive: true, force: true});
});

// The box's text and the answer given with a key.
async function answer(key) {
  await page.waitForSelector('dialog[open]');
  const text = await page.$eval('dialog[open] p', p => p.textContent);
  await page.keyboard.press(key);
  await page.waitForFunction(() => !document.querySelector('dialog.box'));
  return text;
}

async function downloaded(name) {
  for (let k = 0; k < 100 && !readdirSync(dir).includes(name); ++k) await pause(50);
  return readFileSync(join(dir, name));
}

test('open, answer, select all, type the date, Draw: the table and the sheet as on the desktop', {skip}, async () => {
  const input = await page.$('input[type=file]');
  await input.uploadFile(example);
  assert.match(await answer('Escape'), /recent\.txt/);          // いいえ: nothing changes
  assert.equal(await page.$eval('[data-name="TextEQ(1)"]', box => box.value), '');
  await input.uploadFile(example);
  assert.match(await answer('Enter'), /^現在表示データをrecent\.txtデータに置き換えます\nいいですか$/);
  assert.equal(await page.$eval('[data-name=Label23]', label => label.textContent), 'recent.txt');
  assert.equal(await page.$eval('[data-name="TextEQ(7)"]', box => box.value), '御嶽山');
  await page.click('[data-name=Label36]');
  await page.click('[data-name="TextEQ(61)"]');
  await page.keyboard.type('2025');
  await page.keyboard.press('Tab');
  await page.keyboard.type('1');
  await page.keyboard.press('Tab');
  await page.keyboard.type('1');
  await page.click('[data-name=Command4]');
  assert.equal(await page.$eval('[data-name=Label21]', label => label.textContent), '描画データ数  =  6');

  // Red pixels of the canvas against the desktop's PNG of the same sheet: each within
  // two pixels of one of the other's.
  const png = join(dir, 'desktop.png');
  execFileSync(program, ['render', example, '--date', '2025-1-1', '--out', png],
               {env: {...process.env, QT_QPA_PLATFORM: 'offscreen'}, stdio: 'ignore'});
  const match = await page.evaluate(async url => {
    const redOf = context => {
      const {data, width, height} = context.getImageData(0, 0, 1200, 853);
      const red = new Uint8Array(width * height);
      for (let k = 0; k < red.length; ++k) red[k] = data[4 * k] > 200 && data[4 * k + 1] < 90 && data[4 * k + 2] < 90;
      return red;
    };
    const near = (a, b) => {
      let hits = 0, count = 0;
      for (let y = 2; y < 851; ++y) {
        for (let x = 2; x < 1198; ++x) {
          if (!a[y * 1200 + x]) continue;
          ++count;
          search: for (let dy = -2; dy <= 2; ++dy) for (let dx = -2; dx <= 2; ++dx) if (b[(y + dy) * 1200 + x + dx]) { ++hits; break search; }
        }
      }
      return {count, share: hits / count};
    };
    const canvas = document.querySelector('[data-name=Picture1]');
    const ours = document.createElement('canvas');
    [ours.width, ours.height] = [1200, 853];
    ours.getContext('2d').drawImage(canvas, 0, 0, 1200, 853);
    const image = new Image();
    image.src = url;
    await image.decode();
    const theirs = document.createElement('canvas');
    [theirs.width, theirs.height] = [1200, 853];
    theirs.getContext('2d').drawImage(image, 0, 0);
    const [a, b] = [redOf(ours.getContext('2d', {willReadFrequently: true})), redOf(theirs.getContext('2d'))];
    return {size: [canvas.width, canvas.height], page: near(a, b), desktop: near(b, a)};
  }, `data:image/png;base64,${readFileSync(png).toString('base64')}`);
  assert.deepEqual(match.size, [1200, 853]);
  assert.ok(match.desktop.count > 500 && match.desktop.share > 0.97, JSON.stringify(match));
  assert.ok(match.page.share > 0.97, JSON.stringify(match));
});

test('save: the question, then 無題.txt with the desktop\'s bytes', {skip}, async () => {
  await page.click('[data-name=Command2]');
  assert.match(await answer('Enter'), /^噴火データを保存します\n好みの名前をつけて保存して下さい\nいいですか$/);
  assert.deepEqual(await downloaded('無題.txt'), readFileSync(example));
});

test('the sheet\'s menu: the crossings listed, marked on the sheet, the map data saved', {skip}, async () => {
  const canvas = await page.$('[data-name=Picture1]');
  await canvas.click({button: 'right'});
  await page.click('[data-item=list]');
  const rows = await page.$$eval('#crossings tr', trs => trs.map(tr => [...tr.cells].map(cell => cell.textContent)));
  assert.deepEqual(rows[0], ['行', '火山名', '行', '火山名', '北緯', '東経', '支持数', '図の上']);
  assert.deepEqual(rows[1], ['1', '草津白根山', '2', '御嶽山', '36.6411', '136.6599', '2', '○']);
  await page.keyboard.press('Escape');
  const blue = () => page.evaluate(() => {
    const {data} = document.querySelector('[data-name=Picture1]').getContext('2d').getImageData(0, 0, 1200, 853);
    let count = 0;
    for (let k = 0; k < data.length; k += 4) count += data[k + 2] > data[k] + 80 && data[k + 2] > data[k + 1] + 80;
    return count;
  });
  const before = await blue();
  await canvas.click({button: 'right'});
  await page.click('[data-item=marks]');
  const marked = await blue();
  assert.ok(marked > before + 10 * (rows.length - 1), `blue pixels: ${before}, then ${marked}`);
  await canvas.click({button: 'right'});
  await page.click('[data-item=geojson]');
  const geojson = JSON.parse(await downloaded('sheet.geojson'));
  assert.equal(geojson.features.filter(f => f.properties.kind === 'crossing').length, rows.length - 1);
});

test('時系列 (Ctrl+T): from the earliest ticked eruption to ten years after the prediction date', {skip}, async () => {
  await page.keyboard.down('Control');
  await page.keyboard.press('t');
  await page.keyboard.up('Control');
  await page.waitForSelector('#series[open]');
  const day = (y, m, d) => Date.UTC(y, m - 1, d) / 86400000;
  const slider = await page.$eval('#series input[type=range]', range => [Number(range.max), Number(range.value)]);
  assert.deepEqual(slider, [day(2035, 1, 1) - day(2011, 1, 26), day(2025, 1, 1) - day(2011, 1, 26)]);
  assert.equal(await page.$eval('#series output', output => output.textContent), '2025年1月1日');
  await page.keyboard.press('Escape');
});

test('print: one A4 landscape page', {skip}, async () => {
  const pdf = join(dir, 'sheet.pdf');
  writeFileSync(pdf, await page.pdf({preferCSSPageSize: true, printBackground: true}));
  const info = execFileSync('pdfinfo', [pdf], {encoding: 'utf8'});
  if (process.env.KEEP_PDF) writeFileSync(process.env.KEEP_PDF, readFileSync(pdf));
  assert.match(info, /^Pages: +1$/m);
  assert.match(info, /^Page size: +84[12]\.\d+ x 59[45]\.\d+ pts \(A4\)/m);
});

test('eqcircle.render in the page, nothing fetched outside the file, no error on the console', {skip}, async () => {
  const kml = await page.evaluate(async bytes => (await window.eqcircle.render(new Uint8Array(bytes), {date: '2025-1-1'})).kml,
                                  [...readFileSync(example)]);
  assert.match(kml, /<name>口永良部島<\/name>/);
  assert.deepEqual(outside, []);
  assert.deepEqual(problems, []);
});
