#pragma once
// The circles as polygons that map programs read as meant (RFC 7946, OGC simple
// features): positions within -180 ... 180 and -90 ... 90, exterior rings counter-
// clockwise, a polygon that crosses the antimeridian split there in two, and one that
// takes in a pole closed along the antimeridian and the pole's parallel.

#include "analysis/crossings.h"

#include <optional>
#include <vector>

namespace eq {

// A closed ring: its last point is its first.
using GeoRing = std::vector<GeoPoint>;

// A position on the globe: the longitude brought into -180 ... 180; nothing for a
// latitude beyond a pole or a value that is not a number.
std::optional<GeoPoint> onGlobe(double latitude, double longitude);

// A drawn circle as one polygon, or two where it crosses the antimeridian, each an
// exterior ring without holes. A true-distance circle is the area within its radius
// of the volcano. A circle as drawn is the sheet's circle where the projection has a
// meaning (see insideProjection): past a pole or the meridian opposite 135 E it is
// cut off there. Nothing when the circle has no area (radius 0) or cannot be written
// so: a true-distance circle that takes in both poles; a drawn one wholly outside the
// projection, or wrapped round a pole without taking it in; an outline that turns
// back across the antimeridian.
std::vector<GeoRing> circlePolygons(const CircleInput& circle, CircleMode mode, int points = 360);

}  // namespace eq
