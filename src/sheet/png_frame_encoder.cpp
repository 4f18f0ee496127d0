#include "sheet/png_frame_encoder.h"

#include "sheet/png_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace eq {
namespace {

void appendBigEndian(QByteArray& out, quint32 value) {
  const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
                         static_cast<char>(value)};
  out.append(bytes, 4);
}

void appendChunk(QByteArray& out, const char type[4], const QByteArray& data) {
  appendBigEndian(out, static_cast<quint32>(data.size()));
  const qsizetype start = out.size();
  out.append(type, 4);
  out.append(data);
  const auto* typed = reinterpret_cast<const Bytef*>(out.constData() + start);
  appendBigEndian(out, static_cast<quint32>(crc32(0, typed, static_cast<uInt>(out.size() - start))));
}

bool sameRows(const QImage& a, const QImage& b, int first, int end) {
  const auto bytes = static_cast<std::size_t>(a.width()) * 4;
  for (int y = first; y < end; ++y) {
    if (std::memcmp(a.constScanLine(y), b.constScanLine(y), bytes) != 0) return false;
  }
  return true;
}

}  // namespace

// One piece: its rows as the PNG stores them (a filter byte, then R, G, B per pixel),
// deflated on their own and ended on a byte boundary, so that pieces join in any order
// of making into one zlib stream.
struct PngFrameEncoder::Compressor {
  struct Piece {
    QByteArray deflated;
    uLong adler = 1;
    uLong rawLength = 0;
  };

  z_stream stream{};
  bool ready = false;
  QImage previous;  // the last frame's pixels, a private copy
  std::vector<Piece> pieces;
  std::vector<Bytef> raw;

  Compressor() {
    // Raw deflate (negative window bits): the zlib header and checksum are written once for the whole image.
    ready = deflateInit2(&stream, kSheetPngLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
  }
  ~Compressor() {
    if (ready) deflateEnd(&stream);
  }

  bool compress(const QImage& image, int first, int end, bool last, Piece& piece) {
    const int width = image.width();
    raw.resize(static_cast<std::size_t>(end - first) * (static_cast<std::size_t>(width) * 3 + 1));
    Bytef* out = raw.data();
    for (int y = first; y < end; ++y) {
      *out++ = 0;  // filter: none
      const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      for (int x = 0; x < width; ++x) {
        *out++ = static_cast<Bytef>(qRed(pixels[x]));
        *out++ = static_cast<Bytef>(qGreen(pixels[x]));
        *out++ = static_cast<Bytef>(qBlue(pixels[x]));
      }
    }
    piece.rawLength = static_cast<uLong>(raw.size());
    piece.adler = adler32(adler32(0, nullptr, 0), raw.data(), static_cast<uInt>(raw.size()));

    if (deflateReset(&stream) != Z_OK) return false;
    piece.deflated.resize(static_cast<qsizetype>(deflateBound(&stream, piece.rawLength)) + 16);
    stream.next_in = raw.data();
    stream.avail_in = static_cast<uInt>(raw.size());
    qsizetype written = 0;
    const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
    for (;;) {
      stream.next_out = reinterpret_cast<Bytef*>(piece.deflated.data()) + written;
      stream.avail_out = static_cast<uInt>(piece.deflated.size() - written);
      const int status = deflate(&stream, flush);
      written = piece.deflated.size() - stream.avail_out;
      if (status == Z_STREAM_END) break;
      if (status != Z_OK && status != Z_BUF_ERROR) return false;
      // Room left over: a flush is complete (a finish is not until Z_STREAM_END).
      if (stream.avail_out > 0) {
        if (last) return false;
        break;
      }
      piece.deflated.resize(piece.deflated.size() * 2);
    }
    piece.deflated.resize(written);
    return true;
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
    if (!c.compress(image, first, end, k == pieceCount - 1, c.pieces[static_cast<std::size_t>(k)])) {
      c.previous = QImage();  // the pieces no longer match what is kept
      return fail(QStringLiteral("PNG を作れません"));
    }
    for (int y = first; y < end; ++y) std::memcpy(c.previous.scanLine(y), image.constScanLine(y), rowBytes);
    ++compressed_;
  }

  QByteArray data;
  qsizetype deflatedSize = 0;
  for (const auto& piece : c.pieces) deflatedSize += piece.deflated.size();
  data.reserve(deflatedSize + 6);
  data.append("\x78\x5e", 2);  // deflate, 32 KB window, a middle compression level
  uLong adler = adler32(0, nullptr, 0);
  for (const auto& piece : c.pieces) {
    data.append(piece.deflated);
    adler = adler32_combine(adler, piece.adler, static_cast<z_off_t>(piece.rawLength));
  }
  appendBigEndian(data, static_cast<quint32>(adler));

  QByteArray header;
  appendBigEndian(header, static_cast<quint32>(image.width()));
  appendBigEndian(header, static_cast<quint32>(height));
  header.append("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filtering method, no interlace

  QByteArray png("\x89PNG\r\n\x1a\n", 8);
  png.reserve(data.size() + 64);
  appendChunk(png, "IHDR", header);
  appendChunk(png, "IDAT", data);
  appendChunk(png, "IEND", QByteArray());
  return png;
}

}  // namespace eq
