#pragma once
// The program's message boxes: caption "メッセージ"; questions with Yes and No and
// the information icon, their lines broken by a line feed followed by a carriage
// return, ending with "いいですか"; notices with OK and the exclamation icon. The
// window shows the session's state as it is before a box opens.

#include "draw/messages.h"
#include "platform/platform.h"
#include "session/session.h"

#include <QString>
#include <QStringList>

namespace eq {

inline const QString kMessageCaption = QString::fromUtf8(text::kCaption);

// A message text of the core (UTF-8) for a box.
inline QString messageText(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::string utf8Of(const QString& text) { return text.toStdString(); }

// The lines of a confirmation question, each followed by LF CR, then "いいですか".
inline QString confirmationText(const QStringList& lines) {
  std::vector<std::string> utf8;
  for (const QString& line : lines) utf8.push_back(utf8Of(line));
  return messageText(text::confirmation(utf8));
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
