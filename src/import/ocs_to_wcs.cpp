#include "import/ocs_to_wcs.h"

#include <cmath>

namespace trazvik::import {

namespace {

TPoint3D cross(const TPoint3D& a, const TPoint3D& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

TPoint3D normalised(const TPoint3D& a) {
  const float length = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
  if (!(length > 0)) return a;
  return {a.x / length, a.y / length, a.z / length};
}

}  // namespace

TConvOCS2WCS::TConvOCS2WCS() { SetNormalVector(Wz); }

void TConvOCS2WCS::SetNormalVector(const TPoint3D& n) {
  TPoint3D normal = normalised(n);
  const bool usable = std::isfinite(normal.x) && std::isfinite(normal.y) && std::isfinite(normal.z) &&
                      (normal.x != 0 || normal.y != 0 || normal.z != 0);
  if (!usable) normal = Wz;
  constexpr float kNearAxis = 1.0f / 64;
  if (std::fabs(normal.x) < kNearAxis && std::fabs(normal.y) < kNearAxis)
    Ax = normalised(cross(Wy, normal));
  else
    Ax = normalised(cross(Wz, normal));
  Ay = normalised(cross(normal, Ax));
  Az = normal;
  const TPoint3D rows[3] = {Ax, Ay, Az};
  for (int r = 0; r < 3; ++r) tm[r] = {rows[r].x, rows[r].y, rows[r].z, 0};
  tm[3] = {0, 0, 0, 1};
}

TPoint3D TConvOCS2WCS::Convert(const TPoint3D& p) {
  cp = {p.x * Ax.x + p.y * Ay.x + p.z * Az.x, p.x * Ax.y + p.y * Ay.y + p.z * Az.y,
        p.x * Ax.z + p.y * Ay.z + p.z * Az.z};
  return cp;
}

}  // namespace trazvik::import
