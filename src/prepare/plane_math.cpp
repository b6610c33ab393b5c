#include "prepare/plane_math.h"

#include <algorithm>

namespace trazvik::prepare {

bool segmentsMeet(trealpoint a, trealpoint b, trealpoint c, trealpoint d, double& t, double& u) {
  const trealpoint r = b - a;
  const trealpoint s = d - c;
  const double rr = dot(r, r);
  const double ss = dot(s, s);
  if (rr == 0 || ss == 0) return false;
  const trealpoint ac = c - a;
  const double denom = cross(r, s);
  if (denom != 0) {
    t = cross(ac, s) / denom;
    u = cross(ac, r) / denom;
    return t >= 0 && t <= 1 && u >= 0 && u <= 1;
  }
  if (cross(ac, r) != 0) return false;  // parallel, apart
  // Collinear: project the second segment onto the first.
  const double t0 = dot(ac, r) / rr;
  const double t1 = dot(d - a, r) / rr;
  const double lo = std::max(0.0, std::min(t0, t1));
  const double hi = std::min(1.0, std::max(t0, t1));
  if (lo > hi) return false;
  t = lo;
  const trealpoint at = a + r * t;
  u = std::clamp(dot(at - c, s) / ss, 0.0, 1.0);
  return true;
}

double polylineLength(std::span<const trealpoint> pts) {
  double sum = 0;
  for (std::size_t i = 1; i < pts.size(); ++i) sum += length(pts[i] - pts[i - 1]);
  return sum;
}

}  // namespace trazvik::prepare
