#include "datafile/record_format.h"

#include "model/number_text.h"

namespace eq {
namespace {

constexpr std::size_t kNameField = 1;   // 0-based position of the name field
constexpr std::size_t kFirstNumber = 2;

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::vector<std::string_view> splitAtCommas(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) {
      fields.push_back(line.substr(start));
      return fields;
    }
    fields.push_back(line.substr(start, comma - start));
    start = comma + 1;
  }
}

// A number field, in quotes or not: writers that quote every field write "2004".
std::optional<float> numberFromField(std::string_view field) {
  if (field.size() >= 2 && field.front() == '"' && field.back() == '"') field = field.substr(1, field.size() - 2);
  return strictSingle(field);
}

// True when fields first ... first + 4 exist and each is a number.
bool numbersAt(const std::vector<std::string_view>& fields, std::size_t first) {
  if (first + kNumbersPerRecord > fields.size()) return false;
  for (std::size_t k = first; k < first + kNumbersPerRecord; ++k) {
    if (!numberFromField(fields[k])) return false;
  }
  return true;
}

bool endsWithQuote(std::string_view field) { return !field.empty() && field.back() == '"'; }

// True when the text ends with an odd number of quotes: the last one closes a name.
bool closesName(std::string_view text) {
  const std::size_t lastOther = text.find_last_not_of('"');
  const std::size_t quotes = text.size() - (lastOther == std::string_view::npos ? 0 : lastOther + 1);
  return quotes % 2 == 1;
}

}  // namespace

std::optional<std::string_view> leadingRecordBytes(std::string_view bytes) {
  if (bytes.size() <= kMaxDataFileBytes) return bytes;
  // Ten lines may lie within the limit even in a larger file: the tenth must end there.
  const std::string_view head = bytes.substr(0, kMaxDataFileBytes);
  const std::vector<std::string_view> lines = splitLines(head);
  const char* const tenthEnd = lines.empty() ? head.data() : lines.back().data() + lines.back().size();
  if (lines.size() < kRecordsPerFile || tenthEnd == head.data() + head.size()) return std::nullopt;
  return head.substr(0, static_cast<std::size_t>(tenthEnd - head.data()));
}

std::vector<std::string_view> splitLines(std::string_view bytes, std::size_t maxLines) {
  const TextEncoding encoding = detectEncoding(bytes.substr(0, kUtf16LeBom.size()));
  const bool utf16 = encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
  const std::size_t unit = utf16 ? 2 : 1;
  // The line-end character's code unit at bytes[i], or 0 for any other.
  const auto lineEnd = [&](std::size_t i) -> char {
    if (!utf16) return bytes[i] == '\r' || bytes[i] == '\n' ? bytes[i] : 0;
    if (i + 1 >= bytes.size()) return 0;  // an odd last byte belongs to the line
    const char high = encoding == TextEncoding::Utf16Be ? bytes[i] : bytes[i + 1];
    const char low = encoding == TextEncoding::Utf16Be ? bytes[i + 1] : bytes[i];
    return high == 0 && (low == '\r' || low == '\n') ? low : 0;
  };
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  std::size_t pos = 0;
  while (lines.size() < maxLines && start < bytes.size()) {
    while (pos < bytes.size() && !lineEnd(pos)) pos += unit;
    if (pos >= bytes.size()) {
      lines.push_back(bytes.substr(start));
      break;
    }
    lines.push_back(bytes.substr(start, pos - start));
    const char end = lineEnd(pos);
    pos += unit;
    if (end == '\r' && pos < bytes.size() && lineEnd(pos) == '\n') pos += unit;
    start = pos;
  }
  return lines;
}

std::vector<std::string_view> recordFields(std::string_view line) {
  std::vector<std::string_view> fields = splitAtCommas(line);
  if (fields.size() <= kNameField + 1) return fields;
  const std::string_view opening = fields[kNameField];
  // A field of one quote opens a name that starts with a comma.
  if (opening.empty() || opening.front() != '"' || closesName(opening.substr(1))) return fields;
  // The name ends at the first later field that ends with an odd number of quotes (a
  // doubled quote is a quote of the name). Lines that never double their quotes end
  // the name at the first one that ends with a quote, as they always did.
  std::size_t closing = kNameField + 1;
  while (closing < fields.size() && !closesName(fields[closing])) ++closing;
  if (closing == fields.size()) {
    if (endsWithQuote(opening.substr(1))) return fields;
    closing = kNameField + 1;
    while (closing < fields.size() && !endsWithQuote(fields[closing])) ++closing;
    if (closing == fields.size()) return fields;
  }
  if (numbersAt(fields, kFirstNumber) && !numbersAt(fields, closing + 1)) return fields;

  const char* begin = opening.data();
  const char* end = fields[closing].data() + fields[closing].size();
  std::vector<std::string_view> joined(fields.begin(), fields.begin() + kNameField);
  joined.emplace_back(begin, static_cast<std::size_t>(end - begin));
  joined.insert(joined.end(), fields.begin() + static_cast<std::ptrdiff_t>(closing + 1), fields.end());
  return joined;
}

