#pragma once
// The sheet through time: a slider over the prediction dates between two dates the
// user sets, every so many days, that redraws the sheet for the date it points at;
// play and pause; the date shown large; and an export of every date as PNG files or
// one animated WebP. It draws on a session of its own that copies the main window's
// table and ticks, so the main window's state stays as it was.

#include "platform/scripted_platform.h"
#include "render/date_series.h"
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
  // `messages` tells the user about a failed export.
  TimeSeriesWindow(const Session& main, Platform& messages, QWidget* parent = nullptr);
  ~TimeSeriesWindow() override;

  // Takes the table, ticks, title and background choice of `main` afresh and redraws.
  void takeTable(const Session& main);

  // The dates from the first to the last, every `stepDays` days.
  DateRange range() const;
  void setRange(const DateRange& range);
  // The date the slider points at; setting one moves the slider to the nearest frame.
  QDate date() const;
  void setDate(const QDate& date);

  // Writes every frame of the range: `path` ending in .webp is one animation; otherwise
  // one file per date, named by {date} or {n} in `path` (a missing placeholder becomes
  // "-{date}" before the extension). Runs a frame at a time on the event loop behind a
  // progress dialog whose cancel button stops it; exportFinished tells the outcome.
  void exportTo(const QString& path);
  bool exporting() const { return export_ != nullptr; }

  const Session& session() const { return session_; }

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

  void rangeChanged();
  void showFrame(int index);
  void nextFrame();
  void exportStep();
  void endExport(bool cancelled);
  void resetDrawer();

  Platform& messages_;
  ScriptedPlatform quiet_;  // the copy's own commands never ask anything
  Session session_{quiet_};
  std::unique_ptr<FrameDrawer> drawer_;
  QWidget* view_{};
  QTimer playTimer_;
  QTimer exportTimer_;
  std::unique_ptr<Export> export_;
};

}  // namespace eq
