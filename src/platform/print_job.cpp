#include "platform/print_job.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cups/cups.h>
#include <memory>

namespace eq {
namespace {

QString cupsReason() { return QString::fromUtf8(cupsLastErrorString()); }

PrintJobResult failure(const QString& error) { return {false, 0, error}; }

struct DestDeleter {
  void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using Dest = std::unique_ptr<cups_dest_t, DestDeleter>;

struct IppDeleter {
  void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using Ipp = std::unique_ptr<ipp_t, IppDeleter>;

Dest findDest(const QString& queue) {
  const QByteArray name = queue.toUtf8();
  return Dest(cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.isEmpty() ? nullptr : name.constData(), nullptr));
}

// Why the queue would not print a job now; nothing when it would. Asked of the scheduler
// itself, since the destination list may be older than a cupsreject or cupsdisable.
std::optional<QString> queueRefusal(const cups_dest_t& dest) {
  const char* uri = cupsGetOption("printer-uri-supported", dest.num_options, dest.options);
  if (!uri) return std::nullopt;  // nothing to ask; the job's creation will tell
  ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  static const char* const kWanted[] = {"printer-is-accepting-jobs", "printer-state", "printer-state-message",
                                        "printer-state-reasons"};
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 4, nullptr, kWanted);
  const Ipp response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"));
  if (!response || cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
    return QStringLiteral("プリンタの状態を問い合わせられませんでした（%1）").arg(cupsReason());
  }
  ipp_attribute_t* accepting = ippFindAttribute(response.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
  ipp_attribute_t* state = ippFindAttribute(response.get(), "printer-state", IPP_TAG_ENUM);
  const bool rejects = accepting && !ippGetBoolean(accepting, 0);
  const bool stopped = state && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED;
  if (!rejects && !stopped) return std::nullopt;

  // The queue's own words: the message an administrator gave, else its state reasons.
  QString reason;
  if (ipp_attribute_t* message = ippFindAttribute(response.get(), "printer-state-message", IPP_TAG_TEXT)) {
    reason = QString::fromUtf8(ippGetString(message, 0, nullptr)).trimmed();
  }
  if (reason.isEmpty()) {
    QStringList reasons;
    ipp_attribute_t* list = ippFindAttribute(response.get(), "printer-state-reasons", IPP_TAG_KEYWORD);
    for (int k = 0; list && k < ippGetCount(list); ++k) {
      const QString keyword = QString::fromUtf8(ippGetString(list, k, nullptr));
      if (keyword != QLatin1String("none")) reasons << keyword;
    }
    reason = reasons.join(QStringLiteral(", "));
  }
  const QString name = QString::fromUtf8(dest.name);
  QString text = rejects ? QStringLiteral("プリンタ「%1」は印刷ジョブを受け付けていません").arg(name)
                         : QStringLiteral("プリンタ「%1」は停止しています").arg(name);
  return reason.isEmpty() ? text : text + QStringLiteral("（%1）").arg(reason);
}

}  // namespace

PrintJobResult submitPdf(const QString& queue, const QString& pdfPath, const QString& title) {
  QFile pdf(pdfPath);
  if (!pdf.open(QIODevice::ReadOnly)) {
    return failure(QStringLiteral("PDFファイル「%1」を読めません（%2）").arg(pdfPath, pdf.errorString()));
  }
  const Dest dest = findDest(queue);
  if (!dest) {
    return failure(queue.isEmpty() ? QStringLiteral("既定のプリンタがありません（%1）").arg(cupsReason())
                                   : QStringLiteral("プリンタ「%1」が見つかりません（%2）").arg(queue, cupsReason()));
  }
  if (const auto refusal = queueRefusal(*dest)) return failure(*refusal);

  const QString name = QString::fromUtf8(dest->name);
  const QByteArray jobTitle = (title.isEmpty() ? QStringLiteral("地震サークル") : title).toUtf8();
  const int jobId = cupsCreateJob(CUPS_HTTP_DEFAULT, dest->name, jobTitle.constData(), 0, nullptr);
  if (jobId <= 0) {
    return failure(QStringLiteral("プリンタ「%1」に印刷ジョブを作れませんでした（%2）").arg(name, cupsReason()));
  }
  const auto abandon = [&](const QString& reason) {
    const PrintJobResult result =
        failure(QStringLiteral("プリンタ「%1」に印刷データを送れませんでした（%2）").arg(name, reason));
    cupsCancelJob2(CUPS_HTTP_DEFAULT, dest->name, jobId, 0);
    return result;
  };
  const QByteArray document = QFileInfo(pdfPath).fileName().toUtf8();
  if (cupsStartDocument(CUPS_HTTP_DEFAULT, dest->name, jobId, document.constData(), CUPS_FORMAT_PDF, 1) !=
      HTTP_STATUS_CONTINUE) {
    return abandon(cupsReason());
  }
  // A failed job's document is still closed before the job is cancelled.
  char buffer[65536];
  qint64 n = 0;
  while ((n = pdf.read(buffer, sizeof buffer)) > 0) {
    if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, buffer, static_cast<std::size_t>(n)) != HTTP_STATUS_CONTINUE) {
      const QString reason = cupsReason();
      cupsFinishDocument(CUPS_HTTP_DEFAULT, dest->name);
      return abandon(reason);
    }
  }
  if (n < 0) {
    cupsFinishDocument(CUPS_HTTP_DEFAULT, dest->name);
    return abandon(pdf.errorString());
  }
  if (cupsFinishDocument(CUPS_HTTP_DEFAULT, dest->name) > IPP_STATUS_OK_CONFLICTING) return abandon(cupsReason());
  return {true, jobId, QString()};
}

std::optional<QString> defaultQueue() {
  const Dest dest = findDest(QString());
  if (!dest) return std::nullopt;
  return QString::fromUtf8(dest->name);
}

}  // namespace eq
