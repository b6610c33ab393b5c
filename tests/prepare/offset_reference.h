// Independent measures for checking outlines in the tests: distances of
// points to a polygon, self-crossings, and Clipper's round-join offset and
// symmetric difference of the same polygons.
#pragma once
#include "geometry/records.h"

#include <vector>

namespace trazvik::testing {

// Shortest distance from pt to the closed polygon's edges (the closing edge
// from the last point to the first included).
double distanceToPolygon(trealpoint pt, const std::vector<trealpoint>& poly);

// The index of the polygon corner nearest to pt, and the turn of the polygon
// there in radians (0 for a straight run).
double turnAtNearestCorner(trealpoint pt, const std::vector<trealpoint>& poly);

// True when two edges of the closed polyline that are not neighbours share a
// point.
bool crossesItself(const std::vector<trealpoint>& ring);

// Twice the signed area, positive counter-clockwise.
double doubleArea(const std::vector<trealpoint>& ring);

// Clipper's offset of the closed polygon by delta (positive grows it) with
// round joins at 128 steps per turn. Every resulting path, closed.
std::vector<std::vector<trealpoint>> clipperOffset(const std::vector<trealpoint>& poly, double delta);

// Area of the symmetric difference of two regions (non-zero fill).
double symmetricDifferenceArea(const std::vector<std::vector<trealpoint>>& a,
                               const std::vector<std::vector<trealpoint>>& b);

}  // namespace trazvik::testing
