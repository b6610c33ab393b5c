#include "geometry/angles.h"

#include "geometry/points.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trazvik {

using std::numbers::pi;

double dirAngle(double x1, double y1, double x2, double y2) {
  if (x1 == x2) return y2 > y1 ? pi / 2 : 3 * pi / 2;
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  double angle = std::atan(dy / dx);
  if (dx < 0)
    angle += pi;
  else if (dy < 0)
    angle += 2 * pi;
  return angle;
}

double dirAngle(const trealpoint& p1, const trealpoint& p2) { return dirAngle(p1.x, p1.y, p2.x, p2.y); }

double dirAngle(const trpoint3d& p1, const trpoint3d& p2) { return dirAngle(p1.x, p1.y, p2.x, p2.y); }

double vectorAngle(double y, double x) {
  if (x == 0) {
    if (y > 0) return pi / 2;
    if (y < 0) return -pi / 2;
    return 0;
  }
  double angle = std::atan(y / x);
  if (x < 0)
    angle += pi;
  else if (y < 0)
    angle += 2 * pi;
  return angle;
}

double turnCosine(const trpoint3d& a, const trpoint3d& b, const trpoint3d& c) {
  const double u = dist3d(a, b);
  const double v = dist3d(b, c);
  if (u == 0 || v == 0) return -1;
  const double m = dist3d(a, c);
  const double cosine = -(u * u + v * v - m * m) / (2 * u * v);
  return std::clamp(cosine, -1.0, 1.0);
}

}  // namespace trazvik
