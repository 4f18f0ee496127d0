#pragma once
// The eruption data file: up to ten comma-separated record lines in Shift-JIS,
//
//   7,"桜島",1914,1,12,31.585,130.657<CR><LF>
//
// row number (ignored on reading: the line's position decides the row), the volcano
// name in double quotes (a quote inside it doubled), year, month, day, north latitude
// and east longitude. A line ends at CR LF, CR or LF; the save writes CR LF. Every
// comma separates two fields, with one exception for names that contain commas (see
// recordFields). Numbers may stand in quotes. Fields after the seventh are ignored.
// Files saved as UTF-8 or UTF-16 (with its byte-order mark) are read too.

#include "datafile/sjis_codec.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace eq {

inline constexpr std::size_t kRecordsPerFile = 10;
inline constexpr std::size_t kNumbersPerRecord = 5;  // year, month, day, latitude, longitude

// One line as read. What the line does not give (a missing field, a number that does
// not convert, a name field of one double quote) is empty, and the row keeps the value
// it had before.
struct EruptionRecord {
  std::optional<std::string> name;  // UTF-8
  std::array<std::optional<float>, kNumbersPerRecord> numbers;
};

struct DataFileContent {
  TextEncoding encoding = TextEncoding::ShiftJis;
  std::vector<EruptionRecord> records;  // line k is row k; at most ten
  bool hasRecordLine = false;           // one of the lines read is a record (isRecordLine)
};

// The first `maxLines` lines. A line ends at CR LF, CR or LF; the end of the bytes
// ends the last line, and no line follows a final line end. The bytes of a UTF-16
// file (one with its byte-order mark) are split at its own CR and LF code units, the
// mark staying on the first line.
std::vector<std::string_view> splitLines(std::string_view bytes, std::size_t maxLines = kRecordsPerFile);

// Only the first ten lines are read, but a line may be long; a file whose ten lines do
// not end within this many bytes is refused rather than held in memory.
inline constexpr std::size_t kMaxDataFileBytes = 64 * 1024 * 1024;

// Of a file's first bytes (read up to one beyond kMaxDataFileBytes), those the reader
// takes: all of them within the limit; beyond it, up to the end of the tenth line, and
// none when that does not end within the limit.
std::optional<std::string_view> leadingRecordBytes(std::string_view bytes);

// The fields of one line (UTF-8), numbered from 0 here. Every comma separates, except
// that a name written in quotes is put back together: when field 2 starts with a
// double quote and does not end with an odd number of them (a doubled quote is a
// quote of the name), the fields up to the first later one that does form the name
// field; in a line without one, the first later field that ends with a quote closes
// it, as before quotes were doubled. A line that reads completely without this (its
// five numbers convert) is rejoined only when five numbers follow the closing field
// too, so such lines keep their old reading.
std::vector<std::string_view> recordFields(std::string_view line);

// The volcano name from its field: without the enclosing quotes when it starts with
// one (the first and the last character go, whatever the last is) and with each
// doubled quote inside made one, else unchanged; nothing for a field of one double
// quote. Blanks stay.
std::optional<std::string> nameFromField(std::string_view field);

// One line (UTF-8) as a record.
EruptionRecord parseRecord(std::string_view line);

// Whether a line (UTF-8) is an eruption record at all: at least seven fields, of which
// the row number, the year, the month and the day are numbers. A file none of whose
// lines read is one is not an eruption data file (a picture, a letter) and is refused
// as a whole; in a file with one, every line keeps the rules above.
bool isRecordLine(std::string_view line);

// A whole file's bytes (or at least its first ten lines) as records; the encoding is
// decided from the lines read. Always a content (see decodeShiftJis).
std::optional<DataFileContent> readDataFile(std::string_view bytes);

// What the save writes for one row.
struct RecordValues {
  std::string name;  // UTF-8
  std::array<float, kNumbersPerRecord> numbers{};
};

// One record line in UTF-8 with its CR LF: row number, the name in quotes with its own
// quotes doubled, the numbers in their general form ("." always, at most 7
// significant digits).
std::string formatRecord(int row, const RecordValues& values);

// Why a row's name cannot be written.
enum class NameProblem {
  None,
  NotInCodePage,  // code page 932 lacks a character of it, or writes it as another (¥ as "\")
  NotReadBack,    // it would not read back the same (a line break ends a line)
  ReadsAsUtf8,    // its bytes (a kanji before half-width kana, say) would make the file look like UTF-8
};

// The file for rows 1, 2, ... in Shift-JIS. Stops at the first row whose name cannot be
// written and reads back as it is: `failedRow` (1-based) names it; then nothing is written.
struct EncodedDataFile {
  std::string bytes;
  int failedRow = 0;  // 0: every row was written
  NameProblem problem = NameProblem::None;
  std::string badCharacter;  // for NotInCodePage: the first character code page 932 lacks (UTF-8)
};
EncodedDataFile encodeDataFile(const std::vector<RecordValues>& rows);

}  // namespace eq
