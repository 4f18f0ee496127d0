#include "sheet/png_frame_encoder.h"

#include "sheet/png_pieces.h"
#include "sheet/png_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace eq {
namespace {

bool sameRows(const QImage& a, const QImage& b, int first, int end) {
  const auto bytes = static_cast<std::size_t>(a.width()) * 4;
  for (int y = first; y < end; ++y) {
    if (std::memcmp(a.constScanLine(y), b.constScanLine(y), bytes) != 0) return false;
  }
  return true;
}

}  // namespace

// The pieces stand on their own (no dictionary from the rows before), so a piece
// whose rows did not change is still right after its neighbours changed.
struct PngFrameEncoder::Compressor {
  z_stream stream{};
  bool ready = false;
  QImage previous;  // the last frame's pixels, a private copy
  std::vector<DeflatePiece> pieces;

  Compressor() {
    ready = deflateInit2(&stream, kSheetPngLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
  }
  ~Compressor() {
    if (ready) deflateEnd(&stream);
  }

  bool compress(const QImage& image, int first, int end, DeflatePiece& piece) {
    return deflateReset(&stream) == Z_OK && deflateRows(stream, image, first, end, false, piece);
  }
};

PngFrameEncoder::PngFrameEncoder() : compressor_(std::make_unique<Compressor>()) {}
PngFrameEncoder::~PngFrameEncoder() = default;

std::optional<QByteArray> PngFrameEncoder::encode(const QImage& frame, QString* error) {
  const auto fail = [error](const QString& why) -> std::optional<QByteArray> {
    if (error) *error = why;
    return std::nullopt;
  };
  if (frame.isNull()) return fail(QStringLiteral("画像がありません"));
  if (!compressor_->ready) return fail(QStringLiteral("PNG の書き出しを始められません"));
  const QImage image = frame.format() == QImage::Format_RGB32 || frame.format() == QImage::Format_ARGB32
                           ? frame
                           : frame.convertToFormat(QImage::Format_RGB32);

  Compressor& c = *compressor_;
  const int height = image.height();
  const int pieceCount = (height + kRowsPerPiece - 1) / kRowsPerPiece;
  const bool comparable = c.previous.size() == image.size() && c.previous.format() == image.format() &&
                          static_cast<int>(c.pieces.size()) == pieceCount;
  if (!comparable) {
    c.pieces.assign(static_cast<std::size_t>(pieceCount), {});
    c.previous = QImage(image.size(), image.format());
    if (c.previous.isNull()) return fail(QStringLiteral("PNG を作れません"));
  }
  compressed_ = 0;
  const auto rowBytes = static_cast<std::size_t>(image.width()) * 4;
  for (int k = 0; k < pieceCount; ++k) {
    const int first = k * kRowsPerPiece;
    const int end = std::min(height, first + kRowsPerPiece);
    if (comparable && sameRows(image, c.previous, first, end)) continue;
    if (!c.compress(image, first, end, c.pieces[static_cast<std::size_t>(k)])) {
      c.previous = QImage();  // the pieces no longer match what is kept
      return fail(QStringLiteral("PNG を作れません"));
    }
    for (int y = first; y < end; ++y) std::memcpy(c.previous.scanLine(y), image.constScanLine(y), rowBytes);
    ++compressed_;
  }

  return pngFromPieces(image, kSheetPngLevel, c.pieces, error);
}

}  // namespace eq
