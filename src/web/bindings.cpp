// The core's functions for the browser (embind): the data file and its Shift-JIS, and
// the numbers. Built by scripts/build_web.sh only. Bytes go in as a Uint8Array and come
// out as one; texts are JavaScript strings (UTF-8 on the C++ side); what the core leaves
// empty (a std::optional without a value) is undefined.

#include "datafile/record_format.h"
#include "datafile/sjis_codec.h"
#include "model/day_number.h"
#include "model/number_text.h"
#include "model/radius_law.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <optional>
#include <string>

using emscripten::val;

namespace {

template <typename T>
val orUndefined(const std::optional<T>& value) {
  return value ? val(*value) : val::undefined();
}

val bytesOf(const std::string& bytes) {
  return val::global("Uint8Array").new_(emscripten::typed_memory_view(bytes.size(), reinterpret_cast<const unsigned char*>(bytes.data())));
}

const char* encodingName(eq::TextEncoding encoding) {
  switch (encoding) {
    case eq::TextEncoding::Utf8: return "UTF-8";
    case eq::TextEncoding::Utf16Le: return "UTF-16LE";
    case eq::TextEncoding::Utf16Be: return "UTF-16BE";
    case eq::TextEncoding::ShiftJis: break;
  }
  return "Shift_JIS";
}

val decodeShiftJis(const std::string& bytes) { return orUndefined(eq::decodeShiftJis(bytes)); }

// {ok, bytes, badCharacter}
val encodeShiftJis(const std::string& text) {
  const eq::ShiftJisEncoding encoded = eq::encodeShiftJis(text);
  val result = val::object();
  result.set("ok", encoded.ok);
  result.set("bytes", bytesOf(encoded.bytes));
  result.set("badCharacter", encoded.badCharacter);
  return result;
}

// {encoding, hasRecordLine, records: [{name, numbers: [year, month, day, latitude, longitude]}]},
// or undefined.
val readDataFile(const std::string& bytes) {
  const std::optional<eq::DataFileContent> content = eq::readDataFile(bytes);
  if (!content) return val::undefined();
  val records = val::array();
  for (const eq::EruptionRecord& record : content->records) {
    val numbers = val::array();
    for (const std::optional<float>& number : record.numbers) numbers.call<void>("push", orUndefined(number));
    val item = val::object();
    item.set("name", orUndefined(record.name));
    item.set("numbers", numbers);
    records.call<void>("push", item);
  }
  val result = val::object();
  result.set("encoding", encodingName(content->encoding));
  result.set("hasRecordLine", content->hasRecordLine);
  result.set("records", records);
  return result;
}

// rows: [{name, numbers: [five numbers]}] → {bytes, failedRow, problem, badCharacter}
val encodeDataFile(val rows) {
  std::vector<eq::RecordValues> values;
  for (unsigned k = 0, n = rows["length"].as<unsigned>(); k < n; ++k) {
    eq::RecordValues row;
    row.name = rows[k]["name"].as<std::string>();
    for (std::size_t i = 0; i < row.numbers.size(); ++i) row.numbers[i] = rows[k]["numbers"][i].as<float>();
    values.push_back(std::move(row));
  }
  const eq::EncodedDataFile file = eq::encodeDataFile(values);
  static const char* const kProblems[] = {"", "NotInCodePage", "NotReadBack", "ReadsAsUtf8"};
  val result = val::object();
  result.set("bytes", bytesOf(file.bytes));
  result.set("failedRow", file.failedRow);
  result.set("problem", kProblems[static_cast<int>(file.problem)]);
  result.set("badCharacter", file.badCharacter);
  return result;
}

val dayNumber(double year, double month, double day) { return orUndefined(eq::JulianDay(year, month, day)); }
val radiusKm(double prediction, double eruption) { return orUndefined(eq::PlotRadius(prediction, eruption)); }
val strictNumber(const std::string& text) { return orUndefined(eq::strictNumber(text)); }
double leadingNumber(const std::string& text) { return eq::leadingNumber(text); }
std::string generalText(double value) { return eq::generalText(static_cast<float>(value)); }
std::string signedText(double value) { return eq::signedText(static_cast<float>(value)); }

}  // namespace

EMSCRIPTEN_BINDINGS(eqcore) {
  emscripten::function("decodeShiftJis", &decodeShiftJis);
  emscripten::function("encodeShiftJis", &encodeShiftJis);
  emscripten::function("readDataFile", &readDataFile);
  emscripten::function("encodeDataFile", &encodeDataFile);
  emscripten::function("dayNumber", &dayNumber);
  emscripten::function("radiusKm", &radiusKm);
  emscripten::function("strictNumber", &strictNumber);
  emscripten::function("leadingNumber", &leadingNumber);
  emscripten::function("generalText", &generalText);
  emscripten::function("signedText", &signedText);
}
