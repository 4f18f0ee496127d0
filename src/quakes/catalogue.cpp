#include "quakes/catalogue.h"

#include "quakes/catalogue_event.h"

#include <cmath>

namespace eq {

std::string fieldProblem(QuakeField field, FieldFault fault) {
  static const char* const kFields[] = {"時刻", "緯度", "経度", "深さ", "マグニチュード", "ID", "震源の座標"};
  static const char* const kFaults[] = {"がありません", "が読めません", "が範囲外です"};
  return std::string(kFields[static_cast<int>(field)]) + kFaults[static_cast<int>(fault)];
}

bool isEarthquakeType(std::string_view type) {
  constexpr std::string_view kEarthquake = "earthquake";
  if (type.empty()) return true;
  if (type.size() != kEarthquake.size()) return false;
  for (std::size_t i = 0; i < type.size(); ++i) {
    const char c = type[i] >= 'A' && type[i] <= 'Z' ? static_cast<char>(type[i] - 'A' + 'a') : type[i];
    if (c != kEarthquake[i]) return false;
  }
  return true;
}

void CatalogueEvent::setPosition(double latitude, double longitude) {
  if (!(std::fabs(latitude) <= 90)) {
    fail(QuakeField::Latitude, FieldFault::OutOfRange);
  } else if (!(std::fabs(longitude) <= 180)) {
    fail(QuakeField::Longitude, FieldFault::OutOfRange);
  } else {
    quake.latitude = latitude;
    quake.longitude = longitude;
  }
}

void tally(Catalogue& catalogue, CatalogueEvent&& event, const std::string& where) {
  ++catalogue.records;
  switch (event.kind) {
    case CatalogueEvent::Kind::Quake:
      event.quake.japanDate = japanDate(event.quake.utcMs);
      catalogue.quakes.push_back(std::move(event.quake));
      break;
    case CatalogueEvent::Kind::WithoutMagnitude:
      ++catalogue.skippedWithoutMagnitude;
      break;
    case CatalogueEvent::Kind::OtherType:
      ++catalogue.skippedOtherType;
      break;
    case CatalogueEvent::Kind::Unreadable:
      ++catalogue.unreadable;
      if (catalogue.messages.size() < kMaxCatalogueMessages) {
        catalogue.messages.push_back(where + ": " + event.problem);
      }
      break;
  }
}

CatalogueReading readCatalogue(std::string_view bytes) {
  if (bytes.size() > kMaxCatalogueBytes) {
    return {std::nullopt, "ファイルが大きすぎるため、地震カタログとして読み込めません (64 MB まで)。"};
  }
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) bytes.remove_prefix(kByteOrderMark.size());
  // A GeoJSON file is one object; anything else may only be a CSV file.
  const std::size_t first = bytes.find_first_not_of(" \t\r\n");
  if (first != std::string_view::npos && bytes[first] == '{') return readUsgsGeoJson(bytes);
  return readUsgsCsv(bytes);
}

}  // namespace eq
