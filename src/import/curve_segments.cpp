#include "import/curve_segments.h"

#include "geometry/numeric.h"

#include <algorithm>

namespace trazvik::import {

double dxfSegmentLength(double c) { return clampRange(c / 192, 5, 0.1); }

int boundedSegments(double n, int minimum) {
  if (!(n <= kMaxCurveSegments)) return kMaxCurveSegments;  // also NaN
  if (n < minimum) return minimum;
  return static_cast<int>(n);
}

int circleSegments(double r) {
  const double c = 2 * M_PI * r;
  const double l = dxfSegmentLength(c);
  const double n = c / l + 0.5;
  return boundedSegments(n <= kMaxCurveSegments ? roundEven(n) : n, 16);
}

int arcSegments(double r, double sweep) {
  const double l = dxfSegmentLength(2 * M_PI * r);
  const double n = r * sweep / l + 0.5;
  if (!(std::fabs(n) <= kMaxCurveSegments)) return kMaxCurveSegments;
  return boundedSegments(std::fabs(roundEven(n)), 0);
}

int ellipseSegments(const tEllipse& e) {
  const double a = std::hypot(e.major.x, e.major.y);
  double end = e.end;
  if (end < e.start) end += 2 * M_PI;
  const double c = a * (end - e.start);
  const double n = c / dxfSegmentLength(c) + 0.5;
  return boundedSegments(n <= kMaxCurveSegments ? roundEven(n) : n, 16);
}

bool bulgeArc(const trealpoint& p1, const trealpoint& p2, double bulge, tBulgeArc& arc) {
  const double dx = p2.x - p1.x, dy = p2.y - p1.y;
  const double chord = std::hypot(dx, dy);
  if (bulge == 0 || !(chord > 0) || !std::isfinite(bulge)) return false;
  const double included = 4 * std::atan(bulge);
  const double half = std::fabs(included) / 2;
  arc.radius = chord / 2 / std::sin(half);
  // The centre lies left of the chord for a counterclockwise arc, right for
  // a clockwise one, turned (pi - |included|) / 2 from the chord.
  const double chordAngle = std::atan2(dy, dx);
  const double turn = (M_PI - std::fabs(included)) / 2;
  const double toCentre = bulge > 0 ? chordAngle + turn : chordAngle - turn;
  arc.centre = {p1.x + arc.radius * std::cos(toCentre), p1.y + arc.radius * std::sin(toCentre)};
  arc.start = std::atan2(p1.y - arc.centre.y, p1.x - arc.centre.x);
  arc.sweep = included;
  return true;
}

}  // namespace trazvik::import
