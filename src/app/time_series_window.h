#pragma once
// The sheet through time: a slider over the prediction dates between two dates the
// user sets, every so many days, that redraws the sheet for the date it points at;
// play and pause; the date shown large; and an export of every date as PNG files or
// one animated WebP. It takes the main window's table and ticks as the Draw reads
// them and calls the core's Draw for each date, so the main window's state stays as
// it was.

#include "app/qt_platform.h"
#include "session/date_series.h"
#include "session/session.h"

#include <QDate>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

class QDateEdit;
class QLabel;
class QProgressDialog;
class QPushButton;
class QSlider;
class QSpinBox;

namespace eq {

class TimeSeriesWindow : public QWidget {
  Q_OBJECT
 public:
  // `messages` tells the user how an export went; on the real desktop its boxes open
  // over this window. Closing the window hides it, until its owner deletes it.
  TimeSeriesWindow(const Session& main, Platform& messages, QWidget* parent = nullptr);
  ~TimeSeriesWindow() override;

  // Takes the table, ticks, title and background choice of `main` afresh and redraws.
  void takeTable(const Session& main);
  // The same, and the range and date that `main` suggests, as when the window was made.
  void restart(const Session& main);

  // The dates from the first to the last, every `stepDays` days. A new range keeps
  // the date shown where it can: the frame at or before it.
  DateRange range() const;
  void setRange(const DateRange& range);
  // The date the slider points at; setting one moves the slider to the nearest frame.
  QDate date() const;
  void setDate(const QDate& date);

  // Writes every frame of the range: `path` ending in .webp is one animation; otherwise
  // one file per date, named by {date} or {n} in `path` (a missing placeholder becomes
  // "-{date}" before the extension). Runs a frame at a time on the event loop behind a
  // progress dialog whose cancel button stops it; exportFinished tells the outcome, and
  // a message how many frames were written and where.
  void exportTo(const QString& path);
  bool exporting() const { return export_ != nullptr; }

  // What it draws from (the table as taken), and what it shows.
  const DrawInputs& inputs() const { return table_.inputs; }
  const DrawResult& drawing() const { return drawn_; }

  QDateEdit* fromEdit{};
  QDateEdit* toEdit{};
  QSpinBox* stepBox{};
  QSpinBox* fpsBox{};  // frames a second, for playing and for the animation
  QPushButton* playButton{};
  QPushButton* exportButton{};
  QSlider* slider{};
  QLabel* dateLabel{};

 signals:
  // After exportTo: true when every file was written, false when it failed or was cancelled.
  void exportFinished(bool ok);

 public slots:
  void play();
  void pause();
  // Asks for a file name, then exports.
  void exportFrames();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Export;
  enum class Ending { Done, Cancelled, Closed };  // Closed: no message

  Platform& messages() { return ownMessages_ ? *ownMessages_ : messages_; }
  void rangeChanged();
  void showFrame(int index);
  void nextFrame();
  void exportStep();
  void endExport(Ending how);
  // Takes the table of `main`, without drawing.
  void take(const Session& main);
  // The Draw of the table for `date`.
  DrawResult drawFor(const QDate& date);

  Platform& messages_;
  std::unique_ptr<QtPlatform> ownMessages_;
  DrawSetUp table_;   // the main window's table as taken, with its background bitmap
  DrawResult drawn_;  // the sheet on view
  QWidget* view_{};
  QTimer playTimer_;
  QTimer exportTimer_;
  std::unique_ptr<Export> export_;
  QDate shown_;          // the date the sheet shows
  QString exportFolder_;  // where the last export went
};

}  // namespace eq
