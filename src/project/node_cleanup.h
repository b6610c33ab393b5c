// Thinning of a figure's points after loading: near-equal neighbours and
// middle points of straight runs (node optimisation), and the simplification
// of runs of short segments within a tolerance.
#pragma once
#include "geometry/records.h"

#include <vector>

namespace trazvik {

// Distance (file units, in x and in y) under which a point is the same node
// as the one before it.
inline constexpr double kOdlegloscWezlow = 0.001;
// Slope tolerance of the straight-line test.
inline constexpr double kTolerancjaNachylenia = 1e-8;

// P1, P2 and P3 lie on one straight line by the node optimisation's test:
// all three share their x exactly; otherwise no two may share an x, and the
// slope P1-P3 must match the slope of the shorter of P1-P2 and P2-P3.
bool naProstej(const trealpoint& p1, const trealpoint& p2, const trealpoint& p3);

// Node optimisation of one figure's points: drops every point within
// kOdlegloscWezlow of the point kept before it, then every middle point of
// three consecutive points on a straight line. Figures of 2 points or fewer
// are left alone.
void optymalizujWezly(std::vector<trealpoint>& p);

// Simplification with tolerance t: from an anchor point, the run reaches as
// far as every point in between stays closer than t to the line from the
// anchor to the run's end; the points inside a run are dropped.
void uproscKrotkieOdcinki(std::vector<trealpoint>& p, double t);

}  // namespace trazvik
