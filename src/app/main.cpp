// eqcircle-window, the program behind `eqcircle`: 地震サークル's main window. The
// launcher `eqcircle` starts it, or eqcircle-render for `eqcircle render ...`.

#include "app/file_dialogs.h"
#include "app/form1.h"
#include "app/startup_options.h"
#include "app/qt_platform.h"
#include "platform/app_icon.h"
#include "platform/command_line.h"
#include "platform/fonts.h"
#include "session/session.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char** argv) {
  if (const std::optional<int> status = eq::handleStartupOptions(argc, argv)) return *status;
  if (eq::isRenderCommand(argc, argv)) {
    std::fputs("eqcircle-window: 画面なしで描くときは eqcircle render を使ってください。\n", stderr);
    return 2;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("eqcircle"));
  QApplication::setWindowIcon(eq::applicationIcon());
  eq::installJapaneseFontSubstitutes();

  // Qt's own dialogs (file dialog, buttons) speak Japanese too, whatever the system's locale.
  eq::speakJapanese();

  eq::QtPlatform platform;
  eq::Session session(platform);
  eq::Form1 form(session);
  platform.setParentWidget(&form);
  form.Form_Load();
  // `eqcircle FILE`: the file is offered to the open command once the window is up.
  const QStringList args = QApplication::arguments().mid(1);
  if (args.size() == 1 && !args.front().startsWith(QLatin1Char('-'))) {
    const QString path = QDir::toNativeSeparators(QFileInfo(args.front()).absoluteFilePath());
    QMetaObject::invokeMethod(&form, [&form, path] { form.offerFile(path); }, Qt::QueuedConnection);
  }
  return QApplication::exec();
}
