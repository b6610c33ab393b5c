// Distance from a point to a segment.
#pragma once
#include "geometry/records.h"

namespace trazvik {

// Where the nearest point of a segment lies (endCode of pointSegmentDistance).
inline constexpr int kNearInside = 0;  // the foot of the perpendicular
inline constexpr int kNearStart = 1;   // the start point
inline constexpr int kNearEnd = 2;     // the end point
inline constexpr int kNearFarEnd = 3;  // an end, with the foot more than tol + 1 beyond it

// Distance from p to the segment. angle becomes the direction from p to the
// nearest point and endCode tells which point that is. A segment whose ends
// are equal gives the distance to its start and leaves angle and endCode.
double pointSegmentDistance(const trealpoint& p, const tSegment& seg, double tol, double& angle, int& endCode);

}  // namespace trazvik
