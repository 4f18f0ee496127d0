// The main window in the browser: the controls from the core's layout table, the
// commands as the desktop's steps, the sheet's menu, the time series and the API for
// other pages. What a command decides (the table's texts after an open, the saved
// bytes, the Draw and its rows, every message) comes from the core's Table; this only
// shows it, asks the questions and hands over files.

import {drawOptions, render, todayParts} from './render.mjs';
import {kSheetPixels, paintSheet, sheetSvg} from './sheet.mjs';

const twips = value => Math.round(value / 15);

const kUsageSteps = ['Label26', 'Label27', 'Label28', 'Label29'];

export async function startPage(createCore, assets) {
  const core = await createCore();
  const texts = core.texts();
  const layout = core.layout();
  const table = new core.Table();
  const controls = {};
  const state = {background: true, title: '', crossingMarks: false, geodesic: false, sheet: null};
  const background = await loadImage(assets.background);

  // ---- the window ----
  document.title = layout.title;
  const client = document.getElementById('client');
  client.style.width = `${twips(layout.width)}px`;
  client.style.height = `${twips(layout.height)}px`;
  for (const c of layout.controls) {
    const element = document.createElement({button: 'button', label: 'div', checkbox: 'input', textbox: 'input',
                                            picture: 'canvas'}[c.kind]);
    element.dataset.name = c.name;
    element.className = c.kind;
    Object.assign(element.style, {left: `${twips(c.left)}px`, top: `${twips(c.top)}px`,
                                  width: `${twips(c.width)}px`, height: `${twips(c.height)}px`});
    if (c.kind === 'checkbox') element.type = 'checkbox';
    if (c.kind === 'textbox') Object.assign(element, {type: 'text', spellcheck: false, autocomplete: 'off'});
    if (c.kind === 'button' || c.kind === 'label') element.textContent = c.caption;
    if (c.tabIndex >= 0) element.tabIndex = c.tabIndex + 1;
    if (c.tip) element.title = c.tip;
    if (c.back) element.style.background = c.back;
    if (c.fore) element.style.color = c.fore;
    if (c.kind === 'label') element.style.textAlign = c.align;
    if (c.fontPoints > 0) element.style.font = `${c.bold ? 'bold ' : ''}${c.fontPoints}pt var(--p-gothic)`;
    if (c.clickable) element.classList.add('clickable');
    client.append(element);
    controls[c.name] = element;
  }
  const box = index => controls[`TextEQ(${index})`];
  const check = row => controls[`CheckEQ(${row})`];
  const show = (name, on) => { controls[name].hidden = !on; };
  layout.hiddenAtStart.forEach(name => show(name, false));  // until a command shows them
  controls.Label23.textContent = '';
  const sheetCanvas = controls.Picture1;

  const boxTexts = () => Array.from({length: 63}, (_, k) => box(k + 1).value);
  const ticks = () => Array.from({length: 10}, (_, k) => check(k + 1).checked);
  const setRowUsable = (row, usable) => {
    for (const element of [check(row), ...Array.from({length: 6}, (_, k) => box((row - 1) * 6 + k + 1))]) {
      element.disabled = !usable;
    }
  };
  const makeAllRowsUsable = () => { for (let row = 1; row <= 10; ++row) setRowUsable(row, true); };

  // ---- the sheet ----
  const paint = () => {
    const scale = window.devicePixelRatio || 1;
    sheetCanvas.width = Math.round(kSheetPixels[0] * scale);
    sheetCanvas.height = Math.round(kSheetPixels[1] * scale);
    paintSheet(sheetCanvas.getContext('2d'), state.sheet, background, scale);
  };
  const showSheet = json => {
    state.sheet = json ? JSON.parse(json) : null;
    paint();
  };
  matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener('change', paint);
  paint();
  const sheetImage = async () => {
    const canvas = document.createElement('canvas');
    [canvas.width, canvas.height] = kSheetPixels;
    paintSheet(canvas.getContext('2d'), state.sheet, background, 1);
    return new Promise(resolve => canvas.toBlob(resolve, 'image/png'));
  };

  // ---- the commands ----
  const clearSheet = () => {
    table.clear();
    showSheet(null);
  };
  const fileInput = Object.assign(document.createElement('input'), {type: 'file', hidden: true});
  fileInput.dataset.name = 'CommonDialog1';
  fileInput.title = texts.openDialogTitle;
  document.body.append(fileInput);
  fileInput.addEventListener('change', async () => {
    const file = fileInput.files[0];
    fileInput.value = '';
    if (file) await openFile(file);
  });
  const openFile = async file => {
    let bytes;
    try {
      bytes = new Uint8Array(await file.slice(0, 64 * 1024 * 1024 + 1).arrayBuffer());
    } catch (error) {
      return message(core.notReadable(file.name, error.message));
    }
    const problem = table.check(bytes, file.name);
    if (problem) return message(problem);
    if (!await ask(table.replaceQuestion(file.name))) return;
    makeAllRowsUsable();
    for (let row = 1; row <= 10; ++row) check(row).checked = false;
    controls.Label23.textContent = file.name;
    table.open().forEach((cells, k) => cells.forEach((text, field) => {
      box(k * 6 + field + 1).value = text;
    }));
  };

  const commands = {
    Command1: () => fileInput.click(),
    Command2: async () => {
      if (!await ask(texts.saveQuestion)) return;
      const saved = table.save(boxTexts());
      if (saved.error) return message(saved.error);
      download(new Blob([saved.bytes], {type: 'text/plain'}), '無題.txt');
    },
    Command3: async () => {
      try {
        await navigator.clipboard.write([new ClipboardItem({'image/png': sheetImage()})]);
      } catch {
        // Printing goes on without the clipboard, as on the desktop.
      }
      window.print();
    },
    Command4: () => draw(),
    Command5: () => {
      makeAllRowsUsable();
      for (let row = 1; row <= 10; ++row) {
        check(row).checked = false;
        for (let k = 1; k <= 6; ++k) box((row - 1) * 6 + k).value = '';
      }
    },
    Command6: () => {
      makeAllRowsUsable();
      show('Label20', false);
      show('Label21', false);
      clearSheet();
    },
    Command7: () => confirmBackground('Command7', true),
    Command8: () => confirmBackground('Command8', false),
    Command9: async () => {
      state.title = (await inputBox(texts.titlePrompt)) ?? '';
      controls.Label37.textContent = state.title;
      controls.Label37.title = state.title;
    },
    Label24: () => { show('Label25', true); kUsageSteps.forEach(name => show(name, false)); },
    Label25: () => { show('Label25', false); kUsageSteps.forEach(name => show(name, true)); },
    Label26: closeUsage, Label27: closeUsage, Label28: closeUsage, Label29: closeUsage,
    Label30: () => { show('Label30', false); show('Label31', true); },
    Label31: () => { show('Label30', true); show('Label31', false); },
    Label32: () => { show(state.background ? 'Command8' : 'Command7', true); show('Label32', false); },
    Label33: () => openReference(),
    Label36: () => { for (let row = 1; row <= 10; ++row) if (!check(row).disabled) check(row).checked = true; },
  };
  function closeUsage() {
    show('Label25', false);
    kUsageSteps.forEach(name => show(name, false));
  }
  async function confirmBackground(button, wanted) {
    state.background = wanted;
    if (!await ask(wanted ? texts.showBackgroundQuestion : texts.hideBackgroundQuestion)) state.background = !wanted;
    show(button, false);
    show('Label32', true);
  }
  const currentOptions = () => drawOptions({title: state.title, background: state.background, today: todayParts(),
                                            geodesic: state.geodesic, crossingMarks: state.crossingMarks});
  async function draw() {
    clearSheet();
    show('Label20', false);
    makeAllRowsUsable();
    const drawn = table.draw(boxTexts(), ticks(), currentOptions());
    if (drawn.error) return message(drawn.error);
    drawn.states.forEach((rowState, k) => { if (rowState === 'excluded') setRowUsable(k + 1, false); });
    show('Label20', drawn.warning);
    show('Label21', true);
    controls.Label21.textContent = drawn.countLabel;
    showSheet(drawn.json);
  }
  for (const [name, command] of Object.entries(commands)) controls[name].addEventListener('click', command);

  // Shortcuts as the layout names them; a key shared by labels clicks the last one shown.
  // By the key's place for letters and digits, since Option on a Mac changes the character.
  const keyName = event => (/^(Key[A-Z]|Digit\d)$/.test(event.code) ? event.code.slice(-1)
    : event.key.length === 1 ? event.key.toUpperCase() : event.key);
  const keyText = event => `${event.ctrlKey || event.metaKey ? 'Ctrl+' : ''}${event.altKey ? 'Alt+' : ''}${keyName(event)}`;
  const visible = element => !element.hidden && !element.disabled && !document.querySelector('dialog[open]');
  document.addEventListener('keydown', event => {
    const keys = keyText(event);
    if (keys === 'Ctrl+T' && !document.querySelector('dialog[open]')) {
      event.preventDefault();
      return openSeries();
    }
    const named = layout.controls.filter(c => c.keys === keys && visible(controls[c.name]));
    if (!named.length) return;
    event.preventDefault();
    const target = controls[named[named.length - 1].name];
    target.click();
    if (target === controls.Label32) (controls.Command7.hidden ? controls.Command8 : controls.Command7).focus();
  });

  // ---- message boxes ----
  function dialog({caption = texts.caption, text = '', buttons, input}) {
    const box = document.createElement('dialog');
    box.className = 'box';
    box.innerHTML = '<header></header><p></p><footer></footer>';
    box.querySelector('header').textContent = caption;
    box.querySelector('p').textContent = text.replace(/\n\r|\r\n/g, '\n');
    let field;
    if (input !== undefined) {
      field = Object.assign(document.createElement('input'), {type: 'text', value: input});
      box.querySelector('p').after(field);
    }
    return new Promise(resolve => {
      buttons.forEach(([label, answer], k) => {
        const button = Object.assign(document.createElement('button'), {textContent: label});
        button.addEventListener('click', () => box.close(String(k)));
        box.querySelector('footer').append(button);
      });
      box.addEventListener('cancel', event => { event.preventDefault(); box.close(String(buttons.length - 1)); });
      if (field) field.addEventListener('keydown', e => { if (e.key === 'Enter') { e.preventDefault(); box.close('0'); } });
      box.addEventListener('close', () => {
        const [, answer] = buttons[Number(box.returnValue || buttons.length - 1)];
        box.remove();
        resolve(typeof answer === 'function' ? answer(field?.value) : answer);
      });
      document.body.append(box);
      box.showModal();
      (field ?? box.querySelector('footer button')).focus();
    });
  }
  const message = text => dialog({text, buttons: [['OK', undefined]]});
  const ask = text => dialog({text, buttons: [['はい', true], ['いいえ', false]]});
  const inputBox = prompt => dialog({caption: '地震サークル', text: prompt, input: '',
                                     buttons: [['OK', value => value], ['キャンセル', null]]});

  // ---- the reference window ----
  const reference = document.getElementById('reference');
  reference.querySelector('img').src = assets.figure;
  function openReference() {
    client.hidden = true;
    reference.hidden = false;
    reference.querySelector('button').focus();
  }
  reference.querySelector('button').addEventListener('click', () => {
    reference.hidden = true;
    client.hidden = false;
  });

  // ---- the sheet's menu: right click, the Menu key, or a long press ----
  const menu = document.getElementById('sheet-menu');
  const menuItem = name => menu.querySelector(`[data-item="${name}"]`);
  function openMenu(x, y) {
    menuItem('marks').setAttribute('aria-checked', state.crossingMarks);
    menuItem('geodesic').setAttribute('aria-checked', state.geodesic);
    menu.hidden = false;
    menu.style.left = `${Math.min(x, window.scrollX + innerWidth - menu.offsetWidth)}px`;
    menu.style.top = `${Math.min(y, window.scrollY + innerHeight - menu.offsetHeight)}px`;
    menu.querySelector('button').focus();
  }
  const closeMenu = () => { menu.hidden = true; };
  sheetCanvas.addEventListener('contextmenu', event => {
    event.preventDefault();
    openMenu(event.pageX, event.pageY);
  });
  sheetCanvas.addEventListener('keydown', event => {
    if (event.key === 'ContextMenu') {
      event.preventDefault();
      const r = sheetCanvas.getBoundingClientRect();
      openMenu(r.left + window.scrollX + 20, r.top + window.scrollY + 20);
    }
  });
  let pressTimer;
  sheetCanvas.addEventListener('pointerdown', event => {
    if (event.pointerType === 'mouse') return;
    pressTimer = setTimeout(() => openMenu(event.pageX, event.pageY), 600);
  });
  for (const end of ['pointerup', 'pointercancel', 'pointermove']) {
    sheetCanvas.addEventListener(end, () => clearTimeout(pressTimer));
  }
  document.addEventListener('pointerdown', event => { if (!menu.contains(event.target)) closeMenu(); });
  menu.addEventListener('keydown', event => { if (event.key === 'Escape') closeMenu(); });
  const menuCommands = {
    list: () => showCrossings(),
    marks: () => {
      state.crossingMarks = !state.crossingMarks;
      const json = table.setCrossingMarks(state.crossingMarks);
      if (json) showSheet(json);
    },
    geodesic: () => { state.geodesic = !state.geodesic; },
    png: async () => download(await sheetImage(), 'sheet.png'),
    svg: () => download(new Blob([sheetSvg(state.sheet ?? {items: []}, assets.background)], {type: 'image/svg+xml'}),
                        'sheet.svg'),
    geojson: () => saveMapData(false),
    kml: () => saveMapData(true),
    series: () => openSeries(),
  };
  for (const [name, command] of Object.entries(menuCommands)) {
    menuItem(name).addEventListener('click', () => { closeMenu(); command(); });
  }
  async function saveMapData(asKml) {
    if (!table.anyDrawn()) return message(texts.nothingToExport);
    const data = table.mapData(asKml);
    download(new Blob([data.text], {type: asKml ? 'application/vnd.google-earth.kml+xml' : 'application/geo+json'}),
             asKml ? 'sheet.kml' : 'sheet.geojson');
    if (data.note) await message(data.note);
  }
  async function showCrossings() {
    const lines = table.crossingList();
    const list = document.getElementById('crossings');
    const rows = [texts.crossingHeader, ...lines];
    list.querySelector('table').replaceChildren(...rows.map((cells, k) => {
      const tr = document.createElement('tr');
      for (const cell of cells) tr.append(Object.assign(document.createElement(k ? 'td' : 'th'), {textContent: cell}));
      return tr;
    }));
    list.showModal();
  }
  document.getElementById('copy-crossings').addEventListener('click', async () => {
    const rows = [texts.crossingHeader, ...table.crossingList()];
    const text = rows.map(cells => cells.map(cell => cell.replace(/[\t\r\n]/g, ' ')).join('\t')).join('\n') + '\n';
    try {
      await navigator.clipboard.writeText(text);
    } catch {
      await message(texts.noClipboard);
    }
  });

  // ---- 時系列: the sheet over a range of prediction dates ----
  const series = document.getElementById('series');
  const seriesCanvas = series.querySelector('canvas');
  const seriesTable = new core.Table();
  const seriesState = {from: 0, timer: 0, frames: 0, since: 0};
  const dayOf = ms => Math.floor(ms / 86400000);
  const dateOf = day => { const d = new Date(day * 86400000); return [d.getUTCFullYear(), d.getUTCMonth() + 1, d.getUTCDate()]; };
  function openSeries() {
    const drawn = seriesTable.draw(boxTexts(), ticks(), currentOptions());
    if (drawn.error) return message(drawn.error);
    const range = core.seriesRange(boxTexts(), ticks(), todayParts());
    const [from, to, shown] = [range.from, range.to, range.shown].map(([y, m, d]) => dayOf(new Date(0).setUTCFullYear(y, m - 1, d)));
    const prediction = Math.min(Math.max(shown, from), to);
    seriesState.from = from;
    const slider = series.querySelector('input[type=range]');
    Object.assign(slider, {min: 0, max: to - from, value: prediction - from});
    series.showModal();
    seriesFrame();
  }
  function seriesFrame() {
    const slider = series.querySelector('input[type=range]');
    const step = Math.max(1, Number(series.querySelector('[name=step]').value) || 1);
    const day = seriesState.from + Math.floor(Number(slider.value) / step) * step;
    const [y, m, d] = dateOf(day);
    series.querySelector('output').textContent = `${y}年${m}月${d}日`;
    const scale = window.devicePixelRatio || 1;
    seriesCanvas.width = Math.round(kSheetPixels[0] * scale);
    seriesCanvas.height = Math.round(kSheetPixels[1] * scale);
    paintSheet(seriesCanvas.getContext('2d'), JSON.parse(seriesTable.drawAt(y, m, d)), background, scale);
    seriesState.frames++;
  }
  series.querySelector('input[type=range]').addEventListener('input', seriesFrame);
  const play = series.querySelector('[name=play]');
  play.addEventListener('click', () => {
    if (seriesState.timer) return stopSeries();
    play.textContent = '一時停止';
    const slider = series.querySelector('input[type=range]');
    let last = performance.now();
    const tick = now => {
      const fps = Math.min(100, Math.max(1, Number(series.querySelector('[name=fps]').value) || 30));
      if (now - last >= 1000 / fps - 1) {
        last = now;
        const step = Math.max(1, Number(series.querySelector('[name=step]').value) || 1);
        if (Number(slider.value) + step > Number(slider.max)) return stopSeries();
        slider.value = Number(slider.value) + step;
        seriesFrame();
      }
      seriesState.timer = requestAnimationFrame(tick);
    };
    seriesState.frames = 0;
    seriesState.since = performance.now();
    seriesState.timer = requestAnimationFrame(tick);
  });
  function stopSeries() {
    cancelAnimationFrame(seriesState.timer);
    seriesState.timer = 0;
    play.textContent = '再生';
  }
  series.addEventListener('close', stopSeries);

  // Printed on A4 landscape (portrait 11906 x 16838 twips), fitted as the desktop fits it.
  const fit = core.printFit(11906, 16838);
  document.documentElement.style.setProperty('--print-width', `${fit.drawWidth / 1440}in`);
  document.documentElement.style.setProperty('--print-height', `${fit.drawHeight / 1440}in`);

  sheetCanvas.focus();
  return {core, openFile, draw, seriesState, paint};
}

function loadImage(url) {
  return new Promise((resolve, reject) => {
    const image = new Image();
    image.onload = () => resolve(image);
    image.onerror = reject;
    image.src = url;
  });
}

function download(blob, name) {
  const link = Object.assign(document.createElement('a'), {href: URL.createObjectURL(blob), download: name});
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

// window.eqcircle: render(bytes, options) → Promise<{json, geojson, kml}>, and `ready`.
export function publishApi(ready) {
  window.eqcircle = {
    ready,
    render: async (bytes, options) => render((await ready).core, bytes, options),
  };
}


