#include "analysis/map_export.h"

#include "analysis/globe_polygons.h"
#include "map/json_text.h"
#include "map/xml_text.h"
#include "model/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <utility>
#include <variant>

namespace eq {
namespace {

// Lists are written [1,2] in JSON and "1,2" in KML: the rows of a crossing, a date's
// year, month and day.
using RowList = std::vector<int>;
using NumberList = std::vector<float>;
using Value = std::variant<std::monostate, bool, int, float, double, std::string, RowList, NumberList>;

struct Field {
  const char* key;
  Value value;
};

// One feature for both formats: its fields and its geometry, a point, polygons or
// nothing (a position off the globe, a circle that cannot be written).
struct Feature {
  std::string name;
  std::string description;
  const char* style;
  std::vector<Field> fields;
  std::optional<GeoPoint> point;
  std::vector<GeoRing> polygons;
  bool singlePrecision = false;  // a table position, written as the float it is
};

std::string oneDecimal(double value) {
  char buffer[64];
#if defined(__cpp_lib_to_chars)
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
  return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string();
#else
  // A C++ library without floating-point to_chars (WebAssembly's): the same digits, and
  // the C library's locale there is always "C".
  const int length = std::snprintf(buffer, sizeof buffer, "%.1f", value);
  return length > 0 && length < static_cast<int>(sizeof buffer) ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
#endif
}

// A list in KML, "1,2", its numbers as JSON writes them.
template <typename List>
void appendList(std::string& out, const List& list) {
  for (std::size_t k = 0; k < list.size(); ++k) {
    if (k > 0) out += ',';
    appendJsonNumber(out, list[k]);
  }
}

void writeJsonValue(JsonWriter& json, const Value& value) {
  if (std::holds_alternative<std::monostate>(value)) {
    json.null();
  } else if (const auto* b = std::get_if<bool>(&value)) {
    json.boolean(*b);
  } else if (const auto* s = std::get_if<std::string>(&value)) {
    json.string(*s);
  } else if (const auto* i = std::get_if<int>(&value)) {
    json.number(*i);
  } else if (const auto* rows = std::get_if<RowList>(&value)) {
    json.beginArray();
    for (const int row : *rows) json.number(row);
    json.endArray();
  } else if (const auto* numbers = std::get_if<NumberList>(&value)) {
    json.beginArray();
    for (const float number : *numbers) json.number(number);
    json.endArray();
  } else if (const auto* f = std::get_if<float>(&value)) {
    json.number(*f);
  } else {
    json.number(std::get<double>(value));
  }
}

// A null is an empty value in KML.
void appendXmlValue(std::string& out, const Value& value) {
  if (std::holds_alternative<std::monostate>(value)) return;
  if (const auto* b = std::get_if<bool>(&value)) {
    out += *b ? "true" : "false";
  } else if (const auto* s = std::get_if<std::string>(&value)) {
    appendXmlText(out, *s);
  } else if (const auto* rows = std::get_if<RowList>(&value)) {
    appendList(out, *rows);
  } else if (const auto* numbers = std::get_if<NumberList>(&value)) {
    appendList(out, *numbers);
  } else if (const auto* i = std::get_if<int>(&value)) {
    appendJsonNumber(out, *i);  // a number reads the same in both
  } else if (const auto* f = std::get_if<float>(&value)) {
    appendJsonNumber(out, *f);
  } else {
    appendJsonNumber(out, std::get<double>(value));
  }
}

Value orNull(const std::optional<std::string>& text) { return text ? Value(*text) : Value(); }

// The date for people: ISO 8601 where it is one, else the table's numbers.
std::string dateText(const TableDate& date) {
  if (const auto iso = isoDate(date)) return *iso;
  return generalText(date[0]) + "-" + generalText(date[1]) + "-" + generalText(date[2]);
}

std::string volcanoName(const VolcanoFeature& v) {
  return v.name.empty() ? "行 " + std::to_string(v.row) : v.name;
}

// The values that hold for the whole map, in every feature.
void addMapFields(std::vector<Field>& fields, const MapExport& map) {
  fields.push_back({"predictionDate", orNull(isoDate(map.prediction))});
  fields.push_back({"predictionYearMonthDay", NumberList(map.prediction.begin(), map.prediction.end())});
  fields.push_back({"circleMode", std::string(circleModeName(map.mode))});
  fields.push_back({"supportToleranceKm", map.toleranceKm});
}

std::vector<Feature> features(const MapExport& map, std::vector<int>* circlesLeftOut) {
  std::vector<Feature> volcanoes;
  std::vector<Feature> circles;
  for (const VolcanoFeature& v : map.volcanoes) {
    std::vector<GeoRing> polygons;
    if (v.radiusKm) {
      polygons = circlePolygons({v.row, v.latitude, v.longitude, *v.radiusKm}, map.mode, map.circlePoints);
      if (polygons.empty()) circlesLeftOut->push_back(v.row);
    }
    std::string note;
    if (v.state == "excluded") {
      note = "（予測日より後のため除外）";
    } else if (v.state == "skipped") {
      note = "（噴火年がないため描画せず）";
    } else if (!v.radiusKm) {
      note = "（円なし）";
    } else if (polygons.empty()) {
      note = "（円は地図データに書けません）";
    }
    // A skipped row has no eruption year, and Draw placed nothing for it.
    const bool placed = v.state != "skipped";
    Feature f{volcanoName(v), placed ? "噴火 " + dateText(v.eruption) + note : note, "volcano", {}, {}, {}, true};
    f.fields = {{"kind", std::string("volcano")},
                {"row", v.row},
                {"name", v.name},
                {"state", v.state},
                {"eruptionDate", placed ? orNull(isoDate(v.eruption)) : Value()},
                {"eruptionYearMonthDay", placed ? Value(NumberList(v.eruption.begin(), v.eruption.end())) : Value()},
                {"radiusKm", v.radiusKm ? Value(*v.radiusKm) : Value()},
                {"circle", !polygons.empty()}};
    addMapFields(f.fields, map);
    if (placed) f.point = onGlobe(v.latitude, v.longitude);
    volcanoes.push_back(std::move(f));
    if (polygons.empty()) continue;
    Feature c{volcanoName(v), "半径 " + oneDecimal(*v.radiusKm) + " km", "circle", {}, {}, std::move(polygons)};
    c.fields = {{"kind", std::string("circle")}, {"row", v.row}, {"name", v.name}, {"radiusKm", *v.radiusKm}};
    addMapFields(c.fields, map);
    circles.push_back(std::move(c));
  }
  std::vector<Feature> all = std::move(volcanoes);
  for (Feature& c : circles) all.push_back(std::move(c));
  for (const Crossing& c : map.crossings) {
    Feature f{"交点 " + std::to_string(c.rowA) + "-" + std::to_string(c.rowB),
              "支持数 " + std::to_string(c.support) + (c.onSheet ? "" : "（図の外）"), "crossing", {}, {}, {}};
    f.fields = {{"kind", std::string("crossing")}, {"rows", RowList{c.rowA, c.rowB}}, {"support", c.support},
                {"onSheet", c.onSheet}, {"x", c.x}, {"y", c.y}};
    addMapFields(f.fields, map);
    // A crossing of circles as drawn has a place on the globe only where the projection has one.
    if (map.mode == CircleMode::Geodesic || insideProjection(c.x, c.y)) f.point = onGlobe(c.latitude, c.longitude);
    all.push_back(std::move(f));
  }
  return all;
}

// A KML position, "longitude,latitude"; positions are finite, so their numbers read as in JSON.
void appendPosition(std::string& out, const GeoPoint& p, bool singlePrecision) {
  if (singlePrecision) {
    appendJsonNumber(out, static_cast<float>(p.longitude));
    out += ',';
    appendJsonNumber(out, static_cast<float>(p.latitude));
  } else {
    appendJsonNumber(out, p.longitude);
    out += ',';
    appendJsonNumber(out, p.latitude);
  }
}

void writeJsonPosition(JsonWriter& json, const GeoPoint& p, bool singlePrecision) {
  json.beginArray();
  if (singlePrecision) {
    json.number(static_cast<float>(p.longitude)).number(static_cast<float>(p.latitude));
  } else {
    json.number(p.longitude).number(p.latitude);
  }
  json.endArray();
}

void writeJsonObject(JsonWriter& json, const std::vector<Field>& fields) {
  json.beginObject();
  for (const Field& field : fields) {
    json.key(field.key);
    writeJsonValue(json, field.value);
  }
  json.endObject();
}

void writeJsonRing(JsonWriter& json, const GeoRing& ring) {
  json.beginArray().beginArray();
  for (const GeoPoint& p : ring) writeJsonPosition(json, p, false);
  json.endArray().endArray();
}

void writeJsonGeometry(JsonWriter& json, const Feature& f) {
  if (f.point) {
    json.beginObject().key("type").string("Point").key("coordinates");
    writeJsonPosition(json, *f.point, f.singlePrecision);
    json.endObject();
  } else if (f.polygons.size() == 1) {
    json.beginObject().key("type").string("Polygon").key("coordinates");
    writeJsonRing(json, f.polygons.front());
    json.endObject();
  } else if (!f.polygons.empty()) {
    // Split at the antimeridian (RFC 7946, 3.1.9).
    json.beginObject().key("type").string("MultiPolygon").key("coordinates").beginArray();
    for (const GeoRing& ring : f.polygons) writeJsonRing(json, ring);
    json.endArray().endObject();
  } else {
    json.null();
  }
}

void appendKmlData(std::string& out, const std::vector<Field>& fields) {
  out += "<ExtendedData>";
  for (const Field& f : fields) {
    out += "<Data name=\"";
    out += f.key;
    out += "\"><value>";
    appendXmlValue(out, f.value);
    out += "</value></Data>";
  }
  out += "</ExtendedData>";
}

void appendKmlRing(std::string& out, const GeoRing& ring) {
  out += "<Polygon><outerBoundaryIs><LinearRing><coordinates>";
  for (size_t i = 0; i < ring.size(); ++i) {
    if (i > 0) out += ' ';
    appendPosition(out, ring[i], false);
  }
  out += "</coordinates></LinearRing></outerBoundaryIs></Polygon>";
}

void appendKmlGeometry(std::string& out, const Feature& f) {
  if (f.point) {
    out += "<Point><coordinates>";
    appendPosition(out, *f.point, f.singlePrecision);
    out += "</coordinates></Point>";
  } else if (f.polygons.size() == 1) {
    appendKmlRing(out, f.polygons.front());
  } else if (!f.polygons.empty()) {
    out += "<MultiGeometry>";
    for (const GeoRing& ring : f.polygons) appendKmlRing(out, ring);
    out += "</MultiGeometry>";
  }
}

}  // namespace

std::optional<std::string> isoDate(const TableDate& date) {
  const auto [year, month, day] = date;
  const bool whole = std::floor(year) == year && std::floor(month) == month && std::floor(day) == day;
  if (!whole || year < 1 || year > 9999 || month < 0 || month > 12 || day < 0 || (month == 0 && day != 0)) {
    return std::nullopt;
  }
  const int y = static_cast<int>(year);
  const int m = static_cast<int>(month);
  const int d = static_cast<int>(day);
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m > 0 && d > (m == 2 && leap ? 29 : kDays[m - 1])) return std::nullopt;
  char text[16];
  if (m == 0) {
    std::snprintf(text, sizeof text, "%04d", y);
  } else if (d == 0) {
    std::snprintf(text, sizeof text, "%04d-%02d", y, m);
  } else {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
  }
  return std::string(text);
}

