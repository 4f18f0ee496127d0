#pragma once
// What the commands need from the desktop: message and input boxes, the open-file
// dialog, starting the text editor, the printer and the clipboard. QtPlatform talks
// to the real desktop; ScriptedPlatform answers from a script, for tests and for
// rendering without a display.

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QPainter;

namespace eq {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { Information, Exclamation };
enum class MessageAnswer { Ok, Yes, No };

// The common open-file dialog: it remembers the path of its last successful use.
struct FileDialogRequest {
  QString title;
  QString filter;        // one entry, "description|pattern"
  QString initialPath;   // the remembered path; empty at first
};

// A printer job, in the order the print command uses it: read the page size, set
// the paper, draw, end the page, end the document. Sizes and positions in twips.
class PrinterDevice {
 public:
  virtual ~PrinterDevice() = default;
  virtual QString name() const = 0;
  // Page width and height in twips, in the orientation the printer has now.
  virtual QSizeF pageSizeTwips() const = 0;
  virtual void setPaperSizeA4() = 0;
  virtual void setOrientationLandscape() = 0;
  // The job's title in the queue.
  virtual void setDocumentName(const QString& title) { (void)title; }
  // Calls paint with a painter on the page and the target rectangle in device
  // coordinates for `twips` (measured from the page's top-left corner).
  virtual bool drawPicture(const QRectF& twips, const std::function<void(QPainter&, const QRectF&)>& paint) = 0;
  virtual bool endPage() = 0;
  virtual bool endDocument() = 0;
  // Why the job failed, in the queue's or the system's words; empty when not known.
  virtual QString errorString() const { return {}; }
};

class Platform {
 public:
  virtual ~Platform() = default;

  virtual MessageAnswer messageBox(const QString& text, const QString& caption, MessageButtons buttons,
                                   MessageIcon icon) = 0;
  // The typed text, or nothing when the user cancelled.
  virtual std::optional<QString> inputBox(const QString& prompt, const QString& caption) = 0;
  // The chosen file's full path, or nothing when the user cancelled.
  virtual std::optional<QString> openFileDialog(const FileDialogRequest& request) = 0;
  // A file to write: the chosen path, or nothing when the user cancelled. The filter
  // holds entries "description|pattern" separated by "||"; an existing file is
  // confirmed by the dialog itself.
  virtual std::optional<QString> saveFileDialog(const FileDialogRequest& request) = 0;
  // Starts the system text editor on the file without waiting; false when it could not be started.
  virtual bool startEditor(const QString& path) = 0;
  // The system's default printer, or nothing when there is none.
  virtual std::unique_ptr<PrinterDevice> defaultPrinter() = 0;
  virtual bool clearClipboard() = 0;
  virtual bool setClipboardImage(const QImage& image) = 0;
  virtual bool setClipboardText(const QString& text) = 0;
};

}  // namespace eq
