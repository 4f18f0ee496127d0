// Prints how long a sheet takes: the Draw command on an offscreen main window (three
// circles, with the background map), rendering the finished sheet to a 1200 x 853
// image, both together, and the whole `eqcircle render ... --out x.png` process.
// Medians of repeated runs after a first, cold one.

#include "app/eruption_table.h"
#include "app/fonts.h"
#include "app/form1.h"
#include "app/scripted_platform.h"
#include "map/draw_command.h"
#include "map/picture_box.h"
#include "map/sheet_renderer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
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

void fill(eq::Form1& form) {
  const QStringList rows[] = {
      {"桜島", "2019", "11", "8", "31.58", "130.66"},
      {"阿蘇山", "2021", "10", "20", "32.88", "131.10"},
      {"西之島", "2020", "6", "15", "27.25", "140.88"},
  };
  for (int r = 0; r < 3; ++r) {
    for (int f = 0; f < 6; ++f) form.TextEQ(eq::fieldIndex(r + 1, f + 1))->setText(rows[r][f]);
    form.CheckEQ(r + 1)->setChecked(true);
  }
  form.TextEQ(61)->setText(QStringLiteral("2024"));
  form.TextEQ(62)->setText(QStringLiteral("5"));
  form.TextEQ(63)->setText(QStringLiteral("1"));
  form.TitleComment = QStringLiteral("九州と小笠原の地震サークル");
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  eq::installJapaneseFontSubstitutes();

  eq::ScriptedPlatform platform;
  eq::Form1 form(platform);
  form.Form_Load();
  fill(form);
  const bool background = QFile::exists(eq::DrawCommand::backgroundMapPath());

  const Figures draw = measure(100, [&] { eq::DrawCommand(form).run(); });
  const Figures image = measure(100, [&] { eq::renderSheetImage(form.Picture1->sheet()); });
  const Figures both = measure(100, [&] {
    eq::DrawCommand(form).run();
    eq::renderSheetImage(form.Picture1->sheet());
  });

  QTemporaryDir dir;
  const QString out = dir.filePath(QStringLiteral("sheet.png"));
  const QStringList args = {QStringLiteral("render"), QStringLiteral(EQ_SOURCE_DIR "/tests/data/render_sample.txt"),
                            QStringLiteral("--date"), QStringLiteral("2024-5-1"), QStringLiteral("--out"), out};
  bool processOk = true;
  const Figures process = measure(10, [&] {
    QProcess p;
    p.start(QStringLiteral(EQ_EQCIRCLE), args);
    processOk = p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 && processOk;
  });

  std::printf("background map loaded by Draw:           %s\n", background ? "yes" : "no (not beside the benchmark)");
  std::printf("Draw command, 3 circles (first / median): %7.2f / %6.2f ms\n", draw.first, draw.median);
  std::printf("render sheet to 1200 x 853 image:         %7.2f / %6.2f ms\n", image.first, image.median);
  std::printf("Draw + render:                            %7.2f / %6.2f ms\n", both.first, both.median);
  std::printf("eqcircle render ... --out x.png process:  %7.2f / %6.2f ms%s\n", process.first, process.median,
              processOk ? "" : "  (the command FAILED)");
  return processOk ? 0 : 1;
}
