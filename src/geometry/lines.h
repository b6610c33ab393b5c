// Lines through segments, in slope form and in general form.
#pragma once
#include "geometry/records.h"

namespace trazvik {

// Slope form of the segment's line: ends exactly equal -> degenerate;
// |x1 - x2| < 0.0001 -> vertical with intercept x1.
tLineEq segmentLine(const tSegment& seg);

// Swap the ends when start.x > end.x (orderByX) or start.y > end.y (orderByY).
tSegment orderByX(tSegment seg);
tSegment orderByY(tSegment seg);

// General form of the segment's line. A vertical line (|x1 - x2| < 1e-18)
// keeps its x in B.
tLineGen segmentLineGen(const tSegment& seg);

// Distance from p to the line; |p.x - x| for a vertical line.
double pointLineDistance(const trealpoint& p, const tLineGen& line);

// When p.x lies in the segment's x-range, out = (the line's value at p.x) -
// p.y and the result is true; false for vertical or degenerate segments.
// offsetAtX1 takes the range with the start and without the end, offsetAtX2
// without the start and with the end.
bool offsetAtX1(const tSegment& seg, const trealpoint& p, double& out);
bool offsetAtX2(const tSegment& seg, const trealpoint& p, double& out);

}  // namespace trazvik
