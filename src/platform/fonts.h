#pragma once
// Japanese fonts. The window names "ＭＳ Ｐゴシック" and "MS UI Gothic"; where they are
// not installed the same request falls back to a Japanese proportional Gothic
// (IPA Pゴシック on Debian), then to the default.

#include <QFont>
#include <functional>

namespace eq {

// Registers the fallbacks; call once after the application object exists.
void installJapaneseFontSubstitutes();

// "ＭＳ Ｐゴシック" at the given size (points).
QFont pGothicFont(double pointSize, bool bold = false);

// The window's default user-interface font (MS UI Gothic, 9 pt, or its fallback).
QFont uiFont();

// A process may set up its font configuration on another thread while it starts (the
// render program does): `setUp` runs there from now on, and every font made here
// waits for it first.
void setUpFontsMeanwhile(const std::function<void()>& setUp);

// Waits for that set-up, if there is one still running.
void waitForFontSetUp();

// The drawing surface's text font, at a pixel size (its height is 180 map units on the sheet).
QFont sheetFont(int pixelSize);

}  // namespace eq
