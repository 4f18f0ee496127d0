#pragma once
// The hindcast as a report: JSON (the summary, the Molchan points and every quake's
// numbers), CSV (one row per quake) and a picture (the Molchan diagram beside the
// distribution of the quakes' distances to the nearest circle line against the null
// model's), drawn as a sheet's plain items so that the sheet's own writers paint it.

#include "draw/sheet.h"
#include "quakes/hindcast.h"

#include <string>

namespace eq {

std::string hindcastJson(const Hindcast& report);

// Header "id,date,lat,lon,mag,nearestCircleKm,nearestCrossingKm,support"; an empty
// field where there is no circle or no crossing; ids quoted as RFC 4180 quotes them.
std::string hindcastCsv(const Hindcast& report);

// The picture on the sheet's 18000 x 12800 map units.
Sheet hindcastPlot(const Hindcast& report);

// The summary in a line of Japanese: "地震 9件 (M6.0以上)、支持数2以上 22.2%、…、p = 0.41".
std::string hindcastSummary(const Hindcast& report);

}  // namespace eq
