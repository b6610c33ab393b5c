#include "link/speed_operations.h"

#include "machine/commands_basic.h"
#include "machine/speed_code.h"

#include <cmath>

namespace trazvik {

std::uint16_t speedToPeriod(const tMachineOps& ops, std::int64_t scaledFeed) {
  const std::uint32_t code = speedCodeOfScaledFeed(scaledFeed, ops.commandSet());
  return static_cast<std::uint16_t>(std::min<std::uint32_t>(code, kNoSpeedCode));
}

std::int32_t periodToSpeed(const tMachineOps& ops, std::int64_t period) {
  return trazvik::periodToSpeed(period, ops.commandSet());
}

void setSpeed(tMachineOps& ops, std::int64_t period) {
  ops.status.readState();
  // Over USB the state read does not carry the selected slot; the speed
  // report does. Loading a stale slot would change another feed.
  ops.status.readSpeeds();
  const std::uint8_t slot = ops.st.sel_speed;
  const tCommandSet set = ops.commandSet();
  const std::int64_t multiplier = std::max(1, set.speedMultiplier);
  if (set.wide) {
    const auto value = static_cast<std::uint32_t>(period / multiplier);
    ops.send(loadSlotCommand(slot, value, set, CommandForm::immediate));
  } else if (slot <= 3 && set.axisFactorX > 0) {
    const auto d = static_cast<std::int64_t>(std::nearbyint(double(period) / set.axisFactorX));
    const std::int64_t value = slot == speedSlot::manual ? d : d / multiplier;
    // The slot holds 16 bits; a longer period is the slowest feed, not a wrapped fast one.
    const auto code = static_cast<std::uint16_t>(std::clamp<std::int64_t>(value, 0, 0xFFFF));
    ops.send(loadSlotCommand(slot, code, set, CommandForm::immediate));
  }
  ops.status.readSpeeds();
}

void loadSpeedSlot(tMachineOps& ops, std::uint8_t slot, double feedMmPerMin) {
  const tCommandSet set = ops.commandSet();
  const double scaled = std::nearbyint(feedMmPerMin * set.speedMultiplier);
  const std::uint16_t code = speedToPeriod(ops, std::isfinite(scaled) ? static_cast<std::int64_t>(scaled) : 0);
  ops.send(loadSlotCommand(slot, code, set, CommandForm::immediate));
}

void selectSlot(tMachineOps& ops, std::uint8_t slot) { ops.send(selectSlotCommand(slot, CommandForm::immediate)); }

}  // namespace trazvik
