// The sheet's items (the core's JSON, in map units: 15 to a screen pixel) painted as
// the desktop paints them: white ground, the background bitmap one pixel to 15 map
// units, one-pixel dots, lines and outlines, texts 180 map units high, top-left placed.

export const kSheetWidth = 18000;
export const kSheetHeight = 12800;
export const kUnitsPerPixel = 15;
export const kSheetPixels = [1200, 853];
const kTextHeight = 180;
const kFonts = '"MS UI Gothic", "MS PGothic", "IPAPGothic", "VL PGothic", "Noto Sans CJK JP", "IPAGothic", "Hiragino Sans", sans-serif';

// Paints `sheet` (parsed JSON, or null for an empty surface) on a 2D context whose
// canvas is `scale` device pixels to a screen pixel.
export function paintSheet(context, sheet, background, scale = 1) {
  context.setTransform(1, 0, 0, 1, 0, 0);
  context.fillStyle = '#ffffff';
  context.fillRect(0, 0, context.canvas.width, context.canvas.height);
  if (!sheet) return;
  const unit = scale / kUnitsPerPixel;
  context.setTransform(unit, 0, 0, unit, 0, 0);
  if (sheet.background && background) {
    context.imageSmoothingEnabled = true;
    context.drawImage(background, 0, 0, background.width * kUnitsPerPixel, background.height * kUnitsPerPixel);
  }
  const half = kUnitsPerPixel / 2;
  context.lineWidth = kUnitsPerPixel;
  context.font = `${kTextHeight}px ${kFonts}`;
  context.textBaseline = 'top';
  for (const item of sheet.items) {
    switch (item.type) {
      case 'point':
        context.fillStyle = item.color;
        context.fillRect(item.x, item.y, kUnitsPerPixel, kUnitsPerPixel);
        break;
      case 'line':
        context.strokeStyle = item.color;
        context.lineCap = 'square';
        context.beginPath();
        context.moveTo(item.x1 + half, item.y1 + half);
        context.lineTo(item.x2 + half, item.y2 + half);
        context.stroke();
        break;
      case 'circle':
        context.beginPath();
        context.arc(item.x, item.y, Math.abs(item.r), 0, 2 * Math.PI);
        if (item.fill) {
          context.fillStyle = item.fill;
          context.fill();
        }
        context.strokeStyle = item.color;
        context.stroke();
        break;
      case 'polyline':
        context.beginPath();
        item.points.forEach(([x, y], k) => (k ? context.lineTo(x, y) : context.moveTo(x, y)));
        context.closePath();
        context.strokeStyle = item.color;
        context.stroke();
        break;
      case 'text':
        context.fillStyle = item.color;
        context.fillText(item.text, item.x, item.y);
        break;
    }
  }
}

const escapeXml = text => text.replace(/[<>&"]/g, c => ({'<': '&lt;', '>': '&gt;', '&': '&amp;', '"': '&quot;'})[c]);

// The sheet as SVG (1200 x 853 pixels, drawn in map units), the background embedded.
export function sheetSvg(sheet, backgroundUrl) {
  const out = [`<svg xmlns="http://www.w3.org/2000/svg" width="${kSheetPixels[0]}" height="${kSheetPixels[1]}" ` +
               `viewBox="0 0 ${kSheetWidth} ${kSheetPixels[1] * kUnitsPerPixel}">`,
               `<rect width="100%" height="100%" fill="#ffffff"/>`];
  if (sheet.background && backgroundUrl) {
    out.push(`<image href="${backgroundUrl}" width="${kSheetPixels[0] * kUnitsPerPixel}" ` +
             `height="${kSheetPixels[1] * kUnitsPerPixel}"/>`);
  }
  const stroke = color => `fill="none" stroke="${color}" stroke-width="${kUnitsPerPixel}"`;
  for (const item of sheet.items) {
    if (item.type === 'point') {
      out.push(`<rect x="${item.x}" y="${item.y}" width="15" height="15" fill="${item.color}"/>`);
    } else if (item.type === 'line') {
      out.push(`<line x1="${item.x1 + 7.5}" y1="${item.y1 + 7.5}" x2="${item.x2 + 7.5}" y2="${item.y2 + 7.5}" ` +
               `${stroke(item.color)} stroke-linecap="square"/>`);
    } else if (item.type === 'circle') {
      out.push(`<circle cx="${item.x}" cy="${item.y}" r="${Math.abs(item.r)}" ${stroke(item.color)}` +
               `${item.fill ? ` style="fill:${item.fill}"` : ''}/>`);
    } else if (item.type === 'polyline') {
      out.push(`<polygon points="${item.points.map(p => p.join(',')).join(' ')}" ${stroke(item.color)}/>`);
    } else if (item.type === 'text') {
      out.push(`<text x="${item.x}" y="${item.y + kTextHeight * 0.88}" font-size="${kTextHeight}" ` +
               `font-family='${kFonts}' fill="${item.color}">${escapeXml(item.text)}</text>`);
    }
  }
  out.push('</svg>\n');
  return out.join('\n');
}
