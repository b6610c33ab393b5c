#include "geometry/points.h"

#include <cmath>

namespace trazvik {

bool samePoint(const trealpoint& a, const trealpoint& b) { return a.x == b.x && a.y == b.y; }

bool nearPoint(const trealpoint& a, const trealpoint& b) { return nearPointTol(a, b, 2.0); }

bool nearPointTol(const trealpoint& a, const trealpoint& b, double tol) {
  return std::abs(a.x - b.x) < tol && std::abs(a.y - b.y) < tol;
}

bool nearPoint3d(const trpoint3d& a, const trpoint3d& b, double tol) {
  return std::abs(a.x - b.x) < tol && std::abs(a.y - b.y) < tol && std::abs(a.z - b.z) < tol;
}

double distI(const tIntPoint& a, const tIntPoint& b) {
  const double dx = static_cast<double>(a.x) - b.x;
  const double dy = static_cast<double>(a.y) - b.y;
  return std::sqrt(dx * dx + dy * dy);
}

double dist(const trealpoint& a, const trealpoint& b) { return std::sqrt(dist2(a, b)); }

double dist(const trpoint3d& a, const trpoint3d& b) { return dist(trealpoint{a.x, a.y}, trealpoint{b.x, b.y}); }

double dist3d(const trpoint3d& a, const trpoint3d& b) {
  const double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double dist2(const trealpoint& a, const trealpoint& b) {
  const double dx = a.x - b.x, dy = a.y - b.y;
  return dx * dx + dy * dy;
}

}  // namespace trazvik
