#pragma once
// The Draw as JSON, for scripts and tests: width, height, background (file name or
// null), the items in drawing order with coordinates in map units, then the rows
// ({"row","state","radiusKm","circle"}), countLabel, warningVisible, circleMode and
// the crossings ({"rows":[i,j],"x","y","lat","lon","onSheet","support"}). Numbers are
// the stored values in their shortest round-trip form.

#include "draw/draw.h"

#include <string>

namespace eq {

std::string sheetJson(const DrawResult& drawing);

// "#rrggbb"
std::string colorText(Rgb color);

}  // namespace eq
