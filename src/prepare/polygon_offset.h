// The tool-radius offset of one closed figure: every edge moved sideways by
// the radius, sharp outer corners rounded with arcs of 128 steps a turn,
// gentle corners met on the bisector, inner corners at the crossing of the
// moved edges, and the loops of too narrow places cut out.
#pragma once
#include "geometry/records.h"

#include <span>
#include <vector>

namespace trazvik::prepare {

// Points closer than this (file units) to the previous one are dropped from
// the input and from the outline.
inline constexpr double kOutlineMinStep = 3.0;
// Arc resolution of rounded corners: steps per full turn.
inline constexpr int kArcStepsPerTurn = 128;
// Corners turning by more than this (radians) are sharp, the others gentle.
inline constexpr double kSharpTurn = 1.0;

struct OffsetResult {
  std::vector<trealpoint> outline;  // closed: the last point repeats the first
  int loopsCut = 0;
  // Indices in `outline` of the points where a loop was cut out.
  std::vector<std::size_t> crossingPoints;
  // The figure is narrower than twice the radius everywhere: nothing of the
  // offset survives with the figure's own turning sense. The outline is then
  // the single centre point of the figure's bounding box (twice, closed).
  bool collapsed = false;
};

// Offsets the closed polygon p (first point repeated at the end, or not) by
// r file units to the left of its direction of travel when side > 0, to the
// right otherwise. A radius that is not positive, a polygon with a point that
// is not finite, or fewer than two distinct corners give a copy of p.
OffsetResult offsetClosedPolygon(std::span<const trealpoint> p, double r, int side);

}  // namespace trazvik::prepare
