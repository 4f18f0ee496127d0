// 地震サークル: the main window by default; `eqcircle render ...` renders a sheet
// without a display.

#include "app/fonts.h"
#include "app/form1.h"
#include "app/qt_platform.h"
#include "app/startup_options.h"
#include "map/render_cli.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

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

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> status = eq::handleStartupOptions(argc, argv)) return *status;
  const bool render = eq::isRenderCommand(argc, argv);
  if (render) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    standardMessageHandler = qInstallMessageHandler(renderMessageHandler);
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("eqcircle"));
  eq::installJapaneseFontSubstitutes();
  if (render) return eq::runRenderCommand(argc, argv);

  // Qt's own dialogs (file dialog, buttons) speak Japanese too, whatever the system's locale.
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  QTranslator qtTranslation;
  if (qtTranslation.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTranslation);

  eq::QtPlatform platform;
  eq::Form1 form(platform);
  platform.setParentWidget(&form);
  form.Form_Load();
  return QApplication::exec();
}
