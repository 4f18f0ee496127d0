// The core's functions for the browser (embind): the data file and its Shift-JIS, the
// numbers, the main window's layout and message texts, and a Table: what open, save
// and Draw read and decide, for the page that shows it. Built by scripts/build_web.sh
// only. Bytes go in as a Uint8Array and come out as one; texts are JavaScript strings
// (UTF-8 on the C++ side); what the core leaves empty (a std::optional without a
// value) is undefined.

#include "datafile/record_format.h"
#include "datafile/sjis_codec.h"
#include "draw/draw.h"
#include "draw/main_window_layout.h"
#include "draw/messages.h"
#include "draw/series_range.h"
#include "draw/sheet_json.h"
#include "map/print_fit.h"
#include "model/day_number.h"
#include "model/number_text.h"
#include "model/radius_law.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

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

namespace eq {
namespace {

val stringsOf(const std::vector<std::string>& texts) {
  val array = val::array();
  for (const std::string& text : texts) array.call<void>("push", text);
  return array;
}

val colourOf(const std::optional<Rgb>& colour) { return colour ? val(colorText(*colour)) : val::undefined(); }

// The time series' first range from the 63 box texts, the ten ticks and today [y, m, d],
// and the date it shows first (the prediction date, or today when the boxes make none):
// {from, to, shown}, each [y, m, d].
val seriesRange(const val& boxTexts, const val& ticks, const val& today) {
  const auto datesFrom = [&boxTexts](int yearBox) {
    DateTexts texts;
    for (int k = 0; k < 3; ++k) texts[static_cast<std::size_t>(k)] = boxTexts[yearBox - 1 + k].as<std::string>();
    return texts;
  };
  std::array<DateTexts, kRowCount> eruptions;
  std::array<bool, kRowCount> ticked{};
  for (int row = 1; row <= kRowCount; ++row) {
    eruptions[static_cast<std::size_t>(row - 1)] = datesFrom(fieldIndex(row, 2));
    ticked[static_cast<std::size_t>(row - 1)] = ticks[row - 1].as<bool>();
  }
  const CalendarDate todayDate{today[0].as<int>(), today[1].as<int>(), today[2].as<int>()};
  const SeriesRange range = defaultSeriesRange(eruptions, ticked, datesFrom(kPredictionYearBox), todayDate);
  const auto dateOf = [](const CalendarDate& date) {
    val parts = val::array();
    for (const int part : {date.year, date.month, date.day}) parts.call<void>("push", part);
    return parts;
  };
  val result = val::object();
  result.set("from", dateOf(range.from));
  result.set("to", dateOf(range.to));
  result.set("shown", dateOf(typedCalendarDate(datesFrom(kPredictionYearBox)).value_or(todayDate)));
  return result;
}

// The main window's controls: [{name, kind, caption, left, top, width, height (twips),
// tabIndex, align, back, fore ("#rrggbb" or undefined), fontPoints, bold, clickable,
// tip (with its keys), keys}].
val layout() {
  static const char* const kKinds[] = {"button", "label", "checkbox", "textbox", "picture"};
  val controls = val::array();
  for (const ControlLayout& c : mainWindowLayout()) {
    val item = val::object();
    item.set("name", c.name);
    item.set("kind", kKinds[static_cast<int>(c.kind)]);
    item.set("caption", c.caption);
    item.set("left", c.left);
    item.set("top", c.top);
    item.set("width", c.width);
    item.set("height", c.height);
    item.set("tabIndex", c.tabIndex);
    item.set("align", c.align == CaptionAlign::Centre ? "center" : "left");
    item.set("back", colourOf(c.back));
    item.set("fore", colourOf(c.fore));
    item.set("fontPoints", c.fontPoints);
    item.set("bold", c.bold);
    item.set("clickable", c.clickable);
    item.set("tip", tipWithKeys(c));
    item.set("keys", c.keys);
    controls.call<void>("push", item);
  }
  val result = val::object();
  result.set("title", std::string(kMainWindowTitle));
  result.set("width", kMainWindowWidth);
  result.set("height", kMainWindowHeight);
  result.set("controls", controls);
  val hidden = val::array();
  for (const char* name : kHiddenAtStart) hidden.call<void>("push", std::string(name));
  result.set("hiddenAtStart", hidden);
  return result;
}

// The fixed texts of the boxes and prompts.
val texts() {
  val t = val::object();
  t.set("caption", std::string(text::kCaption));
  t.set("noPredictionDate", std::string(text::kNoPredictionDate));
  t.set("titlePrompt", std::string(text::kTitlePrompt));
  t.set("openDialogTitle", std::string(text::kOpenDialogTitle));
  t.set("nothingToExport", std::string(text::kNothingToExport));
  t.set("noClipboard", std::string(text::kNoClipboard));
  t.set("saveQuestion", text::saveQuestion());
  t.set("showBackgroundQuestion", text::backgroundQuestion(true));
  t.set("hideBackgroundQuestion", text::backgroundQuestion(false));
  t.set("crossingHeader", stringsOf(text::crossingListHeader()));
  return t;
}

// Where the printed sheet goes on a page of pageWidth x pageHeight twips (portrait): the
// size (twips) it is drawn at from the page's origin on the landscape page.
val printFit(double pageWidth, double pageHeight) {
  const std::optional<PrintFit> fit = fitPictureToPage(pageWidth, pageHeight, pictureSizeOfBitmap(1200, 853));
  val result = val::object();
  result.set("drawWidth", fit ? fit->drawWidth : 0.0);
  result.set("drawHeight", fit ? fit->drawHeight : 0.0);
  return result;
}

std::string notReadable(const std::string& path, const std::string& reason) {
  return text::unreadableDataFile(path, reason);
}

RowTexts rowTextsOf(const val& texts, int row) {
  RowTexts row_texts;
  for (int field = 1; field <= kFieldsPerRow; ++field) row_texts[field - 1] = texts[fieldIndex(row, field) - 1].as<std::string>();
  return row_texts;
}

std::string coordinate(double degrees) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.4f", degrees);
  return buffer;
}

// One window's table as the commands read it: the last good values that open, save and
// Draw share, and the last Draw. The page hands in the boxes' texts (an array of 63,
// TextEQ(1) first) and the ticks (an array of 10) and shows what comes back.
class Table {
 public:
  // Open, before the question: why the file cannot be loaded (an empty text: it can).
  // `bytes` are the file's first bytes, at most one beyond kMaxDataFileBytes.
  std::string check(const std::string& bytes, const std::string& path) {
    const std::optional<std::string_view> lead = leadingRecordBytes(bytes);
    if (!lead) return text::linesTooLong(path);
    content_ = readDataFile(std::string(*lead));
    if (!content_) return text::noShiftJis(path);
    if (!content_->hasRecordLine) return text::notEruptionData(path);
    return {};
  }
  std::string replaceQuestion(const std::string& path) const { return text::replaceTableQuestion(path); }

