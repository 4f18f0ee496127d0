#include "sheet/png_writer.h"

#include "platform/helper_thread.h"
#include "sheet/png_pieces.h"

#include <png.h>

#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <memory>

namespace eq {
namespace {

// The sheet is compressed as this many bands of rows, two at a time. The count does
// not follow the machine, so the same sheet gives the same bytes everywhere.
constexpr int kBands = 4;
// deflate looks back at most this far.
constexpr std::size_t kWindow = 32768;

// One row as the PNG stores it: filter byte 0 (none), then R, G, B per pixel.
void storeRow(const QImage& image, int y, Bytef* out) {
  *out++ = 0;
  const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
  for (int x = 0, width = image.width(); x < width; ++x) {
    *out++ = static_cast<Bytef>(qRed(pixels[x]));
    *out++ = static_cast<Bytef>(qGreen(pixels[x]));
    *out++ = static_cast<Bytef>(qBlue(pixels[x]));
  }
}

void appendBigEndian(QByteArray& out, quint32 value) {
  const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
                         static_cast<char>(value)};
  out.append(bytes, 4);
}

struct PngState {
  QByteArray out;
  QString message;
};

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* state = static_cast<PngState*>(png_get_io_ptr(png));
  state->out.append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void noFlush(png_structp) {}

[[noreturn]] void onError(png_structp png, png_const_charp message) {
  auto* state = static_cast<PngState*>(png_get_error_ptr(png));
  state->message = QString::fromUtf8(message);
  png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

}  // namespace

bool deflateRows(z_stream& stream, const QImage& image, int first, int end, bool primed, DeflatePiece& piece) {
  const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 3 + 1;
  std::vector<Bytef> row(rowBytes);
  if (primed && first > 0) {
    const int before = std::min(first, static_cast<int>((kWindow + rowBytes - 1) / rowBytes));
    std::vector<Bytef> history(static_cast<std::size_t>(before) * rowBytes);
    for (int k = 0; k < before; ++k) storeRow(image, first - before + k, history.data() + k * rowBytes);
    const std::size_t used = std::min(history.size(), kWindow);
    if (deflateSetDictionary(&stream, history.data() + history.size() - used, static_cast<uInt>(used)) != Z_OK) {
      return false;
    }
  }
  const bool last = end == image.height();
  piece.rawLength = static_cast<uLong>(static_cast<std::size_t>(end - first) * rowBytes);
  piece.adler = adler32(0, nullptr, 0);
  // The bound leaves room for everything, so deflate never runs out of output space.
  piece.deflated.resize(static_cast<qsizetype>(deflateBound(&stream, piece.rawLength)) + 16);
  stream.next_out = reinterpret_cast<Bytef*>(piece.deflated.data());
  stream.avail_out = static_cast<uInt>(piece.deflated.size());
  int status = Z_OK;
  for (int y = first; y < end && status == Z_OK; ++y) {
    storeRow(image, y, row.data());
    piece.adler = adler32(piece.adler, row.data(), static_cast<uInt>(rowBytes));
    stream.next_in = row.data();
    stream.avail_in = static_cast<uInt>(rowBytes);
    status = deflate(&stream, y + 1 < end ? Z_NO_FLUSH : last ? Z_FINISH : Z_SYNC_FLUSH);
    if (stream.avail_in != 0) status = Z_BUF_ERROR;
  }
  piece.deflated.resize(piece.deflated.size() - static_cast<qsizetype>(stream.avail_out));
  return last ? status == Z_STREAM_END : status == Z_OK;
}

std::optional<QByteArray> pngFromPieces(const QImage& image, int level, const std::vector<DeflatePiece>& pieces,
                                        QString* error) {
  const auto fail = [error](const QString& why) -> std::optional<QByteArray> {
    if (error) *error = why;
    return std::nullopt;
  };
  // The zlib stream: its header (a 32 KB window and the level's hint, as zlib writes
  // them), the pieces, and the checksum of all rows.
  QByteArray data;
  qsizetype total = 6;
  for (const DeflatePiece& piece : pieces) total += piece.deflated.size();
  data.reserve(total);
  int header = 0x7800 | ((level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3) << 6);
  header += 31 - header % 31;
  data.append(static_cast<char>(header >> 8));
  data.append(static_cast<char>(header & 0xff));
  uLong adler = adler32(0, nullptr, 0);
  for (const DeflatePiece& piece : pieces) {
    data.append(piece.deflated);
    adler = adler32_combine(adler, piece.adler, static_cast<z_off_t>(piece.rawLength));
  }
  appendBigEndian(data, static_cast<quint32>(adler));

  // Held on the heap: after a jump back from libpng, only what did not change since
  // setjmp may be used, and this pointer does not.
  const auto state = std::make_unique<PngState>();
  state->out.reserve(data.size() + 64);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, state.get(), onError, onWarning);
  if (!png) return fail(QStringLiteral("PNG の書き出しを始められません"));
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return fail(QStringLiteral("PNG の書き出しを始められません"));
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return fail(state->message.isEmpty() ? QStringLiteral("PNG を作れません") : state->message);
  }
  png_set_write_fn(png, state.get(), appendBytes, noFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Viewers and printers take the picture's size on paper from here.
  if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
    png_set_pHYs(png, info, static_cast<png_uint_32>(image.dotsPerMeterX()),
                 static_cast<png_uint_32>(image.dotsPerMeterY()), PNG_RESOLUTION_METER);
  }
  png_write_info(png, info);
  png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), reinterpret_cast<png_const_bytep>(data.constData()),
                  static_cast<std::size_t>(data.size()));
  png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
  png_destroy_write_struct(&png, &info);
  return std::move(state->out);
}

std::optional<QByteArray> encodePng(const QImage& source, QString* error, int level) {
  const auto fail = [error](const QString& why) -> std::optional<QByteArray> {
    if (error) *error = why;
    return std::nullopt;
  };
  if (source.isNull()) return fail(QStringLiteral("画像がありません"));
  const QImage image = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
                           ? source
                           : source.convertToFormat(QImage::Format_RGB32);

  // Bands deflate their rows primed with the rows before them. Two threads take the
  // bands in turn (the sea compresses faster than the coast, so halves would not take
  // the same time); without a second thread, the helper's turn takes them all.
  const int height = image.height();
  const int bandCount = std::min(kBands, height);
  std::vector<DeflatePiece> pieces(static_cast<std::size_t>(bandCount));
  std::vector<char> done(pieces.size(), 0);
  std::atomic<int> next{0};
  const auto work = [&] {
    for (int k = next++; k < bandCount; k = next++) {
      const int first = static_cast<int>(static_cast<qint64>(height) * k / bandCount);
      const int end = static_cast<int>(static_cast<qint64>(height) * (k + 1) / bandCount);
      z_stream stream{};
      if (deflateInit2(&stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) continue;
      const auto index = static_cast<std::size_t>(k);
      done[index] = deflateRows(stream, image, first, end, true, pieces[index]) ? 1 : 0;
      deflateEnd(&stream);
    }
  };
  HelperThread helper = HelperThread::besideOrHere(work);
  work();
  helper.join();
  if (std::count(done.begin(), done.end(), 1) != bandCount) return fail(QStringLiteral("PNG を作れません"));
  return pngFromPieces(image, level, pieces, error);
}

}  // namespace eq
