#include "platform/fonts.h"

#include "platform/helper_thread.h"

#include <QStringList>
#include <mutex>

namespace eq {
namespace {
const QString kMsPGothic = QStringLiteral("ＭＳ Ｐゴシック");
const QString kMsUiGothic = QStringLiteral("MS UI Gothic");

struct FontSetUp {
  std::mutex mutex;
  HelperThread thread;
};

FontSetUp& fontSetUp() {
  static FontSetUp state;
  return state;
}

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

void setUpFontsMeanwhile(const std::function<void()>& setUp) {
  FontSetUp& state = fontSetUp();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.thread = HelperThread::besideOrHere(setUp);
}

void waitForFontSetUp() {
  FontSetUp& state = fontSetUp();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.thread.join();
}

QFont sheetFont(int pixelSize) {
  waitForFontSetUp();
  QFont font;
  font.setFamilies(QStringList{kMsUiGothic} + fallbacks());
  font.setPixelSize(pixelSize > 0 ? pixelSize : 1);
  return font;
}

}  // namespace eq
