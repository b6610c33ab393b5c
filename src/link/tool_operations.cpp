#include "link/tool_operations.h"

#include "machine/commands_basic.h"
#include "machine/commands_immediate.h"
#include "machine/commands_records.h"
#include "machine/state_bits.h"

#include <cmath>

namespace trazvik {

namespace {

void outputs(tMachineOps& ops, bool on, std::uint8_t mask) {
  ops.send(outputsCommand(on ? 1 : 0, mask, CommandForm::immediate));
}

bool toolIsOn(const tMachineOps& ops) { return ops.st.bit(stateBit::toolOn); }

std::uint16_t nearestWord(double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<std::uint16_t>(std::nearbyint(std::clamp(v, 0.0, 65535.0)));
}

}  // namespace

void toggleTool(tMachineOps& ops) {
  if (ops.machine.machineType == "PFFy") {
    ops.send(toolIsOn(ops) ? laserOffRecord(CommandForm::immediate) : laserOnRecord(CommandForm::immediate));
    return;
  }
  if (toolIsOn(ops))
    outputs(ops, false, ops.st.sel_power);
  else
    outputs(ops, true, outputMask::secondTool);
}

void toolOff(tMachineOps& ops) {
  if (toolIsOn(ops)) outputs(ops, false, ops.st.sel_power);
}

void spindleOn(tMachineOps& ops) { outputs(ops, true, ops.st.sel_power); }
void spindleOff(tMachineOps& ops) { outputs(ops, false, ops.st.sel_power); }

void setSpindleSpeed(tMachineOps& ops, std::int64_t rpm) {
  tCommandSet set = ops.commandSet();
  set.protocolLevel = std::max(set.protocolLevel, 6);  // the four-byte form whatever the level
  const double hundreds = std::nearbyint(double(std::max<std::int64_t>(rpm, 0)) / 100);
  const auto value = static_cast<std::uint32_t>(std::min(hundreds, 180.0));
  ops.send(powerCommand(ops.st.sel_power, value, set, CommandForm::immediate));
}

void setPower(tMachineOps& ops, std::uint8_t channel, std::uint16_t value) {
  const tCommandSet set = ops.commandSet();
  const std::uint32_t v = set.protocolLevel < 6 ? std::min<std::uint32_t>(value, 255) : value;
  ops.send(powerCommand(channel, v, set, CommandForm::immediate));
}

void applyPowerFromStatus(tMachineOps& ops) {
  if (ops.params().isLaser) {
    const std::int32_t full = std::max(0, ops.linkState().laserFullPower);
    if (ops.st.power > full) ops.st.power = static_cast<std::uint16_t>(std::min(full, 65535));
  }
  setPower(ops, ops.st.sel_power, nearestWord(ops.st.power * ops.settings.powerScale));
}

void setStartPowers(tMachineOps& ops, double idle, double work) {
  const auto pause = std::chrono::milliseconds(200);
  ops.wait(pause);
  setPower(ops, 3, nearestWord(ops.settings.powerScale * idle / 100));
  ops.wait(pause);
  setPower(ops, 1, nearestWord(ops.settings.powerScale * work / 100));
  ops.wait(pause);
  if (!ops.params().isLaser) outputs(ops, true, outputMask::tool);
}

void dustExtraction(tMachineOps& ops, bool on) { outputs(ops, on, outputMask::dustExtraction); }
void vacuumPumpSwitch(tMachineOps& ops, bool on) { outputs(ops, on, outputMask::vacuumPump); }
void lubrication(tMachineOps& ops, bool on) { outputs(ops, !on, outputMask::lubrication); }

void laserPulse(tMachineOps& ops, std::uint32_t ms) {
  setLaserPulseTime(ops, ms);
  ops.send(laserPulseRecord(CommandForm::immediate));
}

void setLaserPulseTime(tMachineOps& ops, std::uint32_t ms) {
  ops.send(laserPulseTimeRecord(ms, CommandForm::immediate));
}

void spindleWait(tMachineOps& ops) { ops.send(spindleWaitCommand()); }

}  // namespace trazvik
