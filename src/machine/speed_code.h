// Feeds on the wire: a feed in mm/min becomes a period code, the number of
// controller timer counts per step; 65535 stands for "no speed".
#pragma once
#include "no_qt.h"

#include "machine/command_set.h"

#include <cstdint>
#include <optional>

namespace trazvik {

inline constexpr std::uint32_t kNoSpeedCode = 65535;

// Code of an already scaled feed V' (mm/min x speedMultiplier, an integer):
// 65535 below minFeed, else the narrow or wide period code. Also the
// conversion the immediate commands use (speedToPeriod).
std::uint32_t speedCodeOfScaledFeed(std::int64_t scaledFeed, const tCommandSet& set);
// Code of a feed in mm/min: V' = round(V x speedMultiplier) first. Z feeds in
// the narrow set are multiplied by axisFactorZ by the caller.
std::uint32_t speedCode(double feedMmPerMin, const tCommandSet& set);
// The narrow set's 16-bit code; nothing when the code does not fit.
std::optional<std::uint16_t> narrowSpeedCode(double feedMmPerMin, const tCommandSet& set);

// The feed in whole mm/min a period code shows as: minFeed for p <= 0,
// else nearest(600000 / F / (p x timerTick)) in the wide set (F the speed
// factor) and nearest(600000 / (p x timerTick)) in the narrow set. The feed
// is still multiplied by speedMultiplier, as the controller reports it.
std::int32_t periodToSpeed(std::int64_t period, const tCommandSet& set);

// The feed in mm/min a code stands for (inverse of speedCode, unrounded);
// nothing for 65535 and 0.
std::optional<double> feedOfSpeedCode(std::uint32_t code, const tCommandSet& set);

}  // namespace trazvik
