// Any bytes as an earthquake catalogue (the first byte that is not a blank decides:
// "{" is GeoJSON, anything else CSV): every quake kept is whole and in range, the counts
// add up, and the quakes written out as GeoJSON read back the same.

#include "datafile/sjis_codec.h"
#include "fuzz_check.h"
#include "map/json_text.h"
#include "quakes/catalogue.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace {

void checkQuake(const eq::Quake& q) {
  FUZZ_CHECK(eq::isValidUtf8(q.id));
  FUZZ_CHECK(q.utcMs >= eq::kEarliestUtcMs && q.utcMs <= eq::kLatestUtcMs);
  FUZZ_CHECK(q.japanDate == eq::japanDate(q.utcMs));
  FUZZ_CHECK(q.japanDate.month >= 1 && q.japanDate.month <= 12 && q.japanDate.day >= 1 && q.japanDate.day <= 31);
  FUZZ_CHECK(std::fabs(q.latitude) <= 90 && std::fabs(q.longitude) <= 180);
  FUZZ_CHECK(std::isfinite(q.magnitude));
  FUZZ_CHECK(!q.depthKm || std::isfinite(*q.depthKm));
}

std::string asGeoJson(const std::vector<eq::Quake>& quakes) {
  std::string out = R"({"type":"FeatureCollection","features":[)";
  for (const eq::Quake& q : quakes) {
    if (&q != &quakes.front()) out += ',';
    out += R"({"type":"Feature","id":)";
    eq::appendJsonString(out, q.id);
    out += R"(,"properties":{"type":"earthquake","mag":)";
    eq::appendJsonNumber(out, q.magnitude);
    out += R"(,"time":)";
    out += std::to_string(q.utcMs);
    out += R"(},"geometry":{"type":"Point","coordinates":[)";
    eq::appendJsonNumber(out, q.longitude);
    out += ',';
    eq::appendJsonNumber(out, q.latitude);
    if (q.depthKm) {
      out += ',';
      eq::appendJsonNumber(out, *q.depthKm);
    }
    out += "]}}";
  }
  return out + "]}";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  if (const auto ms = eq::parseUtcTime(bytes)) {
    FUZZ_CHECK(*ms >= eq::kEarliestUtcMs && *ms <= eq::kLatestUtcMs);
  }

  const eq::CatalogueReading reading = eq::readCatalogue(bytes);
  if (!reading.catalogue) {
    FUZZ_CHECK(!reading.refusal.empty() && eq::isValidUtf8(reading.refusal));
    return 0;
  }
  const eq::Catalogue& c = *reading.catalogue;
  FUZZ_CHECK(c.records == static_cast<int>(c.quakes.size()) + c.skippedWithoutMagnitude + c.skippedOtherType +
                              c.unreadable);
  FUZZ_CHECK(c.messages.size() == std::min<std::size_t>(c.unreadable, eq::kMaxCatalogueMessages));
  for (const std::string& message : c.messages) FUZZ_CHECK(eq::isValidUtf8(message));
  for (const eq::Quake& q : c.quakes) checkQuake(q);

  const eq::CatalogueReading again = eq::readCatalogue(asGeoJson(c.quakes));
  FUZZ_CHECK(again.catalogue && again.catalogue->records == static_cast<int>(c.quakes.size()));
  FUZZ_CHECK(again.catalogue->quakes.size() == c.quakes.size());
  for (std::size_t i = 0; i < c.quakes.size(); ++i) {
    const eq::Quake& a = c.quakes[i];
    const eq::Quake& b = again.catalogue->quakes[i];
    FUZZ_CHECK(a.id == b.id && a.utcMs == b.utcMs && a.latitude == b.latitude && a.longitude == b.longitude);
    FUZZ_CHECK(a.magnitude == b.magnitude && a.depthKm == b.depthKm);
  }
  return 0;
}
