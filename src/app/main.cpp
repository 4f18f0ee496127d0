// 地震サークル: the main window by default; `eqcircle render ...` renders a sheet
// without a display.

#include "app/fonts.h"
#include "app/form1.h"
#include "app/qt_platform.h"
#include "map/render_cli.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv) {
  const bool render = eq::isRenderCommand(argc, argv);
  if (render) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("eqcircle"));
  eq::installJapaneseFontSubstitutes();
  // Qt's own dialogs (file dialog, buttons) speak Japanese too, whatever the system's locale.
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  QTranslator qtTranslation;
  if (qtTranslation.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTranslation);
  if (render) return eq::runRenderCommand(argc, argv);

  eq::QtPlatform platform;
  eq::Form1 form(platform);
  platform.setParentWidget(&form);
  form.Form_Load();
  return QApplication::exec();
}
