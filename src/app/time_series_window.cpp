#include "app/time_series_window.h"

#include "app/file_dialogs.h"
#include "draw/series_range.h"
#include "model/number_text.h"
#include "platform/fonts.h"
#include "session/messages.h"
#include "session/table_commands.h"
#include "sheet/sheet_renderer.h"

#include <QCloseEvent>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

namespace eq {
namespace {

constexpr int kLongestStep = 36500;  // days
const QString kPlayText = QStringLiteral("▶ 再生");
const QString kPauseText = QStringLiteral("❚❚ 一時停止");

DateTexts dateTexts(const Session& session, int yearBox) {
  DateTexts texts;
  for (int k = 0; k < 3; ++k) texts[static_cast<std::size_t>(k)] = session.text(yearBox + k).toStdString();
  return texts;
}

QDate toQDate(const CalendarDate& date) { return QDate(date.year, date.month, date.day); }

// A date typed into three boxes, when it is a calendar date.
std::optional<QDate> typedDate(const Session& session, int yearBox) {
  const auto date = typedCalendarDate(dateTexts(session, yearBox));
  if (!date) return std::nullopt;
  return toQDate(*date);
}

DateRange defaultRange(const Session& session) {
  std::array<DateTexts, kRowCount> eruptions;
  std::array<bool, kRowCount> ticked{};
  for (int row = 1; row <= kRowCount; ++row) {
    eruptions[static_cast<std::size_t>(row - 1)] = dateTexts(session, fieldIndex(row, 2));
    ticked[static_cast<std::size_t>(row - 1)] = session.ticked(row);
  }
  const QDate today = QDate::currentDate();
  const SeriesRange range = defaultSeriesRange(eruptions, ticked, dateTexts(session, kPredictionYearBox),
                                               {today.year(), today.month(), today.day()});
  return {toQDate(range.from), toQDate(range.to), 1};
}

QString dateCaption(const QDate& date) {
  return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

// A name of the type with `extension`: a file per date needs a placeholder ("sheet.png"
// becomes "sheet-{date}.png"), an animation is one file and has none.
QString nameForType(const QString& name, const QString& extension) {
  QString base = QFileInfo(name).completeBaseName();
  if (isAnimationPath(name + QLatin1Char('.') + extension)) {
    for (const char* placeholder : {"-{date}", "{date}", "-{n}", "{n}"}) base.remove(QLatin1String(placeholder));
    if (base.isEmpty()) base = QStringLiteral("sheet");
  } else if (!hasFramePlaceholder(base)) {
    base += QStringLiteral("-{date}");
  }
  return base + QLatin1Char('.') + extension;
}

QString seriesPath(const QString& path) {
  const QFileInfo info(path);
  return info.dir().filePath(nameForType(info.fileName(), info.suffix()));
}

// The frame at or before `date`, within the range.
int frameAtOrBefore(const DateRange& range, const QDate& date) {
  const qint64 last = frameCount(range) - 1;
  if (!date.isValid() || last < 0) return 0;
  const qint64 days = range.from.daysTo(date);
  const qint64 index = days < 0 ? 0 : days / range.stepDays;
  return static_cast<int>(std::min(index, last));
}

// Paints the sheet on view, as large as fits the widget at the sheet's proportions.
class SheetView : public QWidget {
 public:
  SheetView(const DrawResult& drawing, const QImage& background, QWidget* parent)
      : QWidget(parent), drawing_(drawing), background_(background) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(kSheetPixelWidth / 4, kSheetPixelHeight / 4);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  }
  QSize sizeHint() const override { return {kSheetPixelWidth, kSheetPixelHeight}; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const double scale = std::min(width() / double(kSheetPixelWidth), height() / double(kSheetPixelHeight));
    const QSizeF size(kSheetPixelWidth * scale, kSheetPixelHeight * scale);
    const QPointF corner(std::floor((width() - size.width()) / 2), std::floor((height() - size.height()) / 2));
    paintSheet(painter, {drawing_.sheet, background_}, QRectF(corner, size));
  }

 private:
  const DrawResult& drawing_;
  const QImage& background_;
};

}  // namespace

struct TimeSeriesWindow::Export {
  std::unique_ptr<SeriesWriter> writer;
  QString path;  // the pattern, or the animation
  DateRange range;
  qint64 count = 0;
  qint64 next = 0;
  qint64 written = 0;  // frames whose files are complete
  QPointer<QProgressDialog> progress;
};

TimeSeriesWindow::TimeSeriesWindow(const Session& main, Platform& messages, QWidget* parent)
    : QWidget(parent), messages_(messages) {
  if (dynamic_cast<QtPlatform*>(&messages)) ownMessages_ = std::make_unique<QtPlatform>(this);
  setWindowTitle(QStringLiteral("時系列 - 地震サークル"));
  setFont(uiFont());

  fromEdit = new QDateEdit(this);
  toEdit = new QDateEdit(this);
  for (QDateEdit* edit : {fromEdit, toEdit}) {
    edit->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    edit->setCalendarPopup(true);
    edit->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
  }
  stepBox = new QSpinBox(this);
  stepBox->setRange(1, kLongestStep);
  stepBox->setSuffix(QStringLiteral(" 日"));
  fpsBox = new QSpinBox(this);
  fpsBox->setRange(1, kFastestFrameRate);
  fpsBox->setValue(kDefaultFrameRate);
  fpsBox->setSuffix(QStringLiteral(" コマ/秒"));
  playButton = new QPushButton(kPlayText, this);
  exportButton = new QPushButton(QStringLiteral("書き出し…"), this);
  playButton->setToolTip(QStringLiteral("日付を順に進めて見せます。もう一度押すと止まります"));
  exportButton->setToolTip(QStringLiteral("すべての日付の図を、日付ごとの PNG 画像か WebP アニメーションに書き出します"));
  slider = new QSlider(Qt::Horizontal, this);
  slider->setPageStep(30);
  dateLabel = new QLabel(this);
  dateLabel->setFont(pGothicFont(24, true));
  dateLabel->setAlignment(Qt::AlignCenter);
  view_ = new SheetView(drawn_, table_.background, this);

  auto* controls = new QHBoxLayout;
  controls->addWidget(new QLabel(QStringLiteral("開始日"), this));
  controls->addWidget(fromEdit);
  controls->addWidget(new QLabel(QStringLiteral("終了日"), this));
  controls->addWidget(toEdit);
  controls->addWidget(new QLabel(QStringLiteral("間隔"), this));
  controls->addWidget(stepBox);
  controls->addWidget(new QLabel(QStringLiteral("速さ"), this));
  controls->addWidget(fpsBox);
  controls->addStretch();
  controls->addWidget(playButton);
  controls->addWidget(exportButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addWidget(dateLabel);
  layout->addWidget(slider);
  layout->addWidget(view_, 1);

  playTimer_.setTimerType(Qt::PreciseTimer);
  connect(&playTimer_, &QTimer::timeout, this, &TimeSeriesWindow::nextFrame);
  exportTimer_.setInterval(0);
  connect(&exportTimer_, &QTimer::timeout, this, &TimeSeriesWindow::exportStep);
  connect(slider, &QSlider::valueChanged, this, &TimeSeriesWindow::showFrame);
  connect(fromEdit, &QDateEdit::dateChanged, this, &TimeSeriesWindow::rangeChanged);
  connect(toEdit, &QDateEdit::dateChanged, this, &TimeSeriesWindow::rangeChanged);
  connect(stepBox, qOverload<int>(&QSpinBox::valueChanged), this, &TimeSeriesWindow::rangeChanged);
  connect(fpsBox, qOverload<int>(&QSpinBox::valueChanged), this,
          [this](int rate) { playTimer_.setInterval(1000 / rate); });
  playTimer_.setInterval(1000 / kDefaultFrameRate);
  connect(playButton, &QPushButton::clicked, this, [this] { playTimer_.isActive() ? pause() : play(); });
  connect(exportButton, &QPushButton::clicked, this, &TimeSeriesWindow::exportFrames);

  restart(main);
}

TimeSeriesWindow::~TimeSeriesWindow() = default;

DrawResult TimeSeriesWindow::drawFor(const QDate& date) {
  table_.inputs.prediction = predictionOf(date);
  return draw(table_.inputs);
}

void TimeSeriesWindow::take(const Session& main) {
  // The creation stamp shows the day the table was taken, as the main window's Draw
  // shows the day it ran; the main window's last good values stay its own.
  LastGoodValues lastGood = main.lastGood;
  table_ = drawSetUp(main, lastGood, QDate::currentDate());
}

void TimeSeriesWindow::takeTable(const Session& main) {
  take(main);
  showFrame(slider->value());
}

void TimeSeriesWindow::restart(const Session& main) {
  take(main);
  setRange(defaultRange(main));
  setDate(typedDate(main, kPredictionYearBox).value_or(QDate::currentDate()));
}

DateRange TimeSeriesWindow::range() const { return {fromEdit->date(), toEdit->date(), stepBox->value()}; }

void TimeSeriesWindow::setRange(const DateRange& wanted) {
  {
    const QSignalBlocker blockFrom(fromEdit), blockTo(toEdit), blockStep(stepBox);
    fromEdit->setDate(wanted.from);
    toEdit->setDate(wanted.to);
    stepBox->setValue(wanted.stepDays);
  }
  rangeChanged();
}

QDate TimeSeriesWindow::date() const {
  const DateRange r = range();
  if (frameCount(r) == 0) return {};
  return frameDate(r, slider->value());
}

void TimeSeriesWindow::setDate(const QDate& wanted) {
  const DateRange r = range();
  const qint64 count = frameCount(r);
  if (count == 0 || !wanted.isValid()) return;
  const double steps = static_cast<double>(r.from.daysTo(wanted)) / r.stepDays;
  const auto index = static_cast<int>(std::clamp<double>(std::round(steps), 0, static_cast<double>(count - 1)));
  if (index == slider->value()) {
    showFrame(index);
  } else {
    slider->setValue(index);
  }
}

void TimeSeriesWindow::rangeChanged() {
  const DateRange r = range();
  const qint64 count = frameCount(r);
  const bool usable = count > 0 && count <= std::numeric_limits<int>::max();
  slider->setEnabled(usable);
  playButton->setEnabled(usable);
  exportButton->setEnabled(usable);
  if (!usable) {
    pause();
    dateLabel->setText(rangeProblem(r).value_or(QString()));
    return;
  }
  const QSignalBlocker block(slider);
  slider->setRange(0, static_cast<int>(count - 1));
  slider->setValue(frameAtOrBefore(r, shown_));
  showFrame(slider->value());
}

void TimeSeriesWindow::showFrame(int index) {
  const DateRange r = range();
  if (frameCount(r) == 0 || exporting()) return;
  const QDate shown = frameDate(r, index);
  drawn_ = drawFor(shown);
  shown_ = shown;
  dateLabel->setText(dateCaption(shown));
  view_->update();
}

void TimeSeriesWindow::play() {
  if (!slider->isEnabled()) return;
  if (slider->value() == slider->maximum()) slider->setValue(0);
  playTimer_.start();
  playButton->setText(kPauseText);
}

void TimeSeriesWindow::pause() {
  playTimer_.stop();
  playButton->setText(kPlayText);
}

void TimeSeriesWindow::nextFrame() {
  if (slider->value() >= slider->maximum()) {
    pause();
    return;
  }
  slider->setValue(slider->value() + 1);
}

void TimeSeriesWindow::exportFrames() {
  pause();
  const QStringList types = {QStringLiteral("PNG 画像 (日付ごと) (*.png)"), QStringLiteral("アニメーション WebP (*.webp)")};
  const std::optional<QString> path = askSaveFileName(
      this, QStringLiteral("書き出し"), QDir(exportFolder_).filePath(QStringLiteral("sheet-{date}.png")), types, nameForType);
  if (!path) return;
  exportFolder_ = QFileInfo(*path).absolutePath();
  exportTo(*path);
}

void TimeSeriesWindow::exportTo(const QString& path) {
  if (exporting()) return;
  pause();
  const DateRange r = range();
  if (const auto problem = rangeProblem(r)) {
    emit exportFinished(false);
    messages().messageBox(*problem, kMessageCaption, MessageButtons::Ok, MessageIcon::Exclamation);
    return;
  }
  export_ = std::make_unique<Export>();
  export_->path = seriesPath(path);
  export_->writer = std::make_unique<SeriesWriter>(export_->path, 1.0, fpsBox->value());
  export_->range = r;
  export_->count = frameCount(r);
  const int steps = static_cast<int>(export_->count);
  auto* progress = new QProgressDialog(QStringLiteral("書き出しています: %1").arg(QFileInfo(path).fileName()),
                                       QStringLiteral("キャンセル"), 0, steps, this);
  progress->setWindowTitle(QStringLiteral("書き出し"));
  progress->setWindowModality(Qt::WindowModal);
  progress->setMinimumDuration(500);
  progress->setAutoClose(false);
  progress->setAutoReset(false);
  progress->setAttribute(Qt::WA_DeleteOnClose);
  connect(progress, &QProgressDialog::canceled, this, [this] { endExport(Ending::Cancelled); });
  export_->progress = progress;
  exportTimer_.start();
}

void TimeSeriesWindow::exportStep() {
  if (!export_) return;
  Export& e = *export_;
  const QDate day = frameDate(e.range, e.next);
  const bool added = e.writer->add(drawFor(day), table_.background, day);
  e.written += static_cast<qint64>(e.writer->takeWritten().size());
  ++e.next;
  if (!added || e.next == e.count) {
    endExport(Ending::Done);
    return;
  }
  // Showing the progress runs the event loop, where Cancel ends the export and closing
  // the main window closes this one: nothing here is read after it.
  if (QProgressDialog* progress = e.progress) progress->setValue(static_cast<int>(e.next));
}

void TimeSeriesWindow::endExport(Ending how) {
  exportTimer_.stop();
  if (!export_) return;
  QString message;
  bool ok = false;
  {
    const std::unique_ptr<Export> done = std::move(export_);
    // Frames handed to the writer are completed; a cancelled animation is not written.
    const bool animation = isAnimationPath(done->path);
    const std::optional<QString> failed =
        how == Ending::Done || !animation ? done->writer->finish() : std::nullopt;
    const qint64 written = done->written + static_cast<qint64>(done->writer->takeWritten().size());
    const QString folder = QDir::toNativeSeparators(QFileInfo(done->path).absolutePath());
    ok = how == Ending::Done && !failed;
    if (failed) {
      message = *failed;
      if (!animation && written > 0) message += QStringLiteral("\n書き出し済みの %1 コマは残っています。").arg(written);
    } else if (how == Ending::Cancelled) {
      message = animation ? QStringLiteral("書き出しを取り消しました。アニメーションは保存していません。")
                          : QStringLiteral("書き出しを取り消しました。書き出し済みの %1 コマは残っています。\n保存先: %2")
                                .arg(written)
                                .arg(folder);
    } else if (ok) {
      message = animation ? QStringLiteral("%1 コマのアニメーションを書き出しました。\n%2")
                                .arg(written)
                                .arg(QDir::toNativeSeparators(done->path))
                          : QStringLiteral("%1 コマを書き出しました。\n保存先: %2").arg(written).arg(folder);
    }
    if (done->progress) {
      disconnect(done->progress, nullptr, this, nullptr);  // closing the dialog would say "cancelled"
      done->progress->close();
    }
  }
  showFrame(slider->value());
  emit exportFinished(ok);
  // The box runs the event loop; nothing is read after it.
  if (how != Ending::Closed && !message.isEmpty()) {
    messages().messageBox(message, kMessageCaption, MessageButtons::Ok,
                          ok ? MessageIcon::Information : MessageIcon::Exclamation);
  }
}

void TimeSeriesWindow::closeEvent(QCloseEvent* event) {
  pause();
  endExport(Ending::Closed);
  event->accept();
}

}  // namespace eq
