// 地震サークル: the main window by default; `eqcircle render ...` renders a sheet
// without a display, with no widget and no QApplication at all.

#include "app/form1.h"
#include "app/startup_options.h"
#include "app/qt_platform.h"
#include "platform/app_icon.h"
#include "platform/fonts.h"
#include "render/render_cli.h"
#include "render/render_fonts.h"
#include "session/session.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

namespace {

// Rendering for scripts: Qt's remarks about the session it runs in (no runtime
// folder on a server, say) are not the command's business; its own messages and
// real problems still reach stderr.
QtMessageHandler standardMessageHandler = nullptr;

void renderMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths:"))) return;
  if (standardMessageHandler) {
    standardMessageHandler(type, context, message);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
  }
}

int render(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  standardMessageHandler = qInstallMessageHandler(renderMessageHandler);
  eq::useSheetFontsOnly();
  QGuiApplication app(argc, argv);
  QGuiApplication::setApplicationName(QStringLiteral("eqcircle"));
  // The platform plugin is loaded; everything the command reads or writes is built in
  // (BMP, PDF) or linked (PNG, SVG, WebP), so no other plugin need be looked for.
  QCoreApplication::setLibraryPaths({});
  eq::installJapaneseFontSubstitutes();
  const int status = eq::runRenderCommand(argc, argv);
  // The output is committed and the lines are printed: tearing down fonts and the
  // platform plugin would only cost time.
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> status = eq::handleStartupOptions(argc, argv)) return *status;
  if (eq::isRenderCommand(argc, argv)) return render(argc, argv);

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("eqcircle"));
  QApplication::setWindowIcon(eq::applicationIcon());
  eq::installJapaneseFontSubstitutes();

  // Qt's own dialogs (file dialog, buttons) speak Japanese too, whatever the system's locale.
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  QTranslator qtTranslation;
  if (qtTranslation.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTranslation);

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
