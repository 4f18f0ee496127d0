#pragma once
// Distances on the WGS84 ellipsoid, all that the true-distance circles ask of geodesy:
// the point at a distance and azimuth from another, and the distance and azimuths
// between two points, with the angle arithmetic that goes with them. On the desktop
// GeographicLib does the work (geodesic_geographiclib.cpp); a build without it links
// another implementation of these few functions.

#include "map/projection.h"

namespace eq::wgs84 {

// The point `metres` from (latitude, longitude) along `azimuth` (degrees clockwise
// from north); its longitude within -180 ... 180.
GeoPoint direct(double latitude, double longitude, double azimuth, double metres);

// The distance between two points in metres.
double distance(double latitude1, double longitude1, double latitude2, double longitude2);

// The distance, and the azimuths of the shortest line at both of its ends.
struct Inverse {
  double metres = 0;
  double azimuth1 = 0;
  double azimuth2 = 0;
};
Inverse inverse(double latitude1, double longitude1, double latitude2, double longitude2);

// y - x in degrees, within -180 ... 180, computed exactly.
double angleDifference(double x, double y);
// x in degrees within -180 ... 180.
double normalizedAngle(double x);

}  // namespace eq::wgs84
