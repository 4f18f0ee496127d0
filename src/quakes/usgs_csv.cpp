// The USGS earthquake search's CSV export.

#include "datafile/sjis_codec.h"
#include "model/number_text.h"
#include "quakes/catalogue_event.h"

#include <array>

namespace eq {
namespace {

const char* const kNotACatalogue = "USGS の地震カタログ (CSV または GeoJSON) として読めるファイルではありません。";

// The records of RFC 4180 text: fields separated by commas, a field in double quotes
// may hold commas, line breaks and doubled quotes. Lines end at CR LF, LF or CR; empty
// lines are passed over. Text after a closing quote is kept as it stands.
class CsvRecords {
 public:
  explicit CsvRecords(std::string_view text) : text_(text) {}

  enum class Status { Record, End, OpenQuote };

  Status next(std::vector<std::string>& fields) {
    fields.clear();
    while (at_ < text_.size() && isLineEnd(text_[at_])) skipLineEnd();
    if (at_ >= text_.size()) return Status::End;
    line_ = nextLine_;
    for (;;) {
      std::string& field = fields.emplace_back();
      if (text_[at_] == '"') {
        ++at_;
        for (;;) {
          const std::size_t quote = text_.find('"', at_);
          if (quote == std::string_view::npos) {
            at_ = text_.size();
            return Status::OpenQuote;
          }
          const std::string_view part = text_.substr(at_, quote - at_);
          field.append(part);
          nextLine_ += lineEnds(part);
          at_ = quote + 1;
          if (at_ >= text_.size() || text_[at_] != '"') break;
          field.push_back('"');
          ++at_;
        }
      }
      const std::size_t end = std::min(text_.find_first_of(",\r\n", at_), text_.size());
      field.append(text_.substr(at_, end - at_));
      at_ = end;
      if (at_ < text_.size() && text_[at_] == ',') {
        ++at_;
        if (at_ < text_.size()) continue;
        fields.emplace_back();  // a comma at the very end: one more empty field
      }
      if (at_ < text_.size()) skipLineEnd();
      return Status::Record;
    }
  }

  // The line on which the last record began, from 1.
  int line() const { return line_; }

 private:
  static bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

  void skipLineEnd() {
    at_ += text_.compare(at_, 2, "\r\n") == 0 ? 2 : 1;
    ++nextLine_;
  }

  static int lineEnds(std::string_view part) {
    int count = 0;
    for (std::size_t i = 0; i < part.size(); ++i) {
      if (part[i] == '\n' || (part[i] == '\r' && (i + 1 == part.size() || part[i + 1] != '\n'))) ++count;
    }
    return count;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  int line_ = 1;
  int nextLine_ = 1;
};

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The columns read, by their header names; the first four must be there.
enum Column { kTime, kLatitude, kLongitude, kMagnitude, kDepth, kId, kType, kColumns };
constexpr std::size_t kRequiredColumns = 4;
const char* const kColumnNames[kColumns] = {"time", "latitude", "longitude", "mag", "depth", "id", "type"};
constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);

// A number field: empty is missing.
std::optional<double> number(CatalogueEvent& event, std::string_view text, QuakeField field) {
  if (text.empty()) {
    event.fail(field, FieldFault::Missing);
    return std::nullopt;
  }
  const auto value = strictNumber(text);
  if (!value) event.fail(field, FieldFault::Unreadable);
  return value;
}

CatalogueEvent readRow(const std::vector<std::string>& fields, const std::array<std::size_t, kColumns>& columns,
              std::size_t headerSize) {
  CatalogueEvent event;
  if (fields.size() != headerSize) {
    event.fail("列の数が見出しと違います (" + std::to_string(fields.size()) + "列、見出しは" +
               std::to_string(headerSize) + "列)");
    return event;
  }
  const auto field = [&](Column column) {
    return columns[column] == kAbsent ? std::string_view() : trimmed(fields[columns[column]]);
  };
  if (!isEarthquakeType(field(kType))) {
    event.kind = CatalogueEvent::Kind::OtherType;
    return event;
  }
  if (field(kMagnitude).empty()) {
    event.kind = CatalogueEvent::Kind::WithoutMagnitude;
    return event;
  }
  Quake& quake = event.quake;
  const auto magnitude = number(event, field(kMagnitude), QuakeField::Magnitude);
  if (!magnitude) return event;
  quake.magnitude = *magnitude;

  if (field(kTime).empty()) {
    event.fail(QuakeField::Time, FieldFault::Missing);
    return event;
  }
  const auto time = parseUtcTime(field(kTime));
  if (!time) {
    event.fail(QuakeField::Time, FieldFault::Unreadable);
    return event;
  }
  quake.utcMs = *time;

  const auto latitude = number(event, field(kLatitude), QuakeField::Latitude);
  if (!latitude) return event;
  const auto longitude = number(event, field(kLongitude), QuakeField::Longitude);
  if (!longitude) return event;
  event.setPosition(*latitude, *longitude);
  if (event.kind != CatalogueEvent::Kind::Quake) return event;

  if (!field(kDepth).empty()) {
    quake.depthKm = number(event, field(kDepth), QuakeField::Depth);
    if (!quake.depthKm) return event;
  }
  const std::string_view id = field(kId);
  if (!isValidUtf8(id)) {
    event.fail(QuakeField::Id, FieldFault::Unreadable);
    return event;
  }
  quake.id = id;
  return event;
}

}  // namespace

CatalogueReading readUsgsCsv(std::string_view text) {
  CsvRecords records(text);
  std::vector<std::string> fields;
  if (records.next(fields) != CsvRecords::Status::Record) return {std::nullopt, kNotACatalogue};

  std::array<std::size_t, kColumns> columns;
  columns.fill(kAbsent);
  const std::string headerLine = std::to_string(records.line()) + "行目";
  bool anyRequired = false;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string_view name = trimmed(fields[i]);
    for (int c = 0; c < kColumns; ++c) {
      if (name != kColumnNames[c]) continue;
      if (columns[c] != kAbsent) {
        return {std::nullopt, headerLine + "の見出しに「" + kColumnNames[c] + "」の列が二つあります。"};
      }
      columns[c] = i;
      anyRequired = anyRequired || c < static_cast<int>(kRequiredColumns);
    }
  }
  if (!anyRequired) return {std::nullopt, kNotACatalogue};
  for (std::size_t c = 0; c < kRequiredColumns; ++c) {
    if (columns[c] == kAbsent) {
      return {std::nullopt, headerLine + "の見出しに「" + kColumnNames[c] +
                                "」の列がありません。USGS の地震カタログの CSV ではないようです。"};
    }
  }

  Catalogue catalogue;
  catalogue.format = CatalogueFormat::UsgsCsv;
  const std::size_t headerSize = fields.size();
  for (;;) {
    const CsvRecords::Status status = records.next(fields);
    if (status == CsvRecords::Status::End) break;
    CatalogueEvent event;
    if (status == CsvRecords::Status::OpenQuote) {
      event.fail("引用符 (\") が閉じられないまま、ファイルが終わっています");
    } else {
      event = readRow(fields, columns, headerSize);
    }
    tally(catalogue, std::move(event), std::to_string(records.line()) + "行目");
    if (status == CsvRecords::Status::OpenQuote) break;
  }
  return {std::move(catalogue), {}};
}

}  // namespace eq
