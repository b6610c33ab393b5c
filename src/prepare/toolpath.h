// The 3-D toolpath of one figure: the spiral descent round a closed outline
// (or a plunge when the spiral is off), one round at the final height, the
// polishing round, and the ramp along an open figure.
#pragma once
#include "geometry/records.h"

#include <span>
#include <vector>

namespace trazvik::prepare {

// Heights in file units.
struct DescentPlan {
  double start = 0;      // where the descent begins (the surface with the spiral, else the bottom)
  double floor = 0;      // lowest height of the roughing rounds
  double bottom = 0;     // the cutting depth (the polishing round runs here)
  double pitch = 0;      // height lost per round; not positive: down within one round
  double tolerance = 0;  // a height this close to the floor counts as reached
  bool polish = false;   // a round of the final outline at the bottom follows
};

// Lengths in file units of the moves of one toolpath.
struct ToolpathLengths {
  double work = 0;    // roughing or cutting moves
  double polish = 0;  // the polishing round and the move onto it
};

// Rounds of the closed path (its last point repeats the first, or nearly):
// from the path's last point the height falls by `pitch` per round, never
// below the floor; once at the floor one more full round follows, then (with
// polish) the nearest point of `finalOutline` and one round of it at the
// bottom. Consecutive equal points are written once. The number of rounds is
// bounded: a pitch that would need more than kMaxRounds is raised.
ToolpathLengths closedToolpath(std::span<const trealpoint> path, std::span<const trealpoint> finalOutline,
                               const DescentPlan& plan, std::vector<trpoint3d>& sp);

// An open path from its first point at the start height to its end at the
// floor: the height falls by `pitch` per path length (faster when that would
// not reach the floor by the end) and stays at the floor once there.
ToolpathLengths openToolpath(std::span<const trealpoint> path, const DescentPlan& plan, std::vector<trpoint3d>& sp);

inline constexpr double kMaxRounds = 100000;

}  // namespace trazvik::prepare
