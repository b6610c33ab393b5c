// Small vector arithmetic on figure points for the outline and toolpath
// code: the offset works with unit vectors and cross products instead of
// angles, which keeps it exact on axis-parallel edges and cheap on long
// outlines.
#pragma once
#include "geometry/records.h"

#include <cmath>
#include <span>

namespace trazvik::prepare {

inline trealpoint operator+(trealpoint a, trealpoint b) { return {a.x + b.x, a.y + b.y}; }
inline trealpoint operator-(trealpoint a, trealpoint b) { return {a.x - b.x, a.y - b.y}; }
inline trealpoint operator*(trealpoint a, double k) { return {a.x * k, a.y * k}; }
inline double dot(trealpoint a, trealpoint b) { return a.x * b.x + a.y * b.y; }
inline double cross(trealpoint a, trealpoint b) { return a.x * b.y - a.y * b.x; }
inline double length(trealpoint a) { return std::sqrt(a.x * a.x + a.y * a.y); }
inline bool isFinite(trealpoint a) { return std::isfinite(a.x) && std::isfinite(a.y); }

// Twice the signed area of the closed polygon through the points (the
// closing edge from the last point to the first is implied): positive when
// the points turn counter-clockwise.
inline double doubleSignedArea(std::span<const trealpoint> pts) {
  if (pts.size() < 3) return 0;
  double sum = 0;
  const trealpoint origin = pts[0];  // keeps the products small far from (0, 0)
  for (std::size_t i = 1; i + 1 < pts.size(); ++i) sum += cross(pts[i] - origin, pts[i + 1] - origin);
  return sum;
}

inline int signOf(double v) { return (v > 0) - (v < 0); }

// Where two closed segments a->b and c->d meet: t along the first and u
// along the second, both in [0, 1]. Collinear overlapping segments meet at
// the first point of the overlap seen from a. False when they do not meet
// or either segment is a single point.
bool segmentsMeet(trealpoint a, trealpoint b, trealpoint c, trealpoint d, double& t, double& u);

// Length of the polyline through the points.
double polylineLength(std::span<const trealpoint> pts);

}  // namespace trazvik::prepare
