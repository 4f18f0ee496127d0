// eqcircle-render: `eqcircle render ...` without a display, with no widget and no
// QApplication at all; it links neither the window toolkit nor the printing libraries.

#include "platform/fonts.h"
#include "render/render_cli.h"
#include "render/render_fonts.h"

#include <QGuiApplication>
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
  qputenv("QT_QPA_PLATFORM", "offscreen");
  standardMessageHandler = qInstallMessageHandler(renderMessageHandler);
  // fontconfig reads its rules and caches (a few milliseconds) on another processor
  // while Qt starts and the sheet is drawn: nothing needs a font before it is painted.
  eq::setUpFontsMeanwhile(eq::useSheetFontsOnly);
  QGuiApplication app(argc, argv);
  QGuiApplication::setApplicationName(QStringLiteral("eqcircle"));
  // The platform plugin is loaded; everything the command reads or writes is built in
  // (BMP, PDF) or linked (PNG, SVG, WebP), so no other plugin need be looked for.
  QCoreApplication::setLibraryPaths({});
  eq::installJapaneseFontSubstitutes();
  const int status = eq::runRenderCommand(argc, argv);
  // A command that ends early (bad arguments) would otherwise leave the font set-up
  // running while the application object is taken down, and fontconfig's memory with it.
  eq::waitForFontSetUp();
  return status;
}
