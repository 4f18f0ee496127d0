#pragma once
// The program's message boxes: caption "メッセージ"; questions with Yes and No and
// the information icon, their lines broken by a line feed followed by a carriage
// return, ending with "いいですか"; notices with OK and the exclamation icon.

#include "app/platform.h"

#include <QString>
#include <QStringList>

namespace eq {

inline const QString kMessageCaption = QStringLiteral("メッセージ");

// The lines of a confirmation question, each followed by LF CR, then "いいですか".
inline QString confirmationText(const QStringList& lines) {
  QString text;
  for (const QString& line : lines) text += line + QChar(10) + QChar(13);
  return text + QStringLiteral("いいですか");
}

// Asks a question; only No declines it.
inline bool askYesNo(Platform& platform, const QString& question) {
  return platform.messageBox(question, kMessageCaption, MessageButtons::YesNo, MessageIcon::Information) !=
         MessageAnswer::No;
}

// Something the user has to know about, with an OK button.
inline void warnUser(Platform& platform, const QString& text) {
  platform.messageBox(text, kMessageCaption, MessageButtons::Ok, MessageIcon::Exclamation);
}

}  // namespace eq
