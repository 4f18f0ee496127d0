#pragma once
// What the two catalogue readers share: the rules for one event (a CSV row, a GeoJSON
// feature) and the tally of the whole file. Each reader takes the fields out its own
// way and hands them over here.

#include "quakes/catalogue.h"

#include <string>
#include <string_view>

namespace eq {

// The fields a message can name, and what is wrong with one.
enum class QuakeField { Time, Latitude, Longitude, Depth, Magnitude, Id, Coordinates };
enum class FieldFault { Missing, Unreadable, OutOfRange };

// "緯度が読めません"
std::string fieldProblem(QuakeField field, FieldFault fault);

// No type, or "earthquake" (in any case): the events a catalogue reader keeps.
bool isEarthquakeType(std::string_view type);

// One event as a reader found it. A reader sets `problem` at the first field it
// cannot take and leaves the rest.
struct CatalogueEvent {
  enum class Kind { Quake, WithoutMagnitude, OtherType, Unreadable };
  Kind kind = Kind::Quake;
  Quake quake;
  std::string problem;

  void fail(std::string why) {
    kind = Kind::Unreadable;
    problem = std::move(why);
  }
  void fail(QuakeField field, FieldFault fault) { fail(fieldProblem(field, fault)); }
  // Checks the place, which both readers have as numbers by now.
  void setPosition(double latitude, double longitude);
};

// Counts the event and keeps its quake; `where` ("3行目", "3番目の地物") goes before the
// problem of an unreadable one.
void tally(Catalogue& catalogue, CatalogueEvent&& event, const std::string& where);

// Reads `text`, known to be in that format (no byte-order mark).
CatalogueReading readUsgsCsv(std::string_view text);
CatalogueReading readUsgsGeoJson(std::string_view text);

}  // namespace eq
