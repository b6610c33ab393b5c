// Point comparison and distances.
#pragma once
#include "geometry/records.h"

namespace trazvik {

// x and y exactly equal.
bool samePoint(const trealpoint& a, const trealpoint& b);
// Both coordinates differ by less than 2 file units.
bool nearPoint(const trealpoint& a, const trealpoint& b);
// Both coordinates differ by less than tol.
bool nearPointTol(const trealpoint& a, const trealpoint& b, double tol);
// x, y and z each differ by less than tol.
bool nearPoint3d(const trpoint3d& a, const trpoint3d& b, double tol);

double distI(const tIntPoint& a, const tIntPoint& b);
double dist(const trealpoint& a, const trealpoint& b);
// Distance of the x, y of two 3-D points (z is ignored).
double dist(const trpoint3d& a, const trpoint3d& b);
double dist3d(const trpoint3d& a, const trpoint3d& b);
// Squared 2-D distance.
double dist2(const trealpoint& a, const trealpoint& b);

}  // namespace trazvik
