#include "tool_trace.h"

#include <algorithm>
#include <cmath>

namespace trazvik::sim {

void TraceBounds::include(const TracePoint& p) {
  if (empty) {
    min = max = p;
    empty = false;
    return;
  }
  min.x = std::min(min.x, p.x);
  min.y = std::min(min.y, p.y);
  min.z = std::min(min.z, p.z);
  max.x = std::max(max.x, p.x);
  max.y = std::max(max.y, p.y);
  max.z = std::max(max.z, p.z);
}

namespace {

bool samePoint(const TracePoint& a, const TracePoint& b) {
  return std::abs(a.x - b.x) < 1e-9 && std::abs(a.y - b.y) < 1e-9 && std::abs(a.z - b.z) < 1e-9;
}

// True when b continues a along the same straight line in the same direction.
bool continues(const TraceSegment& a, const TraceSegment& b) {
  if (a.toolOn != b.toolOn || a.source != b.source || !samePoint(a.to, b.from)) return false;
  const double ax = a.to.x - a.from.x, ay = a.to.y - a.from.y, az = a.to.z - a.from.z;
  const double bx = b.to.x - b.from.x, by = b.to.y - b.from.y, bz = b.to.z - b.from.z;
  const double cx = ay * bz - az * by, cy = az * bx - ax * bz, cz = ax * by - ay * bx;
  const double dot = ax * bx + ay * by + az * bz;
  const double la = std::sqrt(ax * ax + ay * ay + az * az), lb = std::sqrt(bx * bx + by * by + bz * bz);
  if (la == 0 || lb == 0) return false;
  return dot > 0 && std::sqrt(cx * cx + cy * cy + cz * cz) <= 1e-9 * la * lb;
}

}  // namespace

void ToolTrace::add(const TraceSegment& s) {
  // A move that stays in place adds nothing, unless the tool works there
  // after it did not: a laser's dot, a plunge on an axis the trace lacks.
  const bool dot = s.toolOn && (segments_.empty() || !segments_.back().toolOn);
  if (samePoint(s.from, s.to) && !dot && !segments_.empty() && segments_.back().knifeAngleSteps == s.knifeAngleSteps)
    return;
  if (!segments_.empty() && segments_.back().knifeAngleSteps == s.knifeAngleSteps && continues(segments_.back(), s)) {
    segments_.back().to = s.to;
    return;
  }
  segments_.push_back(s);
}

TraceBounds ToolTrace::bounds(bool toolOnOnly) const {
  TraceBounds b;
  for (const auto& s : segments_) {
    if (toolOnOnly && !s.toolOn) continue;
    b.include(s.from);
    b.include(s.to);
  }
  return b;
}

double ToolTrace::pathLength(bool toolOn) const {
  double total = 0;
  for (const auto& s : segments_)
    if (s.toolOn == toolOn) total += std::hypot(s.to.x - s.from.x, s.to.y - s.from.y);
  return total;
}

}  // namespace trazvik::sim
