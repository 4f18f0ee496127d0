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

// Only the first ten lines are read, but a line may be long; a file whose ten lines do
// not end within this many bytes is refused rather than held in memory.
constexpr qint64 kMaxBytesRead = 64 * 1024 * 1024;

struct LeadingLines {
  QByteArray bytes;
  QString error;  // empty when the bytes were read
};

// The file's bytes, of which the reader takes the first ten lines. Only a regular file
// is read, so a FIFO, a device or a folder is refused at once instead of blocking or
// never ending.
LeadingLines readLeadingLines(const QString& path) {
  LeadingLines result;
  FileBytes file = readRegularFile(path, kMaxBytesRead + 1);
  if (!file.bytes) {
    result.error = messageText(text::unreadableDataFile(utf8Of(path), utf8Of(file.reason)));
    return result;
  }
  result.bytes = std::move(*file.bytes);
  if (result.bytes.size() > kMaxBytesRead) {
    // Ten lines may lie within the limit even in a larger file: the tenth must end there.
    const std::string_view head(result.bytes.constData(), static_cast<std::size_t>(kMaxBytesRead));
    const std::vector<std::string_view> lines = splitLines(head);
    const char* const tenthEnd = lines.empty() ? head.data() : lines.back().data() + lines.back().size();
    if (lines.size() < kRecordsPerFile || tenthEnd == head.data() + head.size()) {
      result.error = messageText(text::linesTooLong(utf8Of(path)));
      return result;
    }
    result.bytes.truncate(tenthEnd - head.data());
  }
  return result;
}

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A stored number as its cell shows it: the general form, and 0 as an empty cell.
QString cellText(float value) { return value == 0 ? QString() : fromUtf8(generalText(value)); }

// Shows row `row` from its last good values; an empty name or "0" leaves the name
// cell empty and the row unticked.
void showRow(Session& form, int row) {
  const RecordValues& values = form.lastGood.rows[row];
  const int base = RowBaseIndex(row);
  form.setText(base, fromUtf8(values.name));
  if (values.name.empty() || values.name == "0") {
    form.setText(base, QString());
    form.setTicked(row, false);
  }
  for (std::size_t k = 0; k < kNumbersPerRecord; ++k) {
    form.setText(base + 1 + static_cast<int>(k), cellText(values.numbers[k]));
  }
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
