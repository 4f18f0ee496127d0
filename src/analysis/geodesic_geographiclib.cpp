#include "analysis/geodesic.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/Math.hpp>

namespace eq::wgs84 {
namespace {

const GeographicLib::Geodesic& ellipsoid() { return GeographicLib::Geodesic::WGS84(); }

}  // namespace

GeoPoint direct(double latitude, double longitude, double azimuth, double metres) {
  GeoPoint p;
  ellipsoid().Direct(latitude, longitude, azimuth, metres, p.latitude, p.longitude);
  return p;
}

double distance(double latitude1, double longitude1, double latitude2, double longitude2) {
  double metres = 0;
  ellipsoid().Inverse(latitude1, longitude1, latitude2, longitude2, metres);
  return metres;
}

Inverse inverse(double latitude1, double longitude1, double latitude2, double longitude2) {
  Inverse result;
  ellipsoid().Inverse(latitude1, longitude1, latitude2, longitude2, result.metres, result.azimuth1, result.azimuth2);
  return result;
}

double angleDifference(double x, double y) { return GeographicLib::Math::AngDiff(x, y); }

double normalizedAngle(double x) { return GeographicLib::Math::AngNormalize(x); }

}  // namespace eq::wgs84
