#include "draw/sheet_json.h"

#include "map/json_text.h"

namespace eq {
namespace {

// Each item's members: its type, its coordinates in map units, its colours.
struct ItemWriter {
  JsonWriter& json;
  void operator()(const SheetPoint& item) {
    json.key("type").string("point").key("x").number(item.x).key("y").number(item.y);
    json.key("color").string(colorText(item.color));
  }
  void operator()(const SheetLine& item) {
    json.key("type").string("line").key("x1").number(item.x1).key("y1").number(item.y1);
    json.key("x2").number(item.x2).key("y2").number(item.y2).key("color").string(colorText(item.color));
  }
  void operator()(const SheetCircle& item) {
    json.key("type").string("circle").key("x").number(item.x).key("y").number(item.y).key("r").number(item.r);
    json.key("color").string(colorText(item.color)).key("fill");
    if (item.fill) {
      json.string(colorText(*item.fill));
    } else {
      json.null();
    }
  }
  void operator()(const SheetPolyline& item) {
    json.key("type").string("polyline").key("points").beginArray();
    for (const MapPoint& point : item.points) json.beginArray().number(point.x).number(point.y).endArray();
    json.endArray().key("color").string(colorText(item.color));
  }
  void operator()(const SheetText& item) {
    json.key("type").string("text").key("x").number(item.x).key("y").number(item.y);
    json.key("color").string(colorText(item.color)).key("text").string(item.text);
  }
};

}  // namespace

std::string colorText(Rgb color) {
  static const char hex[] = "0123456789abcdef";
  std::string text = "#";
  for (const unsigned char part : {color.red, color.green, color.blue}) {
    text += hex[part >> 4];
    text += hex[part & 15];
  }
  return text;
}

std::string sheetJson(const DrawResult& drawing) {
  const Sheet& sheet = drawing.sheet;
  std::string out;
  out.reserve(sheet.items.size() * 64 + 1024);
  JsonWriter json(out);
  json.beginObject().key("width").number(kSheetWidth).key("height").number(kSheetHeight).key("background");
  if (sheet.background.empty()) {
    json.null();
  } else {
    json.string(sheet.background);
  }
  json.key("items").beginArray();
  ItemWriter writer{json};
  for (const SheetItem& item : sheet.items) {
    json.beginObject();
    std::visit(writer, item);
    json.endObject();
  }
  json.endArray().key("rows").beginArray();
  for (int row = 1; row <= kRowCount; ++row) {
    const RowOutcome& outcome = drawing.rows[row];
    json.beginObject().key("row").number(row).key("state").string(rowStateName(outcome.state));
    json.key("radiusKm").number(outcome.radiusKm).key("circle").boolean(outcome.circleDrawn).endObject();
  }
  json.endArray().key("countLabel").string(drawing.countLabel);
  json.key("warningVisible").boolean(drawing.exclusionWarning).key("circleMode").string(circleModeName(drawing.circleMode));
  json.key("crossings").beginArray();
  for (const Crossing& c : drawing.crossings) {
    json.beginObject().key("rows").beginArray().number(c.rowA).number(c.rowB).endArray();
    json.key("x").number(c.x).key("y").number(c.y).key("lat").number(c.latitude).key("lon").number(c.longitude);
    json.key("onSheet").boolean(c.onSheet).key("support").number(c.support).endObject();
  }
  json.endArray();
  if (drawing.quakesOverlaid) {
    json.key("quakes").beginArray();
    for (const SheetQuake& q : drawing.quakes) {
      json.beginObject().key("id").string(q.quake.id).key("date").string(isoDateText(q.quake.japanDate));
      json.key("lat").number(q.quake.latitude).key("lon").number(q.quake.longitude).key("mag").number(q.quake.magnitude);
      json.key("x").number(q.at.x).key("y").number(q.at.y).key("onSheet").boolean(q.onSheet);
      json.key("nearestCircleKm").number(q.numbers.nearestCircleKm);
      json.key("nearestCrossingKm").number(q.numbers.nearestCrossingKm);
      json.key("support").number(q.numbers.support).endObject();
    }
    json.endArray();
  }
  json.endObject().endLine();
  return out;
}

}  // namespace eq
