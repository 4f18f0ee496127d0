#pragma once
// The commands of the sheet's context menu beyond the classic window: crossing
// marks on and off, true-distance circles on and off, the crossings as a table,
// and saving the sheet as a picture or as map data.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace eq {

class Session;

// Crossing marks, a small blue ring on each crossing on the sheet. Switching them on
// adds them to the sheet as it is (the last Draw's crossings); switching them off
// takes them away again; every later Draw draws them while they are on.
void setCrossingMarks(Session& session, bool on);

// True-distance circles for the next Draw.
void setGeodesicCircles(Session& session, bool on);

// The last Draw's crossings, best supported first, one line each: both rows'
// numbers and names, latitude and longitude (4 decimals), support, on the sheet or not.
struct CrossingLine {
  QStringList cells;
};
QStringList crossingListHeader();
std::vector<CrossingLine> crossingList(const Session& session);
// The list as tab-separated text with its header, to the clipboard.
void copyCrossingList(Session& session);

// The file the user chooses to write, or nothing after a cancel. The dialog opens in
// `folder`, which then remembers the chosen file's.
std::optional<QString> askSavePath(Session& session, const QString& title, const QString& filter, QString& folder);

// The sheet as PNG, PDF or SVG, and the last Draw as GeoJSON or KML, to a file the
// user chooses; a failure is a message naming the path and nothing half-written.
void saveSheetImage(Session& session);
void saveMapData(Session& session);

}  // namespace eq
