// The USGS earthquake search's GeoJSON export (a FeatureCollection), read with
// nlohmann/json's event parser, which needs no exceptions.

#include "quakes/catalogue_event.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>

namespace eq {
namespace {

using Json = nlohmann::json;

// The line (from 1) of the character at `position` (from 1).
int lineAt(std::string_view text, std::size_t position) {
  const std::string_view before = text.substr(0, position == 0 ? 0 : position - 1);
  return 1 + static_cast<int>(std::count(before.begin(), before.end(), '\n'));
}

// A member of an object, or nullptr when it is absent or null.
const Json* member(const Json& object, const char* name) {
  const auto found = object.find(name);
  return found == object.end() || found->is_null() ? nullptr : &*found;
}

std::optional<std::int64_t> milliseconds(const Json& value) {
  if (value.is_number_unsigned()) {
    const auto ms = value.get<std::uint64_t>();
    return ms <= static_cast<std::uint64_t>(kLatestUtcMs) ? std::optional<std::int64_t>(ms) : std::nullopt;
  }
  if (value.is_number_integer()) {
    const auto ms = value.get<std::int64_t>();
    return ms >= kEarliestUtcMs && ms <= kLatestUtcMs ? std::optional<std::int64_t>(ms) : std::nullopt;
  }
  const double ms = value.get<double>();  // finite: the parser refuses what overflows
  if (!(ms >= static_cast<double>(kEarliestUtcMs) && ms < static_cast<double>(kLatestUtcMs) + 1)) return std::nullopt;
  return static_cast<std::int64_t>(std::floor(ms));
}

CatalogueEvent readFeature(const Json& feature) {
  CatalogueEvent event;
  if (!feature.is_object()) {
    event.fail("地物 (Feature) の形ではありません");
    return event;
  }
  static const Json kNoProperties = Json::object();
  const Json* properties = member(feature, "properties");
  if (properties && !properties->is_object()) {
    event.fail("properties が読めません");
    return event;
  }
  if (!properties) properties = &kNoProperties;

  const Json* type = member(*properties, "type");
  if (type && !(type->is_string() && isEarthquakeType(*type->get_ptr<const std::string*>()))) {
    event.kind = CatalogueEvent::Kind::OtherType;
    return event;
  }
  const Json* magnitude = member(*properties, "mag");
  if (!magnitude) {
    event.kind = CatalogueEvent::Kind::WithoutMagnitude;
    return event;
  }
  if (!magnitude->is_number()) {
    event.fail(QuakeField::Magnitude, FieldFault::Unreadable);
    return event;
  }
  Quake& quake = event.quake;
  quake.magnitude = magnitude->get<double>();

  const Json* time = member(*properties, "time");
  if (!time || !time->is_number()) {
    event.fail(QuakeField::Time, time ? FieldFault::Unreadable : FieldFault::Missing);
    return event;
  }
  const auto ms = milliseconds(*time);
  if (!ms) {
    event.fail(QuakeField::Time, FieldFault::OutOfRange);
    return event;
  }
  quake.utcMs = *ms;

  const Json* geometry = member(feature, "geometry");
  const Json* coordinates = geometry && geometry->is_object() ? member(*geometry, "coordinates") : nullptr;
  if (!coordinates) {
    event.fail(QuakeField::Coordinates, geometry ? FieldFault::Unreadable : FieldFault::Missing);
    return event;
  }
  if (!coordinates->is_array() || coordinates->size() < 2 || !(*coordinates)[0].is_number() ||
      !(*coordinates)[1].is_number()) {
    event.fail(QuakeField::Coordinates, FieldFault::Unreadable);
    return event;
  }
  event.setPosition((*coordinates)[1].get<double>(), (*coordinates)[0].get<double>());
  if (event.kind != CatalogueEvent::Kind::Quake) return event;
  if (coordinates->size() > 2 && !(*coordinates)[2].is_null()) {
    if (!(*coordinates)[2].is_number()) {
      event.fail(QuakeField::Depth, FieldFault::Unreadable);
      return event;
    }
    quake.depthKm = (*coordinates)[2].get<double>();
  }

  if (const Json* id = member(feature, "id")) {
    if (id->is_string()) {
      quake.id = *id->get_ptr<const std::string*>();
    } else if (id->is_number()) {
      quake.id = id->dump();
    } else {
      event.fail(QuakeField::Id, FieldFault::Unreadable);
    }
  }
  return event;
}

// Reads the features one at a time as the parser meets them, keeping of each only what
// a quake needs (its id, properties and geometry; of those mag, time, type and
// coordinates; at most three elements of an array), so that memory stays small whatever
// the text: a large export or a million empty features, deep nesting or a long array.
// Of the collection itself it keeps its type and whether it has features. Notes where a
// text that is not JSON goes wrong.
class FeatureStream : public nlohmann::json_sax<Json> {
 public:
  explicit FeatureStream(Catalogue& catalogue) : catalogue_(catalogue) {}

