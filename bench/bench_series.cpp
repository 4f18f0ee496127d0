// Prints how long a series of sheets takes: 365 daily PNG frames of
// examples/recent.txt in one process, as `eqcircle render --from --to` draws them.
// Per frame: the drawing thread's part (Draw and painting), an encoder's part
// (the PNG of the next day's frame), and the whole pipeline: the median over every
// run of ten consecutive finished files of their time divided by ten (files finish
// in bursts, so single gaps say little), and the total divided by the frames.
// Then the same through the render process itself, and the time-series window's
// redraw when its slider moves one day on.

#include "app/time_series_window.h"
#include "platform/fonts.h"
#include "platform/scripted_platform.h"
#include "session/date_series.h"
#include "session/open_command.h"
#include "session/session.h"
#include "session/table_commands.h"
#include "sheet/png_frame_encoder.h"
#include "sheet/sheet_renderer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSlider>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString kExample = QStringLiteral(EQ_SOURCE_DIR "/examples/recent.txt");
const eq::DateRange kYear{QDate(2025, 1, 1), QDate(2025, 12, 31), 1};

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double ms(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

// The session as the render command prepares it: the file loaded, every named row ticked.
bool prepare(eq::Session& session) {
  session.startUp();
  if (!eq::loadEruptionDataFile(session, kExample).ok) return false;
  for (int row = 1; row <= eq::kRowCount; ++row) session.setTicked(row, !session.text(eq::fieldIndex(row, 1)).isEmpty());
  return true;
}

constexpr std::size_t kWindow = 10;

struct Pipeline {
  double medianPerFrame = 0;
  double mean = 0;
  bool ok = false;
};

Pipeline runPipeline(const QString& folder) {
  eq::ScriptedPlatform platform;
  eq::Session session(platform);
  Pipeline result;
  if (!prepare(session)) return result;
  eq::SeriesWriter writer(QDir(folder).filePath(QStringLiteral("sheet-{date}.png")));
  std::vector<double> finished;
  QElapsedTimer timer;
  timer.start();
  const auto failed = eq::renderDateSeries(session, kYear, QDate(2025, 1, 1), writer,
                                           [&](const eq::WrittenFrame&) { finished.push_back(ms(timer)); });
  const double total = ms(timer);
  std::vector<double> perFrame;
  for (std::size_t i = kWindow; i < finished.size(); ++i) {
    perFrame.push_back((finished[i] - finished[i - kWindow]) / static_cast<double>(kWindow));
  }
  result.medianPerFrame = median(perFrame);
  result.mean = total / static_cast<double>(eq::frameCount(kYear));
  result.ok = !failed && finished.size() == static_cast<std::size_t>(eq::frameCount(kYear));
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  eq::installJapaneseFontSubstitutes();

  // The two halves on their own, one thread.
  eq::ScriptedPlatform platform;
  eq::Session session(platform);
  if (!prepare(session)) {
    std::printf("cannot load %s\n", qPrintable(kExample));
    return 1;
  }
  eq::LastGoodValues lastGood = session.lastGood;
  eq::DrawSetUp setUp = eq::drawSetUp(session, lastGood, QDate(2025, 1, 1));
  QImage image;
  eq::PngFrameEncoder encoder;
  std::vector<double> drawing, encoding;
  double pieces = 0;
  const qint64 frames = eq::frameCount(kYear);
  for (qint64 i = 0; i < frames; ++i) {
    QElapsedTimer timer;
    timer.start();
    setUp.inputs.prediction = eq::predictionOf(eq::frameDate(kYear, i));
    const eq::DrawResult drawn = eq::draw(setUp.inputs);
    eq::renderSheetImage({drawn.sheet, setUp.background}, 1.0, image);
    drawing.push_back(ms(timer));
    timer.restart();
    encoder.encode(image);
    encoding.push_back(ms(timer));
    pieces += encoder.piecesCompressed();
  }
  std::printf("drawing thread: Draw + paint (median):          %6.2f ms\n", median(drawing));
  std::printf("encoder: PNG of the next day's frame (median):   %6.2f ms  (%.0f of %d pieces compressed on average)\n",
              median(encoding), pieces / static_cast<double>(frames),
              (eq::kSheetPixelHeight + eq::PngFrameEncoder::kRowsPerPiece - 1) / eq::PngFrameEncoder::kRowsPerPiece);

  bool ok = true;
  std::vector<double> medians;
  for (int run = 1; run <= 3; ++run) {
    QTemporaryDir dir;
    const Pipeline p = runPipeline(dir.path());
    ok = ok && p.ok;
    medians.push_back(p.medianPerFrame);
    std::printf("365 daily PNG frames, run %d: median %6.2f ms per frame, %6.2f ms per frame overall%s\n", run,
                p.medianPerFrame, p.mean, p.ok ? "" : "  (FAILED)");
  }

  QTemporaryDir dir;
  const QStringList args = {QStringLiteral("render"), kExample, QStringLiteral("--from"), QStringLiteral("2025-1-1"),
                            QStringLiteral("--to"), QStringLiteral("2025-12-31"), QStringLiteral("--out"),
                            dir.filePath(QStringLiteral("sheet-{n}.png"))};
  QProcess process;
  QElapsedTimer wall;
  wall.start();
  process.start(QStringLiteral(EQ_EQCIRCLE), args);
  const bool processOk = process.waitForFinished(600000) && process.exitStatus() == QProcess::NormalExit &&
                         process.exitCode() == 0;
  const double total = ms(wall);
  std::printf("eqcircle render --from 2025-1-1 --to 2025-12-31: %7.0f ms in all, %6.2f ms per frame%s\n", total,
              total / static_cast<double>(frames), processOk ? "" : "  (the command FAILED)");
  // The window as it opens on the example predicting 1 January 2025, at its usual size.
  for (int k = 0; k < 3; ++k) session.setText(eq::kPredictionYearBox + k, QStringList{"2025", "1", "1"}[k]);
  eq::TimeSeriesWindow window(session, platform);
  window.resize(1240, 1000);
  window.show();
  QCoreApplication::processEvents();
  std::vector<double> redraws;
  for (int i = 0; i < 200; ++i) {
    QElapsedTimer timer;
    timer.start();
    window.slider->setValue(window.slider->value() + 1);
    window.repaint();
    redraws.push_back(ms(timer));
  }
  std::printf("time-series window, slider one day on + repaint (median): %6.2f ms\n", median(redraws));

  // One line for scripts: the middle one of the three runs' medians.
  std::printf("series-median-ms %.2f\n", median(medians));
  return ok && processOk ? 0 : 1;
}
