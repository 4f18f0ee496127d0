#pragma once
// PNG encoding of the sheet's images through libpng directly. Qt's writer lets
// libpng try every row filter on every row, which costs more than drawing the whole
// sheet; the sheet is mostly flat colour, so unfiltered rows at a moderate zlib
// level compress as small in a fraction of the time. The rows are deflated in
// four bands on two threads, each primed with the rows above it, and libpng writes
// the file around them.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

namespace eq {

// zlib level used for the sheet: the smallest that keeps the shipped example's file
// no larger than the filter-searching writer made it.
inline constexpr int kSheetPngLevel = 4;

// The image as an 8-bit RGB PNG (alpha is dropped; the sheet is opaque), or nothing
// with a reason in `error`.
std::optional<QByteArray> encodePng(const QImage& image, QString* error = nullptr, int level = kSheetPngLevel);

}  // namespace eq
