// How far a point lies from a chain of Bezier segments, for checking fits.
#pragma once

#include "prepare/bezier_fit.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace trazvik::testing {

// Measured on the chords of a dense sampling of each curve, so that long
// straight segments are measured exactly rather than at sampled points.
inline double distanceToBezierChain(trealpoint p, const std::vector<tBezier>& chain) {
  double best = 1e300;
  for (const tBezier& b : chain) {
    trpoint3d prev = b.A;
    for (int i = 1; i <= 400; ++i) {
      const trpoint3d q = prepare::bezierPoint(b, i / 400.0);
      const double vx = q.x - prev.x, vy = q.y - prev.y, len2 = vx * vx + vy * vy;
      const double t = len2 > 0 ? std::clamp(((p.x - prev.x) * vx + (p.y - prev.y) * vy) / len2, 0.0, 1.0) : 0.0;
      best = std::min(best, std::hypot(p.x - prev.x - t * vx, p.y - prev.y - t * vy));
      prev = q;
    }
  }
  return best;
}

}  // namespace trazvik::testing