  // Open, after the question: the texts of the rows the file gave, row 1 first (the
  // other rows keep theirs); every row is then unticked and usable.
  val open() {
    val rows = val::array();
    if (!content_) return rows;
    for (std::size_t k = 0; k < content_->records.size(); ++k) {
      RecordValues& values = lastGood_.rows[k + 1];
      values = withRecord(values, content_->records[k]);
      const RowTexts shown = shownRow(values);
      rows.call<void>("push", stringsOf({shown.begin(), shown.end()}));
    }
    content_.reset();
    return rows;
  }

  // Save: {bytes} of 無題.txt, or {error} naming the row that cannot be saved.
  val save(const val& boxTexts) {
    std::vector<RecordValues> rows;
    for (int row = 1; row <= kRowCount; ++row) {
      lastGood_.rows[row] = readRowForSave(lastGood_.rows[row], rowTextsOf(boxTexts, row));
      rows.push_back(lastGood_.rows[row]);
    }
    const EncodedDataFile file = encodeDataFile(rows);
    val result = val::object();
    if (file.failedRow != 0) {
      result.set("error", text::unsavableName(file.failedRow, lastGood_.rows[file.failedRow].name, file.problem,
                                             file.badCharacter));
    } else {
      result.set("bytes", bytesOf(file.bytes));
    }
    return result;
  }

