#include "geometry/segment_distance.h"

#include "geometry/angles.h"
#include "geometry/crossing.h"
#include "geometry/lines.h"
#include "geometry/points.h"

#include <algorithm>

namespace trazvik {

namespace {

// The line through p perpendicular to a non-degenerate line.
tLineEq perpendicularThrough(const trealpoint& p, const tLineEq& line) {
  tLineEq perp;
  if (line.vertical) {
    perp.slope = 0;
    perp.intercept = p.y;
  } else if (line.slope == 0) {
    perp.vertical = true;
    perp.slope = kUnset;
    perp.intercept = p.x;
  } else {
    perp.slope = -1 / line.slope;
    perp.intercept = p.y - perp.slope * p.x;
  }
  return perp;
}

bool inRange(double v, double a, double b) { return v >= std::min(a, b) && v <= std::max(a, b); }

}  // namespace

double pointSegmentDistance(const trealpoint& p, const tSegment& seg, double tol, double& angle, int& endCode) {
  const tLineEq line = segmentLine(seg);
  if (line.degenerate) return dist(p, seg.start);

  trealpoint foot;
  linesMeet(line, perpendicularThrough(p, line), seg, tSegment{p, p}, foot);
  if (inRange(foot.x, seg.start.x, seg.end.x) && inRange(foot.y, seg.start.y, seg.end.y)) {
    endCode = kNearInside;
    angle = dirAngle(p, foot);
    return dist(p, foot);
  }
  const bool startIsNearer = dist(p, seg.end) > dist(p, seg.start);
  const trealpoint& nearest = startIsNearer ? seg.start : seg.end;
  endCode = startIsNearer ? kNearStart : kNearEnd;
  angle = dirAngle(p, nearest);
  if (dist(foot, nearest) - tol > 1) endCode = kNearFarEnd;
  return dist(p, nearest);
}

}  // namespace trazvik