std::optional<std::string> nameFromField(std::string_view field) {
  if (field.empty() || field.front() != '"') return std::string(field);
  if (field.size() < 2) return std::nullopt;  // one quote: nothing between the first and the last character
  // Drop the last character, all of its bytes, but never the opening quote.
  std::size_t end = field.size() - 1;
  while (end > 1 && isContinuationByte(field[end])) --end;
  const std::string_view inside = field.substr(1, end - 1);
  std::string name;
  name.reserve(inside.size());
  for (std::size_t i = 0; i < inside.size(); ++i) {
    name += inside[i];
    if (inside[i] == '"' && i + 1 < inside.size() && inside[i + 1] == '"') ++i;  // a doubled quote is one
  }
  return name;
}

EruptionRecord parseRecord(std::string_view line) {
  const std::vector<std::string_view> fields = recordFields(line);
  EruptionRecord record;
  if (fields.size() > kNameField) record.name = nameFromField(fields[kNameField]);
  for (std::size_t k = 0; k < kNumbersPerRecord && kFirstNumber + k < fields.size(); ++k) {
    record.numbers[k] = numberFromField(fields[kFirstNumber + k]);
  }
  return record;
}

bool isRecordLine(std::string_view line) {
  constexpr std::size_t kRowNumber = 0, kDay = kFirstNumber + 2, kFields = kFirstNumber + kNumbersPerRecord;
  const std::vector<std::string_view> fields = recordFields(line);
  if (fields.size() < kFields || !strictSingle(fields[kRowNumber])) return false;
  for (std::size_t k = kFirstNumber; k <= kDay; ++k) {
    if (!strictSingle(fields[k])) return false;
  }
  return true;
}

std::optional<DataFileContent> readDataFile(std::string_view bytes) {
  const std::vector<std::string_view> lines = splitLines(bytes);
  DataFileContent content;
  if (!lines.empty()) {
    const std::string_view read = bytes.substr(0, static_cast<std::size_t>(lines.back().data() + lines.back().size() - bytes.data()));
    content.encoding = detectEncoding(read);
  }
  for (std::size_t k = 0; k < lines.size(); ++k) {
    std::string_view line = lines[k];
    std::optional<std::string> text;
    switch (content.encoding) {
      case TextEncoding::Utf8:
        if (k == 0 && line.substr(0, kUtf8Bom.size()) == kUtf8Bom) line.remove_prefix(kUtf8Bom.size());
        text = decodeUtf8(line);
        break;
      case TextEncoding::Utf16Le:
      case TextEncoding::Utf16Be:
        if (k == 0) line.remove_prefix(kUtf16LeBom.size());
        text = decodeUtf16(line, content.encoding);
        break;
      case TextEncoding::ShiftJis: text = decodeShiftJis(line); break;
    }
    if (!text) return std::nullopt;
    content.hasRecordLine = content.hasRecordLine || isRecordLine(*text);
    content.records.push_back(parseRecord(*text));
  }
  return content;
}

std::string formatRecord(int row, const RecordValues& values) {
  std::string line = std::to_string(row) + ",\"";
  for (const char c : values.name) {
    if (c == '"') line += '"';  // doubled, as every CSV reader expects
    line += c;
  }
  line += '"';
  for (const float number : values.numbers) line += ',' + generalText(number);
  return line + "\r\n";
}

EncodedDataFile encodeDataFile(const std::vector<RecordValues>& rows) {
  EncodedDataFile file;
  const auto fail = [&file](int row, NameProblem problem, std::string badCharacter = {}) {
    file = {std::string(), row, problem, std::move(badCharacter)};
    return file;
  };
  std::vector<std::size_t> rowEnds;
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const int row = static_cast<int>(k) + 1;
    const std::string line = formatRecord(row, rows[k]);
    const std::vector<std::string_view> readBack = splitLines(line);
    if (readBack.size() != 1 || parseRecord(readBack.front()).name != rows[k].name) {
      return fail(row, NameProblem::NotReadBack);
    }
    ShiftJisEncoding encoded = encodeShiftJis(line);
    if (!encoded.ok) return fail(row, NameProblem::NotInCodePage, encoded.badCharacter);
    file.bytes += encoded.bytes;
    rowEnds.push_back(file.bytes.size());
  }
  // The reader takes valid UTF-8 with a character of three bytes or more for UTF-8. Lines
  // then are valid UTF-8 each; the first that looks like UTF-8 on its own holds such a character.
  if (detectEncoding(file.bytes) == TextEncoding::Utf8) {
    std::size_t begin = 0;
    for (std::size_t k = 0; k < rowEnds.size(); ++k) {
      if (detectEncoding(std::string_view(file.bytes).substr(begin, rowEnds[k] - begin)) == TextEncoding::Utf8) {
        return fail(static_cast<int>(k) + 1, NameProblem::ReadsAsUtf8);
      }
      begin = rowEnds[k];
    }
  }
  return file;
}

}  // namespace eq
