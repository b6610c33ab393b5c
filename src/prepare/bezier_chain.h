// What follows the fitting of a Bezier chain: tangents aligned at the
// smooth joints, the interpolation step and length of every segment, and
// the 3-D chain with the descent that the job writer sends.
#pragma once
#include "prepare/bezier_fit.h"

#include <vector>

namespace trazvik::prepare {

// Aligns the tangents at every joint of a segment marked smooth with its
// successor (cyclically when closed) whose turning cosine exceeds the
// limit: a straight segment keeps its direction and turns the curved
// neighbour's handle onto it; two curves both turn to the mean direction.
// Handle lengths are kept. Returns the indices of the segments changed.
std::vector<std::size_t> Wygladz(std::vector<tBezier>& chain, bool closed, double smoothCosine);

// Wygladz on a fitted chain, keeping it within the tolerance: a segment
// that a turned handle carries too far from its points is fitted again with
// the aligned tangents, and where even that fails it keeps its own fit and
// its joints become corners.
void WygladzWGranicach(FittedChain& chain, bool closed, const BezierLimits& limits);

// The largest step 0.1 x 0.9^k for which walking the segment from 0 to 1
// never moves further than `stepLength` between two points; and the
// segment's length.
void DobierzU(tBezier& segment, double stepLength);

// Heights of the 3-D chain, file units.
struct BezierDescent {
  double start = 0;   // where the chain begins (the surface with spiral entry)
  double bottom = 0;  // the cutting depth
  double pitch = 0;   // height lost per round of the chain; not positive: none
};

// The 3-D chain: the planar chain at the bottom height, or with spiral entry
// round after round from the start height down by `pitch` per round (by
// length covered) to the bottom and then once more round at the bottom (an
// open chain descends once along its length).
std::vector<tBezier> UtworzSpiraleBezier(const std::vector<tBezier>& chain, bool closed, bool spiral,
                                         const BezierDescent& descent);

}  // namespace trazvik::prepare
