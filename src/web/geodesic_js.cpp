// Geodesy in the browser: analysis/geodesic.h done by GeographicLib's own JavaScript
// port (npm geographiclib-geodesic), which the page loads as the global `geodesic`
// before the core. The desktop links GeographicLib itself (geodesic_geographiclib.cpp).

#include "analysis/geodesic.h"

#include <emscripten/val.h>

namespace eq::wgs84 {
namespace {

using emscripten::val;

const val& library() {
  static const val geodesic = val::global("geodesic");
  return geodesic;
}

const val& ellipsoid() {
  static const val wgs84 = library()["Geodesic"]["WGS84"];
  return wgs84;
}

}  // namespace

GeoPoint direct(double latitude, double longitude, double azimuth, double metres) {
  const val r = ellipsoid().call<val>("Direct", latitude, longitude, azimuth, metres);
  return {r["lat2"].as<double>(), r["lon2"].as<double>()};
}

double distance(double latitude1, double longitude1, double latitude2, double longitude2) {
  return inverse(latitude1, longitude1, latitude2, longitude2).metres;
}

Inverse inverse(double latitude1, double longitude1, double latitude2, double longitude2) {
  const val r = ellipsoid().call<val>("Inverse", latitude1, longitude1, latitude2, longitude2);
  return {r["s12"].as<double>(), r["azi1"].as<double>(), r["azi2"].as<double>()};
}

double angleDifference(double x, double y) { return library()["Math"].call<val>("AngDiff", x, y)["d"].as<double>(); }

double normalizedAngle(double x) { return library()["Math"].call<double>("AngNormalize", x); }

}  // namespace eq::wgs84
