#pragma once
// A PNG's image data made as separate pieces of rows and joined into one zlib stream:
// the sheet writer compresses four bands on two threads, the frame writer keeps the pieces
// that did not change since the last frame. Rows are stored unfiltered, 8-bit RGB.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>
#include <vector>
#include <zlib.h>

namespace eq {

struct DeflatePiece {
  QByteArray deflated;
  uLong adler = 1;  // of the piece's raw rows
  uLong rawLength = 0;
};

// Rows [first, end) of an RGB32 image as the PNG stores them, deflated through
// `stream` (raw deflate, freshly initialised or reset). The piece ends on a byte
// boundary, or as the final block when it holds the image's last row, so pieces join
// in order whatever order they were made in. With `primed`, the rows before `first`
// (as many as deflate can look back at) are given as its dictionary, so the join
// compresses as well as one piece would; without, the piece stands on its own.
bool deflateRows(z_stream& stream, const QImage& image, int first, int end, bool primed, DeflatePiece& piece);

// The PNG file (signature, header, the image's resolution, one IDAT chunk, end)
// through libpng, of pieces compressed at `level` that cover the image's rows in order.
std::optional<QByteArray> pngFromPieces(const QImage& image, int level, const std::vector<DeflatePiece>& pieces,
                                        QString* error);

}  // namespace eq
