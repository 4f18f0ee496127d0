#pragma once
// PNG encoding of one frame after another of the same size, for series of sheets.
// The compressed image is a chain of independent pieces of 16 rows each; a piece
// whose pixels are the same as in the previous frame is taken over as it was
// compressed then. Sheets of neighbouring dates differ only around their circles and
// the date stamp, so most pieces are taken over. The pixels are those encodePng
// writes (8-bit RGB, unfiltered rows, the same zlib level); the bytes differ.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <memory>
#include <optional>

namespace eq {

class PngFrameEncoder {
 public:
  static constexpr int kRowsPerPiece = 16;

  PngFrameEncoder();
  ~PngFrameEncoder();
  PngFrameEncoder(const PngFrameEncoder&) = delete;
  PngFrameEncoder& operator=(const PngFrameEncoder&) = delete;

  // The frame as a PNG file's bytes, or nothing with a reason in `error`.
  std::optional<QByteArray> encode(const QImage& frame, QString* error = nullptr);

  // Pieces compressed anew by the last encode (the others were taken over).
  int piecesCompressed() const { return compressed_; }

 private:
  struct Compressor;
  std::unique_ptr<Compressor> compressor_;
  int compressed_ = 0;
};

}  // namespace eq
