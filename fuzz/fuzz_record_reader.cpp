// Any bytes as an eruption data file: at most ten records of well-formed text without
// line breaks and finite numbers, and whatever of it the writer accepts reads back the
// same, but for the look-alikes that code page 932 gives a few characters.

#include "datafile/record_format.h"
#include "fuzz_check.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>

namespace {

// 7 significant digits, so a value comes back within a few parts in ten million.
bool nearlyEqual(float a, float b) {
  return std::fabs(static_cast<double>(a) - b) <= std::fabs(static_cast<double>(a)) * 1e-6 + 1.5e-45;
}

// The name as it reads back: characters that share their Shift-JIS bytes with a
// full-width look-alike come back as that look-alike.
std::string withLookAlikes(std::string name) {
  static const std::pair<std::string_view, std::string_view> kTwins[] = {
      {"\u301C", "\uFF5E"}, {"\u2212", "\uFF0D"}, {"\u2014", "\u2015"}, {"\u2016", "\u2225"},
      {"\u00A2", "\uFFE0"}, {"\u00A3", "\uFFE1"}, {"\u00AC", "\uFFE2"}};
  for (const auto& [from, to] : kTwins) {
    for (std::size_t at = name.find(from); at != std::string::npos; at = name.find(from, at + to.size())) {
      name.replace(at, from.size(), to);
    }
  }
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const auto lines = eq::splitLines(bytes);
  FUZZ_CHECK(lines.size() <= eq::kRecordsPerFile);
  const eq::TextEncoding encoding = eq::detectEncoding(bytes.substr(0, 2));
  if (encoding != eq::TextEncoding::Utf16Le && encoding != eq::TextEncoding::Utf16Be) {
    for (const auto line : lines) FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos);
  }

  const auto content = eq::readDataFile(bytes);
  FUZZ_CHECK(content.has_value());
  FUZZ_CHECK(content->records.size() == lines.size());

  std::vector<eq::RecordValues> rows;
  for (const eq::EruptionRecord& record : content->records) {
    eq::RecordValues values{record.name.value_or(std::string()), {}};
    FUZZ_CHECK(eq::isValidUtf8(values.name) && values.name.find_first_of("\r\n") == std::string::npos);
    for (std::size_t k = 0; k < eq::kNumbersPerRecord; ++k) {
      if (record.numbers[k]) FUZZ_CHECK(std::isfinite(*record.numbers[k]));
      values.numbers[k] = record.numbers[k].value_or(0.0f);
    }
    rows.push_back(std::move(values));
  }

  const eq::EncodedDataFile file = eq::encodeDataFile(rows);
  if (file.failedRow != 0) {
    FUZZ_CHECK(file.bytes.empty() && file.failedRow <= static_cast<int>(rows.size()));
    return 0;
  }
  const auto again = eq::readDataFile(file.bytes);
  FUZZ_CHECK(again.has_value() && again->encoding == eq::TextEncoding::ShiftJis);
  FUZZ_CHECK(again->records.size() == rows.size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    FUZZ_CHECK(again->records[r].name == withLookAlikes(rows[r].name));
    for (std::size_t k = 0; k < eq::kNumbersPerRecord; ++k) {
      FUZZ_CHECK(again->records[r].numbers[k].has_value());
      FUZZ_CHECK(nearlyEqual(rows[r].numbers[k], *again->records[r].numbers[k]));
    }
  }
  return 0;
}