  // Draw: {error} when a prediction box is empty; otherwise {json, states (ten row
  // states, row 1 first), countLabel, warning, anyDrawn}. options: {title, background
  // (the bitmap's file name, or empty), today: [y, m, d], geodesic, toleranceKm,
  // crossingMarks}.
  val draw(const val& boxTexts, const val& ticks, const val& options) {
    val result = val::object();
    DateTexts date;
    for (int k = 0; k < 3; ++k) date[k] = boxTexts[kPredictionYearBox - 1 + k].as<std::string>();
    if (!readPredictionDate(lastGood_.prediction, date)) {
      result.set("error", std::string(text::kNoPredictionDate));
      return result;
    }
    DrawInputs& in = inputs_;
    for (int row = 1; row <= kRowCount; ++row) {
      const RowTexts texts = rowTextsOf(boxTexts, row);
      lastGood_.rows[row] = readRow(lastGood_.rows[row], texts);
      in.rows[row] = {lastGood_.rows[row], ticks[row - 1].as<bool>(), texts[1].empty()};
    }
    in.prediction = lastGood_.prediction;
    in.title = options["title"].as<std::string>();
    in.background = options["background"].as<std::string>();
    in.today = {options["today"][0].as<int>(), options["today"][1].as<int>(), options["today"][2].as<int>()};
    in.circleMode = options["geodesic"].as<bool>() ? CircleMode::Geodesic : CircleMode::Classic;
    in.toleranceKm = options["toleranceKm"].as<double>();
    in.crossingMarks = options["crossingMarks"].as<bool>();
    drawing_ = eq::draw(in);
    drawn_ = true;
    return described(drawing_);
  }

  // The last Draw at another prediction date (the time series), the table unchanged.
  std::string drawAt(double year, double month, double day) const {
    DrawInputs in = inputs_;
    in.prediction = {static_cast<float>(year), static_cast<float>(month), static_cast<float>(day)};
    return sheetJson(eq::draw(in));
  }

  // Crossing marks on or off on the last Draw: its JSON again.
  std::string setCrossingMarks(bool on) {
    inputs_.crossingMarks = on;
    if (!drawn_) return {};
    if (on && drawing_.anyDrawn()) {
      addCrossingMarks(drawing_);
    } else {
      removeCrossingMarks(drawing_);
    }
    return sheetJson(drawing_);
  }

  bool anyDrawn() const { return drawn_ && drawing_.anyDrawn(); }
  void clear() { drawn_ = false; }

  // {text, note}: the last Draw as GeoJSON or KML, and the message when circles were left out.
  val mapData(bool asKml) const {
    const MapExport map = mapExport(inputs_, drawing_);
    const MapText file = asKml ? kml(map) : geoJson(map);
    val result = val::object();
    result.set("text", file.text);
    result.set("note", file.circlesLeftOut.empty() ? std::string() : text::circlesLeftOut(file.circlesLeftOut));
    return result;
  }

  // The crossings of the last Draw, best supported first, as the list shows them.
  val crossingList() const {
    val lines = val::array();
    if (!drawn_) return lines;
    for (const Crossing& c : drawing_.crossings) {
      lines.call<void>("push", stringsOf({std::to_string(c.rowA), inputs_.rows[c.rowA].values.name, std::to_string(c.rowB),
                                          inputs_.rows[c.rowB].values.name, coordinate(c.latitude),
                                          coordinate(c.longitude), std::to_string(c.support),
                                          c.onSheet ? "○" : "図の外"}));
    }
    return lines;
  }

 private:
  static val described(const DrawResult& drawing) {
    val states = val::array();
    for (int row = 1; row <= kRowCount; ++row) states.call<void>("push", std::string(rowStateName(drawing.rows[row].state)));
    val result = val::object();
    result.set("json", sheetJson(drawing));
    result.set("states", states);
    result.set("countLabel", drawing.countLabel);
    result.set("warning", drawing.exclusionWarning);
    result.set("anyDrawn", drawing.anyDrawn());
    return result;
  }

  LastGoodValues lastGood_;
  std::optional<DataFileContent> content_;
  DrawInputs inputs_;
  DrawResult drawing_;
  bool drawn_ = false;
};

}  // namespace
}  // namespace eq

EMSCRIPTEN_BINDINGS(eqcore) {
  using eq::Table;
  emscripten::function("layout", &eq::layout);
  emscripten::function("texts", &eq::texts);
  emscripten::function("notReadable", &eq::notReadable);
  emscripten::function("printFit", &eq::printFit);
  emscripten::function("seriesRange", &eq::seriesRange);
  emscripten::class_<Table>("Table")
      .constructor<>()
      .function("check", &Table::check)
      .function("replaceQuestion", &Table::replaceQuestion)
      .function("open", &Table::open)
      .function("save", &Table::save)
      .function("draw", &Table::draw)
      .function("drawAt", &Table::drawAt)
      .function("setCrossingMarks", &Table::setCrossingMarks)
      .function("anyDrawn", &Table::anyDrawn)
      .function("clear", &Table::clear)
      .function("mapData", &Table::mapData)
      .function("crossingList", &Table::crossingList);
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
