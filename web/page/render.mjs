// eqcircle.render: the desktop's `eqcircle render` for other pages. The data file is
// read as the open command reads it, the rows ticked, the date typed into the
// prediction boxes and the same Draw run, all by the core; this only sequences it.

export const kBackgroundFile = 'JapanMap3.bmp';

// "Y-M-D" as three box texts; a date given as numbers is typed as they print.
export function dateParts(date) {
  const parts = Array.isArray(date) ? date.map(String) : String(date ?? '').split('-');
  if (parts.length !== 3 || parts.some(part => part.trim() === '')) {
    throw new Error('date は Y-M-D の形で数を書いてください (例: 2024-5-1)');
  }
  return parts;
}

export function todayParts(date = new Date()) {
  return [date.getFullYear(), date.getMonth() + 1, date.getDate()];
}

// The options of a Draw as the core's Table takes them.
export function drawOptions({title = '', background = true, today = todayParts(), geodesic = false,
                             toleranceKm = 50, crossingMarks = false} = {}) {
  return {title, background: background ? kBackgroundFile : '', today, geodesic, toleranceKm, crossingMarks};
}

// {json, geojson, kml} for the bytes of a data file and render's options: date, rows
// (numbers or 'all'; default every row with a name), title, created, background,
// circles ('classic' or 'geodesic'), tolerance (km), crossings.
export function render(core, bytes, options = {}) {
  const table = new core.Table();
  try {
    const problem = table.check(bytes, options.name ?? 'data');
    if (problem) throw new Error(problem);
    const texts = new Array(63).fill('');
    table.open().forEach((cells, row) => texts.splice(row * 6, 6, ...cells));
    texts.splice(60, 3, ...dateParts(options.date));
    const rows = options.rows === 'all' ? [1, 2, 3, 4, 5, 6, 7, 8, 9, 10] : options.rows;
    const ticks = Array.from({length: 10}, (_, k) => rows ? rows.includes(k + 1) : texts[k * 6] !== '');
    const drawn = table.draw(texts, ticks, drawOptions({
      title: options.title ?? '', background: options.background ?? true,
      today: options.created ? dateParts(options.created).map(Number) : todayParts(),
      geodesic: options.circles === 'geodesic', toleranceKm: options.tolerance ?? 50,
      crossingMarks: Boolean(options.crossings)}));
    if (drawn.error) throw new Error(drawn.error);
    return {json: drawn.json, geojson: table.mapData(false).text, kml: table.mapData(true).text};
  } finally {
    table.delete();
  }
}
