#pragma once
// A print job on a CUPS queue: the page is painted into a PDF file, which is handed to
// the queue as one job once the document ends, so that the queue's acceptance, or its
// own reason for refusing, is known.

#include "platform/platform.h"

#include <QPageSize>
#include <memory>

namespace eq {

// A job for `queue` whose paper is `paper` (its portrait size is what the print command
// reads before it turns the page to landscape A4). With `pdfPath` the page is painted
// into that file; with an empty queue it only goes there, and no job is made.
std::unique_ptr<PrinterDevice> makeCupsPrinterDevice(const QString& queue, const QPageSize& paper,
                                                     const QString& pdfPath = {});

}  // namespace eq
