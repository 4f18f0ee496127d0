#pragma once
// Handing a finished PDF file to a CUPS print queue, with the queue's own reason when
// it will not take the job.

#include <QString>
#include <optional>

namespace eq {

struct PrintJobResult {
  bool ok = false;
  int jobId = 0;  // the queue's number for the job, when ok
  QString error;  // a Japanese sentence with the queue's or the system's reason, when not ok
};

// Submits the PDF file at `pdfPath` as one job to `queue`, or to the default queue when
// `queue` is empty. `title` names the job (an empty one becomes "地震サークル"). Fails
// without creating a job when the queue is missing, rejects jobs or is stopped.
PrintJobResult submitPdf(const QString& queue, const QString& pdfPath, const QString& title);

// The name of the default queue; nothing when there is none or CUPS cannot be reached.
std::optional<QString> defaultQueue();

}  // namespace eq
