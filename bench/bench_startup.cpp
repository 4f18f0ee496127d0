// Prints how long the main window takes from construction to its first paint,
// on the offscreen platform: the first window of the process (fonts and styles
// loaded cold) and the median of later ones.

#include "app/form1.h"
#include "platform/fonts.h"
#include "platform/scripted_platform.h"
#include "session/session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Waits until the window has painted once.
class PaintWatcher : public QObject {
 public:
  bool painted = false;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return false;
  }
};

double startOnce() {
  QElapsedTimer timer;
  timer.start();
  eq::ScriptedPlatform platform;
  eq::Session session(platform);
  eq::Form1 form(session);
  PaintWatcher watcher;
  form.installEventFilter(&watcher);
  form.Form_Load();
  while (!watcher.painted) QApplication::processEvents(QEventLoop::AllEvents, 5);
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QElapsedTimer process;
  process.start();
  QApplication app(argc, argv);
  eq::installJapaneseFontSubstitutes();
  const double appMs = static_cast<double>(process.nsecsElapsed()) / 1e6;
  const double first = startOnce();
  std::vector<double> later;
  for (int i = 0; i < 20; ++i) later.push_back(startOnce());
  std::sort(later.begin(), later.end());
  std::printf("application object:               %7.1f ms\n", appMs);
  std::printf("main window, first (cold):         %7.1f ms\n", first);
  std::printf("main window, median of 20 (warm):  %7.1f ms\n", later[later.size() / 2]);
  return 0;
}
