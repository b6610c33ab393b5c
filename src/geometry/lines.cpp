#include "geometry/lines.h"

#include <cmath>
#include <utility>

namespace trazvik {

tLineEq segmentLine(const tSegment& seg) {
  tLineEq line;
  const trealpoint& a = seg.start;
  const trealpoint& b = seg.end;
  if (a.x == b.x && a.y == b.y) {
    line.degenerate = true;
    return line;
  }
  if (std::abs(a.x - b.x) < 0.0001) {
    line.vertical = true;
    line.slope = kUnset;
    line.intercept = a.x;
    return line;
  }
  line.slope = (b.y - a.y) / (b.x - a.x);
  line.intercept = a.y - line.slope * a.x;
  return line;
}

tSegment orderByX(tSegment seg) {
  if (seg.start.x > seg.end.x) std::swap(seg.start, seg.end);
  return seg;
}

tSegment orderByY(tSegment seg) {
  if (seg.start.y > seg.end.y) std::swap(seg.start, seg.end);
  return seg;
}

tLineGen segmentLineGen(const tSegment& seg) {
  tLineGen line;
  const double x1 = seg.start.x, y1 = seg.start.y;
  const double x2 = seg.end.x, y2 = seg.end.y;
  if (std::abs(x1 - x2) < 1e-18) {
    line.vertical = true;
    line.A = kUnset;
    line.B = x1;
    line.C = -kUnset * x1 - y1;
    return line;
  }
  line.A = -(y2 - y1) / (x2 - x1);
  line.B = 1;
  line.C = -x1 * line.A - y1;
  return line;
}

double pointLineDistance(const trealpoint& p, const tLineGen& line) {
  if (line.vertical) return std::abs(p.x - line.B);
  const double root = std::sqrt(line.A * line.A + line.B * line.B);
  if (root == 0) return 0;
  return std::abs(line.A * p.x + line.B * p.y + line.C) / root;
}

namespace {

// withStart: the range holds the start and not the end; otherwise the end
// and not the start. Works for segments running either way in x.
bool offsetAtX(const tSegment& seg, const trealpoint& p, double& out, bool withStart) {
  const tLineEq line = segmentLine(seg);
  if (line.vertical || line.degenerate) return false;
  const double s = seg.start.x, e = seg.end.x;
  bool inside;
  if (withStart)
    inside = (s <= p.x && p.x < e) || (s >= p.x && p.x > e);
  else
    inside = (s < p.x && p.x <= e) || (s > p.x && p.x >= e);
  if (!inside) return false;
  out = line.slope * p.x + line.intercept - p.y;
  return true;
}

}  // namespace

bool offsetAtX1(const tSegment& seg, const trealpoint& p, double& out) { return offsetAtX(seg, p, out, true); }

bool offsetAtX2(const tSegment& seg, const trealpoint& p, double& out) { return offsetAtX(seg, p, out, false); }

}  // namespace trazvik
