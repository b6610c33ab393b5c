#include "geometry/crossing.h"

#include "geometry/lines.h"

#include <algorithm>
#include <cmath>

namespace trazvik {

namespace {

struct Crossing {
  bool crosses = false;
  bool pointFound = false;
  bool scalable = false;  // the point came from the non-vertical cases
  trealpoint point;
};

bool between(double v, double a, double b) { return v >= std::min(a, b) && v <= std::max(a, b); }

// Middle of the y-overlap of two vertical segments.
double middleOfYOverlap(const tSegment& s1, const tSegment& s2) {
  const tSegment a = orderByY(s1), b = orderByY(s2);
  return (std::max(a.start.y, b.start.y) + std::min(a.end.y, b.end.y)) / 2;
}

Crossing bothVertical(const tSegment& s1, const tSegment& s2, const tLineEq& l1, const tLineEq& l2) {
  Crossing c;
  if (l1.intercept != l2.intercept) return c;
  const double middle = middleOfYOverlap(s1, s2);
  c.pointFound = true;
  c.point = {l1.intercept, middle};
  c.crosses = between(middle, s1.start.y, s1.end.y) && between(middle, s2.start.y, s2.end.y);
  return c;
}

// strict: only lines of different slopes give a point.
Crossing cross(tSegment s1, tSegment s2, bool strict) {
  s1 = orderByX(s1);
  s2 = orderByX(s2);
  const tLineEq l1 = segmentLine(s1);
  const tLineEq l2 = segmentLine(s2);
  Crossing c;
  if (l1.degenerate || l2.degenerate) return c;
  if (l1.vertical && l2.vertical) return strict ? c : bothVertical(s1, s2, l1, l2);

  double x, y;
  if (l1.vertical || l2.vertical) {
    const tSegment& other = l1.vertical ? s2 : s1;
    const tLineEq& otherLine = l1.vertical ? l2 : l1;
    x = l1.vertical ? l1.intercept : l2.intercept;
    if (x < other.start.x || x > other.end.x) return c;
    y = otherLine.slope * x + otherLine.intercept;
  } else if (l1.slope == l2.slope) {
    if (strict || l1.intercept != l2.intercept) return c;
    x = (std::max(s1.start.x, s2.start.x) + std::min(s1.end.x, s2.end.x)) / 2;
    y = l1.slope * x + l1.intercept;
  } else {
    x = (l2.intercept - l1.intercept) / (l1.slope - l2.slope);
    y = l1.slope * x + l1.intercept;
  }
  c.pointFound = true;
  c.scalable = true;
  c.point = {x, y};
  c.crosses = x >= s1.start.x && x <= s1.end.x && x >= s2.start.x && x <= s2.end.x;
  if (l1.vertical) c.crosses = c.crosses && between(y, s1.start.y, s1.end.y);
  if (l2.vertical) c.crosses = c.crosses && between(y, s2.start.y, s2.end.y);
  return c;
}

}  // namespace

bool segmentsCross(const tSegment& s1, const tSegment& s2) { return cross(s1, s2, false).crosses; }

bool segmentsCrossPoint(const tSegment& s1, const tSegment& s2, trealpoint& out) {
  const Crossing c = cross(s1, s2, false);
  out = c.pointFound ? c.point : trealpoint{};
  if (c.scalable) {
    // Callers turn the point into 32-bit integers later. Non-finite values
    // would never shrink, so they are left alone.
    constexpr double kLimit = 21474836;
    while (std::isfinite(out.x) && std::isfinite(out.y) && (std::abs(out.x) >= kLimit || std::abs(out.y) >= kLimit)) {
      out.x /= 10;
      out.y /= 10;
    }
  }
  return c.crosses;
}

bool segmentsCrossStrict(const tSegment& s1, const tSegment& s2, trealpoint& out) {
  const Crossing c = cross(s1, s2, true);
  out = c.pointFound ? c.point : trealpoint{};
  return c.crosses;
}

bool segmentsCrossInside(const tSegment& s1, const tSegment& s2, double tol, trealpoint& out) {
  if (!segmentsCrossStrict(s1, s2, out)) return false;
  const double tol2 = tol > 0 ? tol * tol : 0;
  for (const trealpoint& end : {s1.start, s1.end, s2.start, s2.end}) {
    const double dx = out.x - end.x, dy = out.y - end.y;
    if (!(dx * dx + dy * dy > tol2)) return false;
  }
  return true;
}

void linesMeet(const tLineEq& l1, const tLineEq& l2, const tSegment& s1, const tSegment& s2, trealpoint& out) {
  if (l1.degenerate || l2.degenerate) return;
  if (l1.vertical && l2.vertical) {
    out = l1.intercept == l2.intercept ? trealpoint{l1.intercept, middleOfYOverlap(s1, s2)} : trealpoint{};
    return;
  }
  if (l1.vertical) {
    out = {l1.intercept, l2.slope * l1.intercept + l2.intercept};
    return;
  }
  if (l2.vertical) {
    out = {l2.intercept, l1.slope * l2.intercept + l1.intercept};
    return;
  }
  if (l1.slope == l2.slope) {
    if (l1.intercept == l2.intercept) {
      const tSegment a = orderByX(s1), b = orderByX(s2);
      const double x = (std::max(a.start.x, b.start.x) + std::min(a.end.x, b.end.x)) / 2;
      out = {x, l1.slope * x + l1.intercept};
    } else {
      out = s1.end;
    }
    return;
  }
  const double a1 = l1.slope;
  double a2 = l2.slope;
  if (a1 > kUnset || a2 > kUnset) a2 = kUnset;
  if (std::abs(a1 - a2) < 0.005) {
    out = s1.end;
    return;
  }
  const double x = std::clamp((l2.intercept - l1.intercept) / (a1 - a2), -kUnset, kUnset);
  out = {x, a1 * x + l1.intercept};
}

}  // namespace trazvik
