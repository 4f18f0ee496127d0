#include "session/open_command.h"

#include "datafile/record_format.h"
#include "model/number_text.h"
#include "platform/regular_file.h"
#include "session/messages.h"
#include "session/session.h"
#include "session/table_commands.h"

#include <QFileInfo>

namespace eq {
namespace {

struct LeadingLines {
  QByteArray bytes;
  QString error;  // empty when the bytes were read
};

// The file's bytes, of which the reader takes the first ten lines. Only a regular file
// is read, so a FIFO, a device or a folder is refused at once instead of blocking or
// never ending.
LeadingLines readLeadingLines(const QString& path) {
  LeadingLines result;
  FileBytes file = readRegularFile(path, static_cast<qint64>(kMaxDataFileBytes) + 1);
  if (!file.bytes) {
    result.error = messageText(text::unreadableDataFile(utf8Of(path), utf8Of(file.reason)));
    return result;
  }
  result.bytes = std::move(*file.bytes);
  const auto lead = leadingRecordBytes(std::string_view(result.bytes.constData(), static_cast<std::size_t>(result.bytes.size())));
  if (!lead) {
    result.error = messageText(text::linesTooLong(utf8Of(path)));
    return result;
  }
  result.bytes.truncate(static_cast<qsizetype>(lead->size()));
  return result;
}

// Shows row `row` from its last good values; an empty name or "0" leaves the name
// cell empty and the row unticked.
void showRow(Session& form, int row) {
  const RowTexts texts = shownRow(form.lastGood.rows[row]);
  if (texts[0].empty()) form.setTicked(row, false);
  for (int field = 1; field <= kFieldsPerRow; ++field) form.setText(fieldIndex(row, field), messageText(texts[field - 1]));
}

struct DataFile {
  std::optional<DataFileContent> content;
  QString error;  // why there is none, for a message
};

// Everything is read, converted and checked before the table changes, so a failure
// leaves it as it was.
DataFile readEruptionData(const QString& path) {
  DataFile result;
  const LeadingLines file = readLeadingLines(path);
  if (!file.error.isEmpty()) {
    result.error = file.error;
    return result;
  }
  std::optional<DataFileContent> content =
      readDataFile(std::string_view(file.bytes.constData(), static_cast<std::size_t>(file.bytes.size())));
  if (!content) {
    result.error = messageText(text::noShiftJis(utf8Of(path)));
  } else if (!content->hasRecordLine) {
    result.error = messageText(text::notEruptionData(utf8Of(path)));
  } else {
    result.content = std::move(content);
  }
  return result;
}

// Makes every row usable and unticked, shows the file's name in Label23 and fills the rows read.
void showEruptionData(Session& form, const QString& path, const DataFileContent& content) {
  makeAllRowsUsable(form);
  for (int row = 1; row <= kRowCount; ++row) form.setTicked(row, false);
  form.setCaption(Control::Label23, QFileInfo(path).fileName());

  const int rowsRead = static_cast<int>(content.records.size());
  for (int row = 1; row <= rowsRead; ++row) {
    // What the line did not give keeps the row's value.
    RecordValues& values = form.lastGood.rows[row];
    values = withRecord(values, content.records[static_cast<std::size_t>(row - 1)]);
    showRow(form, row);
  }
}

}  // namespace

void openEruptionDataFile(Session& form) {
  Platform& platform = form.platform();
  FileDialogRequest request;
  request.title = QString::fromUtf8(text::kOpenDialogTitle);
  request.filter = QStringLiteral("すべてのファイル(*.*)|*.*");
  request.initialPath = form.CommonDialog1.fileName;
  const std::optional<QString> chosen = platform.openFileDialog(request);
  if (!chosen) return;  // cancelled: nothing changes
  openEruptionDataFileAt(form, *chosen);
}

void openEruptionDataFileAt(Session& form, const QString& path) {
  form.CommonDialog1.fileName = path;
  form.CommonDialog1.fileTitle = QFileInfo(path).fileName();

  // The question comes only for a file that will be loaded.
  const DataFile file = readEruptionData(path);
  if (!file.content) {
    warnUser(form, file.error);
    return;
  }
  if (!askYesNo(form, messageText(text::replaceTableQuestion(utf8Of(path))))) return;
  showEruptionData(form, path, *file.content);
}

LoadResult loadEruptionDataFile(Session& form, const QString& path) {
  LoadResult result;
  const DataFile file = readEruptionData(path);
  if (!file.content) {
    result.error = file.error;
    return result;
  }
  showEruptionData(form, path, *file.content);
  result.ok = true;
  return result;
}

}  // namespace eq
