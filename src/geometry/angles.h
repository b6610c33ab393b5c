// Direction angles of vectors and the turn at a path corner.
#pragma once
#include "geometry/records.h"

namespace trazvik {

// Direction of p1 -> p2 in radians in [0, 2*pi). Equal x gives pi/2 when p2
// lies above, else 3*pi/2 (also for equal points).
double dirAngle(const trealpoint& p1, const trealpoint& p2);
// The same on the x, y of 3-D points.
double dirAngle(const trpoint3d& p1, const trpoint3d& p2);
double dirAngle(double x1, double y1, double x2, double y2);

// Angle of the vector (x, y): 0 for the zero vector, +-pi/2 on the y axis,
// otherwise in [0, 2*pi).
double vectorAngle(double y, double x);

// Cosine of the turn of the 3-D path a -> b -> c: 1 for a straight
// continuation, -1 for a reversal (and when a or c coincides with b).
double turnCosine(const trpoint3d& a, const trpoint3d& b, const trpoint3d& c);

}  // namespace trazvik
