#include "land_extract.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace eq {
namespace {

LandExtract failure(int lineNo, const std::string& what) {
  LandExtract result;
  result.error = "line " + std::to_string(lineNo) + ": " + what;
  return result;
}

}  // namespace

LandExtract readLandExtract(std::istream& in) {
  LandExtract result;
  std::string line;
  int lineNo = 0;
  std::size_t expected = 0;  // vertices still to read for the current ring
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    fields.imbue(std::locale::classic());
    if (expected == 0) {
      std::string word;
      long long count = 0;
      if (!(fields >> word >> count) || word != "ring" || count < 3 || !(fields >> std::ws).eof())
        return failure(lineNo, "expected \"ring N\" with N >= 3");
      expected = static_cast<std::size_t>(count);
      result.rings.emplace_back();
      result.rings.back().reserve(expected);
      continue;
    }
    GeoPoint p;
    if (!(fields >> p.longitude >> p.latitude) || !(fields >> std::ws).eof() || !std::isfinite(p.longitude) ||
        !std::isfinite(p.latitude) || std::fabs(p.latitude) > 90)
      return failure(lineNo, "expected \"longitude latitude\"");
    result.rings.back().push_back(p);
    --expected;
  }
  if (expected != 0) return failure(lineNo, "the last ring is cut short");
  if (result.rings.empty()) return failure(lineNo, "no ring");
  return result;
}

LandExtract readLandExtractFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) {
    LandExtract result;
    result.error = "cannot open " + path;
    return result;
  }
  return readLandExtract(in);
}

}  // namespace eq
