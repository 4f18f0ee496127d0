#pragma once
// The program's file dialogs, Qt's own whatever the desktop offers, so that they
// behave the same everywhere and speak Japanese whatever the system's locale: their
// texts come from Qt's translation, and the file list shows sizes and dates in the
// program's locale rather than the system's ("5 バイト", "2024/12/07 15:13").

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace eq {

// The program's locale is Japanese, for Qt's own texts (buttons, dialogs) and dates
// too. Numbers in files never depend on it: the program writes and reads them itself.
void speakJapanese();

// A file to read: the chosen path, or nothing after a cancel. `filter` is Qt's
// "description (pattern)".
std::optional<QString> askOpenFileName(QWidget* parent, const QString& title, const QString& start,
                                       const QString& filter);

// A file to write, with `filters` in Qt's form ("PNG 画像 (*.png)"). A name typed
// without an extension gets the chosen type's (before the dialog asks about
// replacing a file of that name). `retype`, when given, renames the typed name when
// the user picks another type: it gets the name and the new type's extension.
std::optional<QString> askSaveFileName(QWidget* parent, const QString& title, const QString& start,
                                       const QStringList& filters,
                                       const std::function<QString(const QString&, const QString&)>& retype = {});

}  // namespace eq
