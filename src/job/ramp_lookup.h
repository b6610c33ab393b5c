// Lookups in the machine's acceleration ramp: how fast a point may be passed
// when the machine must slow down to a given code within a distance, and how
// long a run-up to a feed is.
#pragma once
#include "no_qt.h"

#include "job/speed_plan_params.h"

#include <cstdint>

namespace trazvik {

// The speed code a point may have when the next point, `distanceSteps` steps
// ahead, must be reached at code `nextCode`. Wide set: the ramp position
// where the table reaches nextCode, moved back by the distance. Narrow set:
// the ramp entry at the distance alone (the table's fastest entry beyond it).
std::uint16_t rampLimit(std::int64_t distanceSteps, std::uint32_t nextCode, const tSpeedPlanParams& p);

// Ramp steps needed to run up to a feed (mm/min) from rest: the first table
// index whose code is not above the feed's code, times rampStep + 1. The
// narrow set compares the code divided by speedMultiplier (halved, and the
// index halved, with smoothing on); plotter-class machines use their speed
// table. A feed faster than the table reaches gives the whole table.
double rampLength(double feedMmPerMin, const tSpeedPlanParams& p);

}  // namespace trazvik
