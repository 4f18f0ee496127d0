#include "sheet/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <memory>
#include <vector>

namespace eq {
namespace {

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

std::optional<QByteArray> encodePng(const QImage& source, QString* error, int level) {
  const auto fail = [error](const QString& why) -> std::optional<QByteArray> {
    if (error) *error = why;
    return std::nullopt;
  };
  if (source.isNull()) return fail(QStringLiteral("画像がありません"));
  // 32-bit pixels 0xffRRGGBB are B, G, R, X in memory on this byte order: libpng swaps
  // them back and drops the filler byte, so the rows go in without a copy.
  const QImage image = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
                           ? source
                           : source.convertToFormat(QImage::Format_RGB32);

  // Held on the heap: after a jump back from libpng, only what did not change since
  // setjmp may be used, and this pointer does not.
  const auto state = std::make_unique<PngState>();
  state->out.reserve(static_cast<qsizetype>(image.width()) * image.height() / 16 + 1024);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, state.get(), onError, onWarning);
  if (!png) return fail(QStringLiteral("PNG の書き出しを始められません"));
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return fail(QStringLiteral("PNG の書き出しを始められません"));
  }
  std::vector<png_bytep> rows(static_cast<std::size_t>(image.height()));
  for (int y = 0; y < image.height(); ++y) {
    rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(image.constScanLine(y));
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return fail(state->message.isEmpty() ? QStringLiteral("PNG を作れません") : state->message);
  }
  png_set_write_fn(png, state.get(), appendBytes, noFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, level);
  png_write_info(png, info);
  if (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
  } else {
    png_set_filler(png, 0, PNG_FILLER_BEFORE);
  }
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return std::move(state->out);
}

}  // namespace eq
