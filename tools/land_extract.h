#pragma once
// Reader of the land outline extract (tools/data/land_east_asia.txt):
//   '#' comment lines, then blocks of "ring N" followed by N lines "longitude latitude" in degrees.

#include "map/projection.h"

#include <istream>
#include <string>
#include <vector>

namespace eq {

using LandRing = std::vector<GeoPoint>;

struct LandExtract {
  std::vector<LandRing> rings;
  std::string error;  // empty when the whole input was read
};

LandExtract readLandExtract(std::istream& in);
LandExtract readLandExtractFile(const std::string& path);

}  // namespace eq
