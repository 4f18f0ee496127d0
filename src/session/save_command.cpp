#include "session/save_command.h"

#include "datafile/record_format.h"
#include "model/number_text.h"
#include "platform/safe_file.h"
#include "session/messages.h"
#include "session/session.h"

#include <QDir>

namespace eq {
namespace {

// Reads the table into its last good values, the rows to be saved.
std::vector<RecordValues> readTable(Session& form) {
  std::vector<RecordValues> rows;
  for (int row = 1; row <= kRowCount; ++row) {
    RowTexts texts;
    for (int field = 1; field <= kFieldsPerRow; ++field) texts[field - 1] = form.text(fieldIndex(row, field)).toStdString();
    form.lastGood.rows[row] = readRowForSave(form.lastGood.rows[row], texts);
    rows.push_back(form.lastGood.rows[row]);
  }
  return rows;
}

QString unwritableNameMessage(const Session& form, const EncodedDataFile& encoded) {
  return messageText(text::unsavableName(encoded.failedRow, form.lastGood.rows[encoded.failedRow].name, encoded.problem,
                                         encoded.badCharacter));
}

}  // namespace

void saveEruptionData(Session& form) {
  Platform& platform = form.platform();
  if (!askYesNo(form, messageText(text::saveQuestion()))) return;

  const EncodedDataFile encoded = encodeDataFile(readTable(form));
  if (encoded.failedRow != 0) {
    warnUser(form, unwritableNameMessage(form, encoded));
    return;
  }

  // Written beside the old file and put in its place only when complete.
  const QString path = QDir::toNativeSeparators(QDir(QDir::currentPath()).filePath(QStringLiteral("無題.txt")));
  const QByteArray bytes(encoded.bytes.data(), static_cast<qsizetype>(encoded.bytes.size()));
  if (const std::optional<QString> failed = writeFileAtomically(path, bytes)) {
    // The file that was there is untouched, and the editor is not started on it.
    warnUser(form, QStringLiteral("噴火データを保存できませんでした（前のファイルはそのままです）。\n保存先: %1\n理由: %2")
                       .arg(path, *failed));
    return;
  }
  if (!platform.startEditor(path)) {
    warnUser(form, QStringLiteral("噴火データを「無題.txt」に保存しました。\n保存先: %1\n"
                                  "テキストエディタが見つからないか起動できないため、ファイルは開いていません。"
                                  "お使いのテキストエディタで開いて、好みの名前をつけて保存してください。")
                       .arg(path));
  }
}

}  // namespace eq
