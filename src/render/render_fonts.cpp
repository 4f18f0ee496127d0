#include "render/render_fonts.h"

#include <QByteArray>
#include <QDir>
#include <QtGlobal>
#include <fontconfig/fontconfig.h>

namespace eq {

void useSheetFontsOnly() {
  if (qEnvironmentVariableIsSet("FONTCONFIG_FILE")) return;
  QByteArray dirs;
  for (const char* folder : {"/usr/share/fonts/opentype/ipafont-gothic", "/usr/share/fonts/truetype/dejavu"}) {
    if (QDir(QString::fromLatin1(folder)).exists()) dirs += QByteArray("<dir>") + folder + "</dir>";
  }
  if (!dirs.contains("ipafont")) return;
  const QByteArray xml = "<?xml version=\"1.0\"?><!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">"
                         "<fontconfig>" + dirs +
                         "<cachedir>/var/cache/fontconfig</cachedir><cachedir prefix=\"xdg\">fontconfig</cachedir>"
                         "<include ignore_missing=\"yes\">/etc/fonts/conf.d</include></fontconfig>";
  FcConfig* config = FcConfigCreate();
  if (!config) return;
  if (!FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(xml.constData()), FcTrue) ||
      !FcConfigBuildFonts(config) || !FcConfigSetCurrent(config)) {
    FcConfigDestroy(config);
    return;
  }
  FcConfigDestroy(config);  // the current configuration keeps its own reference
}

}  // namespace eq
