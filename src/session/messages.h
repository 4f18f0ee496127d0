#pragma once
// The program's message boxes: caption "メッセージ"; questions with Yes and No and
// the information icon, their lines broken by a line feed followed by a carriage
// return, ending with "いいですか"; notices with OK and the exclamation icon. The
// window shows the session's state as it is before a box opens.

#include "platform/platform.h"
#include "session/session.h"

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

// A file that holds no eruption record in its first ten lines.
inline QString notEruptionDataText(const QString& path) {
  return QStringLiteral("このファイルは噴火データファイルではないため、読み込みませんでした。\n%1\n"
                        "噴火データファイルは、1行に「番号,\"火山名\",年,月,日,北緯,東経」を書いたテキストファイルです。")
      .arg(path);
}

// Asks a question; only No declines it (closing the box answers No).
inline bool askYesNo(Session& session, const QString& question) {
  session.refreshView();
  return session.platform().messageBox(question, kMessageCaption, MessageButtons::YesNo, MessageIcon::Information) !=
         MessageAnswer::No;
}

// Something the user has to know about, with an OK button.
inline void warnUser(Session& session, const QString& text) {
  session.refreshView();
  session.platform().messageBox(text, kMessageCaption, MessageButtons::Ok, MessageIcon::Exclamation);
}

}  // namespace eq
