#pragma once
// An animated WebP, built one frame at a time: lossless, every frame shown for the
// same time (one over the frame rate), looping for ever.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>

namespace eq {

// An animation's frame rates: 1 to 100 frames a second (a frame lasts its whole
// milliseconds, 10 at the least); 10 unless one is chosen.
inline constexpr int kFastestFrameRate = 100;
inline constexpr int kDefaultFrameRate = 10;

class WebpAnimationWriter {
 public:
  // Frames of `size` pixels, `framesPerSecond` of them a second (at least 1).
  WebpAnimationWriter(QSize size, int framesPerSecond);
  ~WebpAnimationWriter();
  WebpAnimationWriter(const WebpAnimationWriter&) = delete;
  WebpAnimationWriter& operator=(const WebpAnimationWriter&) = delete;

  // Adds the next frame (the animation's size); false, with a reason in `error`, when it cannot.
  bool addFrame(const QImage& frame, QString* error = nullptr);
  int frameCount() const { return frames_; }

  // The whole file's bytes once every frame is in, or nothing with a reason in `error`.
  std::optional<QByteArray> finish(QString* error = nullptr);

 private:
  struct Encoder;
  std::unique_ptr<Encoder> encoder_;
  QSize size_;
  int fps_;
  int frames_ = 0;
};

}  // namespace eq
