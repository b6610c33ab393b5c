// The speed slider of the control panel seen from the keyboard: its
// non-linear scale back to a feed, and one step of numpad + or -.
#pragma once
#include "no_qt.h"

#include "link/machine_params.h"

#include <cstdint>

namespace trazvik {

// Feed in mm/min of a position of the non-linear scale: 0 to 99 the
// position itself, 100 to 189 in steps of 10, 190 to 1000 in steps of 100;
// 0 for any other position.
std::int32_t sliderToSpeed(int position);

// The position after one step (+1 or -1) of numpad + or -. On the legacy
// scale (position = feed) the step grows with the feed and stays within 10
// and maxFeedXY; on the non-linear scale it is one position, held within
// minFeed and maxFeedXY.
int speedSliderKeyStep(int position, int step, const tMachineParams& params);

}  // namespace trazvik
