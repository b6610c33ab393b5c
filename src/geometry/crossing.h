// Crossing of segments and meeting points of lines.
#pragma once
#include "geometry/records.h"

namespace trazvik {

// True when the two closed segments share a point. Collinear overlapping
// segments cross at the middle of their overlap.
bool segmentsCross(const tSegment& s1, const tSegment& s2);

// As segmentsCross, and stores the common point in out: (0, 0) when the
// answer was known before a point was found. A point with a coordinate of
// magnitude 21474836 or more is scaled down by tens until it fits.
bool segmentsCrossPoint(const tSegment& s1, const tSegment& s2, trealpoint& out);

// Crossing point of two segments whose lines have different slopes; false
// with out = (0, 0) for parallel, collinear or degenerate segments.
bool segmentsCrossStrict(const tSegment& s1, const tSegment& s2, trealpoint& out);

// As segmentsCrossStrict, but only a crossing inside both segments counts:
// the point must lie farther than `tol` from each of the four ends. Segments
// that meet at an end, or where one ends on the other (an L or a T), do not
// cross.
bool segmentsCrossInside(const tSegment& s1, const tSegment& s2, double tol, trealpoint& out);

// Meeting point of two lines (s1 and s2 are the segments they came from,
// used for parallel and coincident lines). Leaves out unchanged when either
// line is degenerate.
void linesMeet(const tLineEq& l1, const tLineEq& l2, const tSegment& s1, const tSegment& s2, trealpoint& out);

}  // namespace trazvik
