#include "platform/cups_printer.h"

#include "platform/print_job.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <cmath>

namespace eq {
namespace {

constexpr int kTwipsPerInch = 1440;

class CupsPrinterDevice : public PrinterDevice {
 public:
  CupsPrinterDevice(const QString& queue, const QPageSize& paper, const QString& pdfPath)
      : queue_(queue), paper_(paper), pdfPath_(pdfPath) {}

  QString name() const override { return queue_; }

  QSizeF pageSizeTwips() const override {
    // Whole twips of the paper, upright (A4: 11906 x 16838).
    const QSizeF mm = paper_.size(QPageSize::Millimeter);
    return {std::round(mm.width() / 25.4 * kTwipsPerInch), std::round(mm.height() / 25.4 * kTwipsPerInch)};
  }

  void setPaperSizeA4() override { paper_ = QPageSize(QPageSize::A4); }
  void setOrientationLandscape() override { landscape_ = true; }
  void setDocumentName(const QString& title) override { title_ = title; }

  bool drawPicture(const QRectF& twips, const std::function<void(QPainter&, const QRectF&)>& paint) override {
    if (!painter_.isActive() && !begin()) return false;
    // One device unit is one twip.
    paint(painter_, twips);
    return true;
  }

  bool endPage() override { return painter_.isActive() || begin(); }

  bool endDocument() override {
    if (!painter_.isActive() || !painter_.end()) {
      error_ = QStringLiteral("印刷用の PDF を作れませんでした。");
      return false;
    }
    writer_.reset();
    if (queue_.isEmpty()) return true;  // a PDF file only
    const PrintJobResult job = submitPdf(queue_, pdfPath_, title_);
    if (!job.ok) error_ = job.error;
    return job.ok;
  }

  QString errorString() const override { return error_; }

 private:
  bool begin() {
    if (pdfPath_.isEmpty()) {
      if (!folder_.isValid()) {
        error_ = QStringLiteral("印刷用の一時フォルダを作れませんでした。");
        return false;
      }
      pdfPath_ = folder_.filePath(QStringLiteral("sheet.pdf"));
    }
    writer_ = std::make_unique<QPdfWriter>(pdfPath_);
    writer_->setCreator(QStringLiteral("地震サークル"));
    writer_->setTitle(title_.isEmpty() ? QStringLiteral("地震サークル") : title_);
    writer_->setPageLayout(QPageLayout(paper_, landscape_ ? QPageLayout::Landscape : QPageLayout::Portrait,
                                       QMarginsF(0, 0, 0, 0)));
    writer_->setResolution(kTwipsPerInch);
    return painter_.begin(writer_.get());
  }

  QString queue_;
  QPageSize paper_;
  bool landscape_ = false;
  QString title_;
  QTemporaryDir folder_;
  QString pdfPath_;
  std::unique_ptr<QPdfWriter> writer_;
  QPainter painter_;
  QString error_;
};

}  // namespace

std::unique_ptr<PrinterDevice> makeCupsPrinterDevice(const QString& queue, const QPageSize& paper,
                                                     const QString& pdfPath) {
  return std::make_unique<CupsPrinterDevice>(queue, paper, pdfPath);
}

}  // namespace eq
