// GeoJSON read back with Qt's JSON parser, KML with its XML reader.

#include "analysis/map_export.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>
#include <QtTest>

using namespace eq;

Q_DECLARE_METATYPE(eq::CircleMode)

namespace {

const std::string kAwkwardName = "浅間\"山\\\n\x01" "end";

// Two crossing circles (the 3-4-5 layout: A 54N 135E 888.8 km, B 44N 135E 666.6 km)
// and a drawn row the law gave no radius.
MapExport sample(CircleMode mode) {
  return mapExport("2024年1月1日",
                   {{1, kAwkwardName, "1783/8/5", 54, 135, 888.8, "drawn"},
                    {2, "<B & 'C'>", "1990/11/17", 44, 135, 666.6, "drawn"},
                    {3, "", "2000/1/1", 40.1f, 140.2f, std::nullopt, "drawn"}},
                   mode);
}

double signedArea(const QJsonArray& ring) {
  double sum = 0;
  for (int i = 0; i + 1 < ring.size(); ++i) {
    const QJsonArray p = ring[i].toArray();
    const QJsonArray q = ring[i + 1].toArray();
    sum += p[0].toDouble() * q[1].toDouble() - q[0].toDouble() * p[1].toDouble();
  }
  return sum;
}

}  // namespace

class TestMapExport : public QObject {
  Q_OBJECT
 private slots:
  void geoJson_data() {
    QTest::addColumn<CircleMode>("mode");
    QTest::newRow("classic") << CircleMode::Classic;
    QTest::newRow("geodesic") << CircleMode::Geodesic;
  }

  void geoJson() {
    QFETCH(CircleMode, mode);
    const std::string text = eq::geoJson(sample(mode));
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(root["type"].toString(), "FeatureCollection");
    QCOMPARE(root["properties"]["predictionDate"].toString(), QString::fromUtf8("2024年1月1日"));
    QCOMPARE(root["properties"]["circleMode"].toString(), circleModeName(mode));

    const QJsonArray features = root["features"].toArray();
    QStringList kinds;
    for (const QJsonValue f : features) kinds << f["geometry"]["type"].toString() + " " + f["properties"]["kind"].toString();
    QCOMPARE(kinds, QStringList({"Point volcano", "Point volcano", "Point volcano", "Polygon circle",
                                 "Polygon circle", "Point crossing", "Point crossing"}));

    const QJsonObject first = features[0].toObject();
    QCOMPARE(first["geometry"]["coordinates"].toArray(), QJsonArray({135, 54}));  // longitude first
    QCOMPARE(first["properties"]["name"].toString(), QString::fromStdString(kAwkwardName));
    QCOMPARE(first["properties"]["radiusKm"].toDouble(), 888.8);
    QCOMPARE(first["properties"]["eruptionDate"].toString(), "1783/8/5");
    QCOMPARE(features[2]["geometry"]["coordinates"].toArray(), QJsonArray({140.2, 40.1}));  // as typed
    QVERIFY(features[2]["properties"]["radiusKm"].isNull());

    for (int i : {3, 4}) {
      const QJsonArray rings = features[i]["geometry"]["coordinates"].toArray();
      QCOMPARE(rings.size(), 1);
      const QJsonArray ring = rings[0].toArray();
      QVERIFY(ring.size() >= 361);
      QCOMPARE(ring.first(), ring.last());
      QVERIFY(signedArea(ring) > 0);
      QCOMPARE(features[i]["properties"]["row"].toInt(), i - 2);
    }

    const QJsonObject crossing = features[5].toObject();
    QCOMPARE(crossing["properties"]["rows"].toArray(), QJsonArray({1, 2}));
    QCOMPARE(crossing["properties"]["support"].toInt(), 2);
    // Both crossings lie on 135E's west side first, between the two volcanoes' parallels.
    const QJsonArray at = crossing["geometry"]["coordinates"].toArray();
    QVERIFY(at[0].toDouble() < 135 && at[1].toDouble() > 44 && at[1].toDouble() < 54);
  }

  void kml() {
    const std::string text = eq::kml(sample(CircleMode::Classic));
    QXmlStreamReader xml(QByteArray::fromStdString(text));
    QStringList names;
    QList<QStringList> rings;
    QString documentName;
    QString rootNamespace;
    while (!xml.atEnd()) {
      if (xml.readNext() != QXmlStreamReader::StartElement) continue;
      if (rootNamespace.isEmpty()) rootNamespace = xml.namespaceUri().toString();
      if (xml.name() == QLatin1String("name")) {
        (documentName.isEmpty() ? documentName : names.emplaceBack()) = xml.readElementText();
      } else if (xml.name() == QLatin1String("LinearRing")) {
        xml.readNextStartElement();
        rings << xml.readElementText().split(' ');
      }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(rootNamespace, "http://www.opengis.net/kml/2.2");
    QCOMPARE(documentName, QString::fromUtf8("地震サークル"));
    // The control character cannot stand in XML and is dropped.
    QCOMPARE(names, QStringList({QString::fromUtf8("浅間\"山\\\nend"), "<B & 'C'>", QString::fromUtf8("行 3"),
                                 QString::fromUtf8("浅間\"山\\\nend"), "<B & 'C'>", QString::fromUtf8("交点 1-2"),
                                 QString::fromUtf8("交点 1-2")}));
    QCOMPARE(rings.size(), 2);
    for (const QStringList& ring : rings) {
      QVERIFY(ring.size() >= 361);
      QCOMPARE(ring.first(), ring.last());
      QCOMPARE(ring.first().split(',').size(), 2);
    }
  }
};

QTEST_APPLESS_MAIN(TestMapExport)
#include "tst_map_export.moc"
