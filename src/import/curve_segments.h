// Cutting DXF curves (circles, arcs, ellipses, bulge arcs) into straight
// segments whose length follows the curve's size. Points come out in drawing
// units through a callback; the reader scales and stores them.
#pragma once
#include "geometry/records.h"

#include <cmath>

namespace trazvik::import {

// No single curve is cut into more segments than this, so absurd sizes
// (a radius of 1e300) cost bounded time and memory.
inline constexpr int kMaxCurveSegments = 100000;

// Segment length for a curve of length c: c / 192, limited to 0.1 .. 5.
double dxfSegmentLength(double c);

// A segment count from a real value: NaN and values past kMaxCurveSegments
// give kMaxCurveSegments, values below minimum give minimum.
int boundedSegments(double n, int minimum);

// Segments of a full circle of radius r: nearest (halves to even) of
// C / l + 0.5, at least 16.
int circleSegments(double r);

// Segments of an arc of radius r sweeping `sweep` radians: the absolute
// value of the nearest integer of r * sweep / l + 0.5, l from the full circle.
int arcSegments(double r, double sweep);

// Points at angles start + i * step for i = first .. last - 1 on a circle.
// Between exact anchors every 32 points the direction is turned by the step
// (a rotation), which keeps the points within 1e-13 of the circle at a
// fraction of the cost of a sine and cosine per point.
template <class Add>
void circleRun(double cx, double cy, double r, double start, double step, int first, int last, Add&& add) {
  const double c = std::cos(step), s = std::sin(step);
  double u = 0, v = 0;
  for (int i = first; i < last; ++i) {
    if ((i - first) % 32 == 0) {
      u = std::cos(start + i * step);
      v = std::sin(start + i * step);
    } else {
      const double t = u * c - v * s;
      v = u * s + v * c;
      u = t;
    }
    add(trealpoint{cx + r * u, cy + r * v});
  }
}

// Full circle: N + 1 points, the last one exactly the first.
template <class Add>
void circlePoints(double cx, double cy, double r, Add&& add) {
  const int n = circleSegments(r);
  circleRun(cx, cy, r, 0, 2 * M_PI / n, 0, n, add);
  add(trealpoint{cx + r, cy});
}

// Arc from angle `start` sweeping `sweep` (radians, positive counterclockwise):
// the start point, the intermediate points, the end point.
template <class Add>
void arcPoints(double cx, double cy, double r, double start, double sweep, Add&& add) {
  const int n = arcSegments(r, sweep);
  add(trealpoint{cx + r * std::cos(start), cy + r * std::sin(start)});
  if (n > 1) circleRun(cx, cy, r, start, sweep / n, 1, n, add);
  add(trealpoint{cx + r * std::cos(start + sweep), cy + r * std::sin(start + sweep)});
}

// An ellipse (or part of one) of the DXF ELLIPSE entity. `major` is the end
// of the major axis relative to the centre, `ratio` the minor/major ratio,
// start and end the parameters in radians. `mirrored` flips the minor axis
// (an ellipse whose normal points down).
struct tEllipse {
  trealpoint centre;
  trealpoint major;
  double ratio = 1;
  double start = 0;
  double end = 2 * M_PI;
  bool mirrored = false;
};

int ellipseSegments(const tEllipse& e);

template <class Add>
void ellipsePoints(const tEllipse& e, Add&& add) {
  const double a = std::hypot(e.major.x, e.major.y);
  const double b = e.ratio * a * (e.mirrored ? -1 : 1);
  const double theta = std::atan2(e.major.y, e.major.x);
  const double c = std::cos(theta), s = std::sin(theta);
  double end = e.end;
  if (end < e.start) end += 2 * M_PI;
  const int n = ellipseSegments(e);
  // The parameter runs round a unit circle; the axes stretch and turn it.
  circleRun(0, 0, 1, e.start, (end - e.start) / n, 0, n + 1, [&](const trealpoint& q) {
    const double u = a * q.x, v = b * q.y;
    add(trealpoint{e.centre.x + u * c - v * s, e.centre.y + u * s + v * c});
  });
}

// The circle of a bulge between two vertices: included angle 4 atan(bulge),
// counterclockwise for a positive bulge.
struct tBulgeArc {
  trealpoint centre;
  double radius = 0;
  double start = 0;  // direction of the first vertex from the centre, radians
  double sweep = 0;  // signed included angle
};

// False when the bulge draws no arc (bulge 0, or both vertices equal).
bool bulgeArc(const trealpoint& p1, const trealpoint& p2, double bulge, tBulgeArc& arc);

// The points of a bulge arc from p1 to p2: p1, the intermediate points; p2
// itself is left to the caller (it is the next vertex).
template <class Add>
void bulgeArcPoints(const trealpoint& p1, const tBulgeArc& arc, Add&& add) {
  const int n = arcSegments(arc.radius, std::fabs(arc.sweep));
  add(p1);
  if (n > 1) circleRun(arc.centre.x, arc.centre.y, arc.radius, arc.start, arc.sweep / n, 1, n, add);
}

}  // namespace trazvik::import
