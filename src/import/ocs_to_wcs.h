// Conversion of DXF object coordinates (OCS) to world coordinates with the
// arbitrary axis rule, in single precision.
#pragma once
#include "geometry/records.h"

#include <array>

namespace trazvik::import {

class TConvOCS2WCS {
 public:
  TPoint3D Wx{1, 0, 0};
  TPoint3D Wy{0, 1, 0};
  TPoint3D Wz{0, 0, 1};
  TPoint3D Ax{1, 0, 0};
  TPoint3D Ay{0, 1, 0};
  TPoint3D Az{0, 0, 1};
  TPoint3D cp;                                // the last converted point
  double elev = 0;                            // kept, not applied
  std::array<std::array<double, 4>, 4> tm{};  // rows Ax, Ay, Az, (0, 0, 0, 1)

  // Create: world axes, normal (0, 0, 1), elevation 0.
  TConvOCS2WCS();

  // Az = n and Ax, Ay by the arbitrary axis rule. A zero or non-finite
  // normal counts as (0, 0, 1); n is normalised.
  void SetNormalVector(const TPoint3D& n);
  void SetElevation(double e) { elev = e; }
  // x Ax + y Ay + z Az, in 32-bit floats.
  TPoint3D Convert(const TPoint3D& p);
};

}  // namespace trazvik::import
