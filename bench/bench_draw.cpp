// Prints how long a sheet takes, without any widget: the Draw command on a session
// (three circles, with the background map), Draw followed by painting the sheet into
// a 1200 x 853 image, encoding that image as PNG, and the whole
// `eqcircle render examples/recent.txt --date 2025-1-1 --out x.png` process.
// Medians of repeated runs after a first, cold one.

#include "platform/data_paths.h"
#include "platform/fonts.h"
#include "platform/scripted_platform.h"
#include "session/draw_command.h"
#include "session/session.h"
#include "session/table_commands.h"
#include "sheet/png_writer.h"
#include "sheet/sheet_renderer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double milliseconds(const std::function<void()>& work) {
  QElapsedTimer timer;
  timer.start();
  work();
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

struct Figures {
  double first = 0;
  double median = 0;
};

Figures measure(int runs, const std::function<void()>& work) {
  Figures f;
  f.first = milliseconds(work);
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) times.push_back(milliseconds(work));
  std::sort(times.begin(), times.end());
  f.median = times[times.size() / 2];
  return f;
}

void fill(eq::Session& session) {
  const QStringList rows[] = {
      {"桜島", "2019", "11", "8", "31.58", "130.66"},
      {"阿蘇山", "2021", "10", "20", "32.88", "131.10"},
      {"西之島", "2020", "6", "15", "27.25", "140.88"},
  };
  for (int r = 0; r < 3; ++r) {
    for (int f = 0; f < 6; ++f) session.setText(eq::fieldIndex(r + 1, f + 1), rows[r][f]);
    session.setTicked(r + 1, true);
  }
  session.setText(eq::kPredictionYearBox, QStringLiteral("2024"));
  session.setText(eq::kPredictionYearBox + 1, QStringLiteral("5"));
  session.setText(eq::kPredictionYearBox + 2, QStringLiteral("1"));
  session.TitleComment = QStringLiteral("九州と小笠原の地震サークル");
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  eq::installJapaneseFontSubstitutes();

  eq::ScriptedPlatform platform;
  eq::Session session(platform);
  session.startUp();
  fill(session);
  const bool background = QFile::exists(eq::backgroundMapPath());

  const Figures draw = measure(100, [&] { eq::runDrawCommand(session); });
  const Figures both = measure(100, [&] {
    eq::runDrawCommand(session);
    session.surface().image();
  });
  const QImage image = session.surface().image();
  qsizetype pngBytes = 0;
  const Figures png = measure(50, [&] { pngBytes = eq::encodePng(image).value_or(QByteArray()).size(); });

  QTemporaryDir dir;
  const QString out = dir.filePath(QStringLiteral("x.png"));
  const QStringList args = {QStringLiteral("render"), QStringLiteral(EQ_SOURCE_DIR "/examples/recent.txt"),
                            QStringLiteral("--date"), QStringLiteral("2025-1-1"), QStringLiteral("--out"), out};
  bool processOk = true;
  const Figures process = measure(20, [&] {
    QProcess p;
    p.start(QStringLiteral(EQ_EQCIRCLE), args);
    processOk = p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 && processOk;
  });

  std::printf("background map loaded by Draw:           %s\n", background ? "yes" : "no (not beside the benchmark)");
  std::printf("Draw command, 3 circles (first / median): %7.2f / %6.2f ms\n", draw.first, draw.median);
  std::printf("Draw + paint to 1200 x 853 image:         %7.2f / %6.2f ms\n", both.first, both.median);
  std::printf("PNG write of that image (%lld bytes):     %7.2f / %6.2f ms\n", static_cast<long long>(pngBytes),
              png.first, png.median);
  std::printf("eqcircle render recent.txt process:       %7.2f / %6.2f ms%s\n", process.first, process.median,
              processOk ? "" : "  (the command FAILED)");
  // One line for scripts: the whole process's median.
  std::printf("process-median-ms %.2f\n", process.median);
  return processOk ? 0 : 1;
}
