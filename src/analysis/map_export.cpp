#include "analysis/map_export.h"

#include "map/json_text.h"
#include "map/xml_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <utility>
#include <variant>

namespace eq {
namespace {

// Row pairs are written as a list: [1,2] in JSON, "1,2" in KML.
using RowList = std::vector<int>;
using Value = std::variant<std::monostate, bool, int, float, double, std::string, RowList>;

struct Field {
  const char* key;
  Value value;
};

// One feature for both formats: its fields, and a point (one position), a closed
// ring (more) or no geometry (none, for a position that is not a number).
struct Feature {
  std::string name;
  std::string description;
  const char* style;
  std::vector<Field> fields;
  std::vector<GeoPoint> positions;
  bool singlePrecision = false;  // a table position, written as the float it is
};

std::string oneDecimal(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
  return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string();
}

bool finite(const Value& v) {
  if (const auto* d = std::get_if<double>(&v)) return std::isfinite(*d);
  if (const auto* f = std::get_if<float>(&v)) return std::isfinite(*f);
  return true;
}

void appendJsonValue(std::string& out, const Value& value) {
  if (std::holds_alternative<std::monostate>(value)) {
    out += "null";
  } else if (const auto* b = std::get_if<bool>(&value)) {
    out += *b ? "true" : "false";
  } else if (const auto* s = std::get_if<std::string>(&value)) {
    appendJsonString(out, *s);
  } else if (const auto* i = std::get_if<int>(&value)) {
    appendJsonNumber(out, *i);
  } else if (const auto* rows = std::get_if<RowList>(&value)) {
    out += '[';
    for (std::size_t k = 0; k < rows->size(); ++k) {
      if (k > 0) out += ',';
      appendJsonNumber(out, (*rows)[k]);
    }
    out += ']';
  } else if (const auto* f = std::get_if<float>(&value)) {
    appendJsonNumber(out, *f);
  } else {
    appendJsonNumber(out, std::get<double>(value));
  }
}

void appendXmlValue(std::string& out, const Value& value) {
  if (!finite(value) || std::holds_alternative<std::monostate>(value)) return;
  if (const auto* b = std::get_if<bool>(&value)) {
    out += *b ? "true" : "false";
  } else if (const auto* s = std::get_if<std::string>(&value)) {
    appendXmlText(out, *s);
  } else if (const auto* rows = std::get_if<RowList>(&value)) {
    for (std::size_t k = 0; k < rows->size(); ++k) out += (k > 0 ? "," : "") + std::to_string((*rows)[k]);
  } else {
    appendJsonValue(out, value);  // a number reads the same in both
  }
}

std::string volcanoName(const VolcanoFeature& v) {
  return v.name.empty() ? "行 " + std::to_string(v.row) : v.name;
}

std::vector<Feature> features(const MapExport& map) {
  std::vector<Feature> all;
  const double noRadius = std::numeric_limits<double>::quiet_NaN();
  for (const VolcanoFeature& v : map.volcanoes) {
    Feature f{volcanoName(v), "噴火 " + v.eruptionDate, "volcano", {}, {}};
    f.fields = {{"kind", std::string("volcano")}, {"row", v.row},
                {"name", v.name},                 {"eruptionDate", v.eruptionDate},
                {"radiusKm", v.radiusKm.value_or(noRadius)}, {"state", v.state}};
    if (std::isfinite(v.latitude) && std::isfinite(v.longitude)) f.positions.push_back({v.latitude, v.longitude});
    f.singlePrecision = true;
    all.push_back(std::move(f));
  }
  for (const VolcanoFeature& v : map.volcanoes) {
    const double radius = v.radiusKm.value_or(noRadius);
    if (!hasCircle(radius)) continue;
    Feature f{volcanoName(v), "半径 " + oneDecimal(radius) + " km", "circle", {}, {}};
    f.fields = {{"kind", std::string("circle")}, {"row", v.row}, {"name", v.name}, {"radiusKm", radius}};
    f.positions = circleOutline({v.row, v.latitude, v.longitude, radius}, map.mode, map.circlePoints);
    all.push_back(std::move(f));
  }
  for (const Crossing& c : map.crossings) {
    Feature f{"交点 " + std::to_string(c.rowA) + "-" + std::to_string(c.rowB),
              "支持数 " + std::to_string(c.support) + (c.onSheet ? "" : "（図の外）"), "crossing", {}, {}};
    f.fields = {{"kind", std::string("crossing")}, {"rows", RowList{c.rowA, c.rowB}}, {"support", c.support},
                {"onSheet", c.onSheet}, {"x", c.x}, {"y", c.y}};
    f.positions.push_back({c.latitude, c.longitude});
    all.push_back(std::move(f));
  }
  return all;
}

std::vector<Field> documentFields(const MapExport& map) {
  return {{"predictionDate", map.predictionDate},
          {"circleMode", std::string(circleModeName(map.mode))},
          {"supportToleranceKm", map.toleranceKm}};
}

// Positions are finite, so their text is the same in JSON and KML.
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

void appendJsonObject(std::string& out, const std::vector<Field>& fields) {
  out += '{';
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    appendJsonString(out, fields[i].key);
    out += ':';
    appendJsonValue(out, fields[i].value);
  }
  out += '}';
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

void appendKmlCoordinates(std::string& out, const Feature& f) {
  out += "<coordinates>";
  for (size_t i = 0; i < f.positions.size(); ++i) {
    if (i > 0) out += ' ';
    appendPosition(out, f.positions[i], f.singlePrecision);
  }
  out += "</coordinates>";
}

}  // namespace

MapExport mapExport(std::string predictionDate, std::vector<VolcanoFeature> volcanoes, CircleMode mode,
                    double toleranceKm) {
  MapExport map;
  map.predictionDate = std::move(predictionDate);
  map.mode = mode;
  map.toleranceKm = toleranceKm;
  std::vector<CircleInput> circles;
  for (const VolcanoFeature& v : volcanoes) {
    if (v.radiusKm) circles.push_back({v.row, v.latitude, v.longitude, *v.radiusKm});
  }
  map.volcanoes = std::move(volcanoes);
  map.crossings = findCrossings(circles, mode, toleranceKm);
  return map;
}

std::string geoJson(const MapExport& map) {
  std::string out = "{\"type\":\"FeatureCollection\",\"properties\":";
  appendJsonObject(out, documentFields(map));
  out += ",\"features\":[";
  bool first = true;
  for (const Feature& f : features(map)) {
    out += first ? "\n" : ",\n";
    first = false;
    out += "{\"type\":\"Feature\",\"geometry\":";
    if (f.positions.empty()) {
      out += "null";
    } else if (f.positions.size() == 1) {
      out += "{\"type\":\"Point\",\"coordinates\":[";
      appendPosition(out, f.positions.front(), f.singlePrecision);
      out += "]}";
    } else {
      out += "{\"type\":\"Polygon\",\"coordinates\":[[";
      for (size_t i = 0; i < f.positions.size(); ++i) {
        out += i > 0 ? ",[" : "[";
        appendPosition(out, f.positions[i], f.singlePrecision);
        out += ']';
      }
      out += "]]}";
    }
    out += ",\"properties\":";
    appendJsonObject(out, f.fields);
    out += '}';
  }
  out += "\n]}\n";
  return out;
}

std::string kml(const MapExport& map) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
      "<Document>\n<name>地震サークル</name>\n<description>予測日 ";
  appendXmlText(out, map.predictionDate);
  out +=
      "</description>\n"
      "<Style id=\"volcano\"><IconStyle><color>ff0000ff</color></IconStyle></Style>\n"
      "<Style id=\"circle\"><LineStyle><color>ff0000ff</color><width>2</width></LineStyle>"
      "<PolyStyle><fill>0</fill></PolyStyle></Style>\n"
      "<Style id=\"crossing\"><IconStyle><color>ff00ffff</color></IconStyle></Style>\n";
  appendKmlData(out, documentFields(map));
  out += '\n';
  for (const Feature& f : features(map)) {
    out += "<Placemark><name>";
    appendXmlText(out, f.name);
    out += "</name><description>";
    appendXmlText(out, f.description);
    out += "</description><styleUrl>#";
    out += f.style;
    out += "</styleUrl>";
    appendKmlData(out, f.fields);
    if (f.positions.size() == 1) {
      out += "<Point>";
      appendKmlCoordinates(out, f);
      out += "</Point>";
    } else if (!f.positions.empty()) {
      out += "<Polygon><outerBoundaryIs><LinearRing>";
      appendKmlCoordinates(out, f);
      out += "</LinearRing></outerBoundaryIs></Polygon>";
    }
    out += "</Placemark>\n";
  }
  out += "</Document>\n</kml>\n";
  return out;
}

}  // namespace eq
