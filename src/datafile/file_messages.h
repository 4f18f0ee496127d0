#pragma once
// The message boxes of the open and save commands.

#include "app/platform.h"

#include <QString>

namespace eq {

inline const QString kMessageCaption = QStringLiteral("メッセージ");

// A question with Yes and No and the information icon; true for Yes.
inline bool askYesNo(Platform& platform, const QString& question) {
  return platform.messageBox(question, kMessageCaption, MessageButtons::YesNo, MessageIcon::Information) ==
         MessageAnswer::Yes;
}

// A failure the user has to know about, with an OK button.
inline void reportFailure(Platform& platform, const QString& text) {
  platform.messageBox(text, kMessageCaption, MessageButtons::Ok, MessageIcon::Exclamation);
}

}  // namespace eq
