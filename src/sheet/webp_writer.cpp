#include "sheet/webp_writer.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cstring>

namespace eq {
namespace {

// Lossless effort 1 of 0 ... 9: on the sheets, effort 0 makes files ten times larger,
// and higher efforts save a few per cent for twice the time.
constexpr int kLosslessEffort = 1;

QString encoderError(WebPAnimEncoder* encoder, const char* fallback) {
  const char* why = encoder ? WebPAnimEncoderGetError(encoder) : nullptr;
  return QString::fromUtf8(why && *why ? why : fallback);
}

}  // namespace

struct WebpAnimationWriter::Encoder {
  WebPAnimEncoder* encoder = nullptr;
  WebPConfig config{};
  ~Encoder() {
    if (encoder) WebPAnimEncoderDelete(encoder);
  }
};

WebpAnimationWriter::WebpAnimationWriter(QSize size, int framesPerSecond)
    : encoder_(std::make_unique<Encoder>()), size_(size), fps_(std::max(1, framesPerSecond)) {
  WebPAnimEncoderOptions options;
  if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&encoder_->config) ||
      !WebPConfigLosslessPreset(&encoder_->config, kLosslessEffort)) {
    return;
  }
  options.anim_params.loop_count = 0;  // for ever
  options.allow_mixed = 0;
  // Key frames would encode many frames twice; a viewer still plays from the start.
  options.kmax = 0;
  encoder_->config.exact = 1;
  encoder_->encoder = WebPAnimEncoderNew(size.width(), size.height(), &options);
}

WebpAnimationWriter::~WebpAnimationWriter() = default;

bool WebpAnimationWriter::addFrame(const QImage& frame, QString* error) {
  const auto fail = [error](const QString& why) {
    if (error) *error = why;
    return false;
  };
  if (!encoder_->encoder) return fail(QStringLiteral("WebP の書き出しを始められません"));
  if (frame.size() != size_) return fail(QStringLiteral("コマの大きさが揃っていません"));
  const QImage image = frame.format() == QImage::Format_RGB32 ? frame : frame.convertToFormat(QImage::Format_RGB32);

  WebPPicture picture;
  if (!WebPPictureInit(&picture)) return fail(QStringLiteral("WebP の書き出しを始められません"));
  picture.use_argb = 1;
  picture.width = size_.width();
  picture.height = size_.height();
  if (!WebPPictureAlloc(&picture)) return fail(QStringLiteral("WebP のコマに使うメモリが足りません"));
  // 0xffRRGGBB words, the same layout as WebP's own ARGB pixels.
  const auto rowBytes = static_cast<std::size_t>(size_.width()) * 4;
  for (int y = 0; y < size_.height(); ++y) {
    std::memcpy(picture.argb + static_cast<std::ptrdiff_t>(y) * picture.argb_stride, image.constScanLine(y), rowBytes);
  }
  const int timestamp = static_cast<int>(static_cast<qint64>(frames_) * 1000 / fps_);
  const bool added = WebPAnimEncoderAdd(encoder_->encoder, &picture, timestamp, &encoder_->config) != 0;
  WebPPictureFree(&picture);
  if (!added) return fail(encoderError(encoder_->encoder, "WebP のコマを加えられません"));
  ++frames_;
  return true;
}

std::optional<QByteArray> WebpAnimationWriter::finish(QString* error) {
  const auto fail = [error](const QString& why) -> std::optional<QByteArray> {
    if (error) *error = why;
    return std::nullopt;
  };
  if (!encoder_->encoder) return fail(QStringLiteral("WebP の書き出しを始められません"));
  if (frames_ == 0) return fail(QStringLiteral("コマがありません"));
  const int end = static_cast<int>(static_cast<qint64>(frames_) * 1000 / fps_);
  WebPData data;
  WebPDataInit(&data);
  if (!WebPAnimEncoderAdd(encoder_->encoder, nullptr, end, nullptr) ||
      !WebPAnimEncoderAssemble(encoder_->encoder, &data)) {
    return fail(encoderError(encoder_->encoder, "WebP を組み立てられません"));
  }
  QByteArray bytes(reinterpret_cast<const char*>(data.bytes), static_cast<qsizetype>(data.size));
  WebPDataClear(&data);
  return bytes;
}

}  // namespace eq