  Json root;
  std::size_t errorAt = 0;  // from 1; 0 while there is no error

  bool null() override { return value(nullptr); }
  bool boolean(bool b) override { return value(b); }
  bool number_integer(number_integer_t n) override { return value(n); }
  bool number_unsigned(number_unsigned_t n) override { return value(n); }
  bool number_float(number_float_t n, const string_t&) override { return value(n); }
  bool string(string_t& s) override { return value(std::move(s)); }
  bool binary(binary_t&) override { return value(nullptr); }  // not in JSON text
  bool start_object(std::size_t) override { return open(Json::object()); }
  bool start_array(std::size_t) override { return open(Json::array()); }
  bool key(string_t& k) override {
    key_ = std::move(k);
    return true;
  }
  bool end_object() override { return close(); }
  bool end_array() override { return close(); }
  bool parse_error(std::size_t at, const std::string&, const Json::exception&) override {
    errorAt = at;
    return false;
  }

 private:
  // The members kept at a depth (1: the collection's, 3: a feature's, 4: those of its
  // properties and geometry).
  static bool needed(std::size_t depth, const std::string& key) {
    switch (depth) {
      case 1: return key == "type" || key == "features";
      case 3: return key == "id" || key == "properties" || key == "geometry";
      case 4: return key == "mag" || key == "time" || key == "type" || key == "coordinates";
      default: return false;
    }
  }

  // Where the next value goes; nullptr to pass it over. A container being filled is not
  // moved while it is open: only its last member or element is ever added to.
  Json* slot() {
    if (skipped_ > 0) return nullptr;
    if (open_.empty()) return &root;
    Json* parent = open_.back();
    if (parent == features_) {
      feature_ = Json();
      return &feature_;
    }
    if (open_.size() > 5) return nullptr;  // deeper than the coordinates' numbers
    if (parent->is_array()) return parent->size() < 3 ? &parent->emplace_back() : nullptr;
    return needed(open_.size(), key_) ? &(*parent)[key_] : nullptr;
  }

  template <typename Value>
  bool value(Value&& v) {
    if (Json* at = slot()) {
      *at = std::forward<Value>(v);
      if (at == &feature_) finishFeature();
    }
    return true;
  }

  bool open(Json empty) {
    Json* at = slot();
    if (!at) {
      ++skipped_;
      return true;
    }
    if (open_.size() == 1 && key_ == "features" && empty.is_array()) features_ = at;
    *at = std::move(empty);
    open_.push_back(at);
    return true;
  }

  bool close() {
    if (skipped_ > 0) {
      --skipped_;
      return true;
    }
    const Json* closed = open_.back();
    open_.pop_back();
    if (closed == &feature_) finishFeature();
    return true;
  }

  void finishFeature() { tally(catalogue_, readFeature(feature_), std::to_string(++features_read_) + "番目の地物"); }

  Catalogue& catalogue_;
  std::vector<Json*> open_;  // the containers being kept, innermost last
  std::size_t skipped_ = 0;  // containers open inside one passed over
  std::string key_;
  Json* features_ = nullptr;  // the collection's features, which stays empty
  Json feature_;
  int features_read_ = 0;
};

}  // namespace

CatalogueReading readUsgsGeoJson(std::string_view text) {
  Catalogue catalogue;
  catalogue.format = CatalogueFormat::UsgsGeoJson;
  FeatureStream stream(catalogue);
  if (!Json::sax_parse(text.begin(), text.end(), &stream)) {
    return {std::nullopt, "GeoJSON の書き方に誤りがあるため読み込めません (" +
                              std::to_string(lineAt(text, stream.errorAt)) + "行目)。"};
  }
  const Json* type = member(stream.root, "type");
  const Json* features = member(stream.root, "features");
  if (!features || !features->is_array() || (type && *type != "FeatureCollection")) {
    return {std::nullopt, "GeoJSON に地物の一覧 (FeatureCollection の features) がないため、地震カタログとして読めません。"};
  }
  return {std::move(catalogue), {}};
}

}  // namespace eq
