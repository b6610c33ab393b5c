// Feeds of immediate commands: period codes and the speed slots ("V" loads
// a slot, "F" selects the slot the following moves use).
#pragma once
#include "no_qt.h"

#include "link/machine_ops.h"

#include <cstdint>

namespace trazvik {

// Slots of the controller's speed table.
namespace speedSlot {
inline constexpr std::uint8_t travel = 0;
inline constexpr std::uint8_t work = 1;
inline constexpr std::uint8_t manual = 2;
inline constexpr std::uint8_t plunge = 3;  // also retract and, narrow set, the Z feed
}  // namespace speedSlot

// Period code of a feed already multiplied by speedMultiplier (mm/min):
// 65535 below minFeed. A code that would not fit 16 bits is held at 65535,
// the slowest period, so an out-of-range feed can never become a fast one.
std::uint16_t speedToPeriod(const tMachineOps& ops, std::int64_t scaledFeed);
// The feed (mm/min, still scaled) a period code stands for; minFeed for p <= 0.
std::int32_t periodToSpeed(const tMachineOps& ops, std::int64_t period);

// Loads the selected slot (read first) with a period code, then reads the
// speeds back. Narrow set: slots 0 to 3 only.
void setSpeed(tMachineOps& ops, std::int64_t period);
// "V" slot code for a fixed slot: a feed in mm/min (nearest(feed x
// speedMultiplier) converted), u32 on wide machines, u16 otherwise.
void loadSpeedSlot(tMachineOps& ops, std::uint8_t slot, double feedMmPerMin);
void selectSlot(tMachineOps& ops, std::uint8_t slot);

}  // namespace trazvik
