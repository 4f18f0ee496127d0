#pragma once
// Earthquake catalogues as the USGS earthquake search exports them:
//
//  - CSV: a header row naming the columns (time,latitude,longitude,depth,mag,magType,
//    ...,id,...,place,type,...), found by name wherever they stand; fields quoted as in
//    RFC 4180 (a place such as "45 km E of Namie, Japan", a doubled quote inside);
//    times in ISO 8601 UTC ("2011-03-11T05:46:24.120Z"); an empty magnitude;
//  - GeoJSON: a FeatureCollection whose features carry properties.mag, properties.time
//    (milliseconds since 1970 UTC) and properties.type, the feature's id, and
//    geometry.coordinates = [longitude, latitude, depth in km].
//
// Only earthquakes are kept (type "earthquake", or no type); an event without a
// magnitude or of another type (a quarry blast, an explosion) is skipped and counted.
// A row or feature that cannot be read is skipped and counted too, and the first few
// of them are described in Japanese, naming the line or the feature; a file that is
// neither format, or whose CSV header lacks a column, is refused as a whole.

#include "quakes/utc_time.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace eq {

// A larger file is refused rather than held in memory (about 300,000 CSV rows).
inline constexpr std::size_t kMaxCatalogueBytes = 64 * 1024 * 1024;
// How many unreadable rows or features are described; the rest are only counted.
inline constexpr std::size_t kMaxCatalogueMessages = 10;

enum class CatalogueFormat { UsgsCsv, UsgsGeoJson };

struct Quake {
  std::string id;  // UTF-8; empty when the file gives none
  std::int64_t utcMs = 0;
  CalendarDate japanDate;  // its date on the sheet
  double latitude = 0;     // degrees north, -90 to 90
  double longitude = 0;    // degrees east, -180 to 180
  std::optional<double> depthKm;
  double magnitude = 0;
};

struct Catalogue {
  CatalogueFormat format = CatalogueFormat::UsgsCsv;
  std::vector<Quake> quakes;  // in the file's order
  int records = 0;            // data rows or features seen, whatever became of them
  int skippedWithoutMagnitude = 0;
  int skippedOtherType = 0;
  int unreadable = 0;
  std::vector<std::string> messages;  // the first kMaxCatalogueMessages unreadable ones
};

struct CatalogueReading {
  std::optional<Catalogue> catalogue;  // nothing: the file was refused
  std::string refusal;                 // why, in Japanese
};

// A whole file's bytes, whichever of the two formats they are in (a UTF-8 byte-order
// mark is allowed before either).
CatalogueReading readCatalogue(std::string_view bytes);

}  // namespace eq