MapText geoJson(const MapExport& map) {
  MapText result;
  JsonWriter json(result.text);
  json.beginObject().key("type").string("FeatureCollection").key("features").beginArray();
  for (const Feature& f : features(map, &result.circlesLeftOut)) {
    json.lineBreak().beginObject().key("type").string("Feature").key("geometry");
    writeJsonGeometry(json, f);
    json.key("properties");
    writeJsonObject(json, f.fields);
    json.endObject();
  }
  json.endLine().endArray().endObject().endLine();
  return result;
}

MapText kml(const MapExport& map) {
  MapText result;
  std::string& out = result.text;
  out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
      "<Document>\n<name>地震サークル</name>\n<description>予測日 ";
  appendXmlText(out, dateText(map.prediction));
  out +=
      "</description>\n"
      "<Style id=\"volcano\"><IconStyle><color>ff0000ff</color></IconStyle></Style>\n"
      "<Style id=\"circle\"><LineStyle><color>ff0000ff</color><width>2</width></LineStyle>"
      "<PolyStyle><fill>0</fill></PolyStyle></Style>\n"
      "<Style id=\"crossing\"><IconStyle><color>ff00ffff</color></IconStyle></Style>\n";
  for (const Feature& f : features(map, &result.circlesLeftOut)) {
    out += "<Placemark><name>";
    appendXmlText(out, f.name);
    out += "</name><description>";
    appendXmlText(out, f.description);
    out += "</description><styleUrl>#";
    out += f.style;
    out += "</styleUrl>";
    appendKmlData(out, f.fields);
    appendKmlGeometry(out, f);
    out += "</Placemark>\n";
  }
  out += "</Document>\n</kml>\n";
  return result;
}

}  // namespace eq
