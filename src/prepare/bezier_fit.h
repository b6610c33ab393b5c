// Fitting a chain of cubic Bezier segments to a polyline (the tool-radius
// outline), for controllers that cut Bezier records: segments end at sharp
// corners, at chords of very different lengths, and where a longer segment
// would leave a point more than the tolerance away.
#pragma once
#include "geometry/records.h"

#include <cstddef>
#include <span>
#include <vector>

namespace trazvik::prepare {

struct BezierLimits {
  double tolerance = 5;         // largest distance of a point from its segment, file units
  double innerTolerance = 0.5;  // the refinement stops once every point is this close
  double smoothCosine = 0.96;   // a joint whose turning cosine exceeds this is smooth
};

// The point of a segment at parameter t (0 to 1).
trpoint3d bezierPoint(const tBezier& b, double t);

// The points strictly inside the segment where X, Y or Z turns back: with
// A and D they give the exact box of the curve, which can reach beyond its
// end points.
std::vector<trpoint3d> bezierTurningPoints(const tBezier& b);

// Turning cosine at point i of the polyline: the cosine of the angle
// between the chords into and out of it; -2 where there is no such joint
// (the ends of an open polyline). Closed polylines repeat their first point.
double turningCosine(std::span<const trealpoint> pts, std::size_t i, bool closed);

struct SegmentFit {
  tBezier segment;
  double error = 0;  // the largest distance of a point from the curve
};

// One cubic from pts[first] to pts[last] with the given unit tangents at
// its ends (in the direction of travel): two points give the straight line
// with B and C at a third and two thirds; more points a least-squares fit of
// the two handle lengths with the points parametrised by chord length and
// refined by Newton steps. Points that all lie within the inner tolerance of
// the chord give the straight line too.
SegmentFit PrzyblizSegment(std::span<const trealpoint> pts, std::size_t first, std::size_t last,
                           trealpoint tangentStart, trealpoint tangentEnd, const BezierLimits& limits);

// The fitted chain of a polyline, with the point range of each segment.
struct FittedChain {
  std::vector<trealpoint> points;  // the polyline without repeated points
  std::vector<tBezier> segments;
  std::vector<std::size_t> firstPoint;  // per segment; it ends at the next one's first point
};

// Fits the chain (closed: the polyline is a loop; the last segment joins the
// first). A segment grows over smooth joints while its fit stays within the
// tolerance and is marked smooth (gladki) where it ends at a smooth joint.
FittedChain PrzyblizFigure(std::span<const trealpoint> polyline, bool closed, const BezierLimits& limits);

// Largest distance of the points of segment i from its curve.
double segmentError(const FittedChain& chain, std::size_t i);
// Largest distance of the chain's points from their segments.
double chainError(const FittedChain& chain);

}  // namespace trazvik::prepare
