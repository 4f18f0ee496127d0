// Earthquake catalogues: times and Japan dates worked out by hand, and small USGS CSV
// and GeoJSON texts with what each row or feature must become.

#include "quakes/catalogue.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

using namespace eq;

namespace {

std::string fileText(const std::string& path) {
  std::ifstream in(std::string(EQ_SOURCE_DIR) + "/" + path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Time {
  const char* text;
  std::optional<std::int64_t> utcMs;
  CalendarDate japan;
};

const Time kTimes[] = {
    {"2011-03-11T05:46:24.120Z", 1299822384120, {2011, 3, 11}},
    {"2011-03-11T14:46:24.12+09:00", 1299822384120, {2011, 3, 11}},
    // Japan's day begins at 15:00 UTC.
    {"2024-01-01T14:59:59.999Z", 1704121199999, {2024, 1, 1}},
    {"2024-01-01T15:00:00Z", 1704121200000, {2024, 1, 2}},
    {"2024-01-01 15:00:00z", 1704121200000, {2024, 1, 2}},
    // Cut, not rounded: the last instant of a day stays on it.
    {"2024-01-01T14:59:59.99999Z", 1704121199999, {2024, 1, 1}},
    {"1969-12-31T14:59:59.999Z", -32400001, {1969, 12, 31}},
    {"1969-12-31T15:00:00Z", -32400000, {1970, 1, 1}},
    {"2000-02-29T12:00:00Z", 951825600000, {2000, 2, 29}},
    {"0000-01-01T00:00:00Z", kEarliestUtcMs, {0, 1, 1}},
    {"9999-12-31T23:59:59.999Z", kLatestUtcMs, {10000, 1, 1}},
    {"0000-01-01T00:00:00+00:01", std::nullopt, {}},
    {"2023-02-29T00:00:00Z", std::nullopt, {}},
    {"2100-02-29T00:00:00Z", std::nullopt, {}},
    {"2011-04-31T00:00:00Z", std::nullopt, {}},
    {"2011-03-11T24:00:00Z", std::nullopt, {}},
    {"2011-03-11T05:46:60Z", std::nullopt, {}},
    {"2011-03-11T05:46:24", std::nullopt, {}},  // no offset: whose time?
    {"2011-03-11T05:46:24.Z", std::nullopt, {}},
    {"2011-03-11T05:46:24Z ", std::nullopt, {}},
    {"2011-3-11T05:46:24Z", std::nullopt, {}},
    {"2011-03-11T05:46:24+9:00", std::nullopt, {}},
    {"1299822384120", std::nullopt, {}},
};

TEST(UtcTime, TimesAndJapanDates) {
  for (const Time& t : kTimes) {
    const auto ms = parseUtcTime(t.text);
    EXPECT_EQ(ms, t.utcMs) << t.text;
    if (ms && t.utcMs) {
      EXPECT_EQ(japanDate(*ms), t.japan) << t.text;
    }
  }
}

// What a file becomes: refused (with this part of the message), or counted.
struct Reading {
  const char* what;
  std::string text;
  const char* refusal;  // nullptr: read
  int quakes, withoutMagnitude, otherType, unreadable;
  const char* firstMessage;  // of the unreadable ones; nullptr: none
};

const std::string kHead = "time,latitude,longitude,mag,type\n";
const std::string kRow = "2024-01-01T07:10:09.476Z,37.4874,137.2710,";  // then mag,type
const std::string kFeature = R"({"type":"Feature","id":"us6000m0xl","geometry":{"type":"Point","coordinates":[137.271,37.4874,10]},"properties":)";
std::string collection(const std::string& features) { return R"({"type":"FeatureCollection","features":[)" + features + "]}"; }

const Reading kReadings[] = {
    {"CSV, every kind of row", kHead + kRow + "7.5,earthquake\n" + kRow + ",earthquake\n" + kRow + "3.1,quarry blast\n" + kRow + ",explosion\n" + kRow + "4,Earthquake\n" + kRow + "4,\n" + kRow + "x,earthquake\n",
     nullptr, 3, 1, 2, 1, "8行目: マグニチュードが読めません"},
    {"CSV, columns found by name, no type column", "mag,depth,longitude,id,latitude,time\r\n6.9,10,137,a,37,2024-01-01T07:10:09Z\r\n", nullptr, 1, 0, 0, 0, nullptr},
    {"CSV, a byte-order mark, blank lines and no final line end", "\xEF\xBB\xBF\n" + kHead + "\n" + kRow + "7.5,earthquake", nullptr, 1, 0, 0, 0, nullptr},
    {"CSV, quoted commas, quotes and a line break, which counts as a line",
     "time,latitude,place,longitude,mag\n2024-01-01T07:10:09Z,37,\"Noto,\r\n\"\"Japan\"\", 2024\",137,7.5\n2024-01-01T07:10:09Z,,x,137,7\n",
     nullptr, 1, 0, 0, 1, "4行目: 緯度がありません"},
    {"CSV, a comma in an unquoted place", "time,latitude,longitude,mag,place\n" + kRow + "7.5,Noto, Japan\n", nullptr, 0, 0, 0, 1, "2行目: 列の数が見出しと違います (6列、見出しは5列)"},
    {"CSV, latitude out of range", kHead + "2024-01-01T07:10:09Z,91,137,7.5,\n", nullptr, 0, 0, 0, 1, "2行目: 緯度が範囲外です"},
    {"CSV, longitude unreadable", kHead + "2024-01-01T07:10:09Z,37,137E,7.5,\n", nullptr, 0, 0, 0, 1, "2行目: 経度が読めません"},
    {"CSV, time without offset", kHead + "2024-01-01T07:10:09,37,137,7.5,\n", nullptr, 0, 0, 0, 1, "2行目: 時刻が読めません"},
    {"CSV, depth unreadable", "time,latitude,longitude,mag,depth\n2024-01-01T07:10:09Z,37,137,7.5,deep\n", nullptr, 0, 0, 0, 1, "2行目: 深さが読めません"},
    {"CSV, an id that is not UTF-8", "time,latitude,longitude,mag,id\n2024-01-01T07:10:09Z,37,137,7.5,\x82\xA0\n", nullptr, 0, 0, 0, 1, "2行目: IDが読めません"},
    {"CSV, a quote never closed", kHead + kRow + "7.5,earthquake\n" + kRow + "7.5,\"earthquake\n\n", nullptr, 1, 0, 0, 1, "3行目: 引用符 (\") が閉じられないまま、ファイルが終わっています"},
    {"CSV, only the header", kHead, nullptr, 0, 0, 0, 0, nullptr},
    {"CSV, a header without mag", "time,latitude,longitude,depth\n", "1行目の見出しに「mag」の列がありません", 0, 0, 0, 0, nullptr},
    {"CSV, a column twice", "\n\ntime,latitude,longitude,mag,mag\n", "3行目の見出しに「mag」の列が二つあります", 0, 0, 0, 0, nullptr},
    {"an empty file", "", "USGS の地震カタログ (CSV または GeoJSON) として読める", 0, 0, 0, 0, nullptr},
    {"an eruption data file", "1,\"桜島\",1914,1,12,31.585,130.657\r\n", "USGS の地震カタログ (CSV または GeoJSON) として読める", 0, 0, 0, 0, nullptr},
    {"a JSON array", "[1, 2]", "USGS の地震カタログ (CSV または GeoJSON) として読める", 0, 0, 0, 0, nullptr},
    {"GeoJSON, every kind of feature",
     collection(kFeature + R"({"mag":7.5,"time":1704093009476,"type":"earthquake"}},)" + kFeature + R"({"mag":null,"time":1704093009476}},)" + kFeature +
                R"(null},)" + kFeature + R"({"mag":2,"time":1,"type":"explosion"}},)" + kFeature + R"({"mag":4,"time":1704093009476.5}},)" + kFeature + R"({"mag":"7.5","time":1}})"),
     nullptr, 2, 2, 1, 1, "6番目の地物: マグニチュードが読めません"},
    {"GeoJSON, missing geometry", collection(R"({"type":"Feature","properties":{"mag":7.5,"time":1}})"), nullptr, 0, 0, 0, 1, "1番目の地物: 震源の座標がありません"},
    {"GeoJSON, one coordinate", collection(R"({"type":"Feature","geometry":{"coordinates":[137]},"properties":{"mag":7.5,"time":1}})"), nullptr, 0, 0, 0, 1,
     "1番目の地物: 震源の座標が読めません"},
    {"GeoJSON, longitude out of range", collection(R"({"geometry":{"coordinates":[200,37]},"properties":{"mag":7.5,"time":1}})"), nullptr, 0, 0, 0, 1, "1番目の地物: 経度が範囲外です"},
    {"GeoJSON, time missing", collection(kFeature + R"({"mag":7.5}})"), nullptr, 0, 0, 0, 1, "1番目の地物: 時刻がありません"},
    {"GeoJSON, time as text", collection(kFeature + R"({"mag":7.5,"time":"2024-01-01T07:10:09Z"}})"), nullptr, 0, 0, 0, 1, "1番目の地物: 時刻が読めません"},
    {"GeoJSON, time beyond year 9999", collection(kFeature + R"({"mag":7.5,"time":1e300}})"), nullptr, 0, 0, 0, 1, "1番目の地物: 時刻が範囲外です"},
    {"GeoJSON, a feature that is not an object", collection("5"), nullptr, 0, 0, 0, 1, "1番目の地物: 地物 (Feature) の形ではありません"},
    {"GeoJSON, no features", collection(""), nullptr, 0, 0, 0, 0, nullptr},
    {"GeoJSON, a broken text", "{\"type\":\"FeatureCollection\",\n\"features\":[\n{\"type\":\"Feature\",}]}", "GeoJSON の書き方に誤りがあるため読み込めません (3行目)", 0, 0, 0, 0, nullptr},
    {"GeoJSON, a single feature", kFeature + R"({"mag":7.5,"time":1}})", "FeatureCollection の features", 0, 0, 0, 0, nullptr},
};

TEST(Catalogue, RowsAndFeatures) {
  for (const Reading& r : kReadings) {
    const CatalogueReading reading = readCatalogue(r.text);
    ASSERT_EQ(reading.catalogue.has_value(), r.refusal == nullptr) << r.what << ": " << reading.refusal;
    if (r.refusal) {
      EXPECT_NE(reading.refusal.find(r.refusal), std::string::npos) << r.what << ": " << reading.refusal;
      continue;
    }
    const Catalogue& c = *reading.catalogue;
    EXPECT_EQ(c.format, r.text.find("{") == 0 ? CatalogueFormat::UsgsGeoJson : CatalogueFormat::UsgsCsv) << r.what;
    EXPECT_EQ(c.quakes.size(), static_cast<std::size_t>(r.quakes)) << r.what;
    EXPECT_EQ(c.skippedWithoutMagnitude, r.withoutMagnitude) << r.what;
    EXPECT_EQ(c.skippedOtherType, r.otherType) << r.what;
    EXPECT_EQ(c.unreadable, r.unreadable) << r.what;
    EXPECT_EQ(c.records, r.quakes + r.withoutMagnitude + r.otherType + r.unreadable) << r.what;
    EXPECT_EQ(c.messages.empty() ? std::string() : c.messages.front(), r.firstMessage ? r.firstMessage : "") << r.what;
  }
}

TEST(Catalogue, TheSameQuakeFromEitherFormat) {
  for (const char* file : {"tests/data/quakes/tohoku.csv", "tests/data/quakes/tohoku.geojson"}) {
    const CatalogueReading reading = readCatalogue(fileText(file));
    ASSERT_TRUE(reading.catalogue) << file << ": " << reading.refusal;
    ASSERT_EQ(reading.catalogue->quakes.size(), 1u) << file;
    const Quake& q = reading.catalogue->quakes.front();
    EXPECT_EQ(q.id, "official20110311054624120_30") << file;
    EXPECT_EQ(q.utcMs, 1299822384120) << file;
    EXPECT_EQ(q.japanDate, (CalendarDate{2011, 3, 11})) << file;
    EXPECT_EQ(q.latitude, 38.297) << file;
    EXPECT_EQ(q.longitude, 142.373) << file;
    EXPECT_EQ(q.depthKm, 29.0) << file;
    EXPECT_EQ(q.magnitude, 9.1) << file;
  }
}

TEST(Catalogue, ManyBadRowsAreCountedAndTheFirstFewDescribed) {
  std::string text = kHead;
  for (int i = 0; i < 12; ++i) text += "2024-01-01T07:10:09Z,north,137,7.5,\n";
  const CatalogueReading reading = readCatalogue(text);
  ASSERT_TRUE(reading.catalogue);
  EXPECT_EQ(reading.catalogue->unreadable, 12);
  ASSERT_EQ(reading.catalogue->messages.size(), kMaxCatalogueMessages);
  EXPECT_EQ(reading.catalogue->messages.back(), "11行目: 緯度が読めません");
}

TEST(Catalogue, TooLargeIsRefused) {
  std::string text = kHead;
  text.resize(kMaxCatalogueBytes + 1, '\n');
  EXPECT_FALSE(readCatalogue(text).catalogue);
  text.pop_back();
  EXPECT_TRUE(readCatalogue(text).catalogue);
}

TEST(Catalogue, TheSampleReadsWhole) {
  const CatalogueReading reading = readCatalogue(fileText("examples/quakes-sample.csv"));
  ASSERT_TRUE(reading.catalogue) << reading.refusal;
  EXPECT_GE(reading.catalogue->quakes.size(), 5u);
  EXPECT_EQ(reading.catalogue->records, static_cast<int>(reading.catalogue->quakes.size()));
}

}  // namespace
