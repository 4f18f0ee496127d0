#include "platform/fonts.h"

#include <QStringList>

namespace eq {
namespace {
const QString kMsPGothic = QStringLiteral("ＭＳ Ｐゴシック");
const QString kMsUiGothic = QStringLiteral("MS UI Gothic");

QStringList fallbacks() {
  return {QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"),
          QStringLiteral("VL PGothic"), QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic")};
}
}  // namespace

void installJapaneseFontSubstitutes() {
  QFont::insertSubstitutions(kMsPGothic, fallbacks());
  QFont::insertSubstitutions(kMsUiGothic, fallbacks());
}

QFont pGothicFont(double pointSize, bool bold) {
  QFont font;
  font.setFamilies(QStringList{kMsPGothic} + fallbacks());
  font.setPointSizeF(pointSize);
  font.setBold(bold);
  return font;
}

QFont uiFont() {
  QFont font;
  font.setFamilies(QStringList{kMsUiGothic} + fallbacks());
  font.setPointSizeF(9);
  return font;
}

QFont sheetFont(int pixelSize) {
  QFont font;
  font.setFamilies(QStringList{kMsUiGothic} + fallbacks());
  font.setPixelSize(pixelSize > 0 ? pixelSize : 1);
  return font;
}

}  // namespace eq
