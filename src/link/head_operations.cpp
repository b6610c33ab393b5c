#include "link/head_operations.h"

#include "base/text.h"

#include "machine/commands_basic.h"
#include "machine/commands_immediate.h"
#include "machine/commands_records.h"
#include "link/machine_control_operations.h"
#include "link/speed_operations.h"
#include "machine/state_bits.h"

#include <cmath>
#include <cstdio>

namespace trazvik {

namespace {

std::int32_t nearestSteps(double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<std::int32_t>(std::nearbyint(std::clamp(v, -2147483647.0, 2147483647.0)));
}

// "0.5" rather than "0.500000": the operator reads it in a message.
std::string shortNumber(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", v);
  return text;
}

}  // namespace

std::uint8_t headMaskOf(int headIndex) {
  switch (headIndex) {
    case 1: return outputMask::head2;
    case 2: return outputMask::head3;
    default: return outputMask::head1;
  }
}

void selectHeadZ(tMachineOps& ops, int headIndex) {
  if (ops.linkState().protocolLevel <= 6) return;
  // Only heads 1 to 3 have a head bit and a Z zero of their own.
  if (headIndex < 0 || headIndex > 2) return;
  ops.send(headZRecord(headBitOf(headIndex), CommandForm::immediate));
  ops.st.selectedZ = headIndex;
  ops.st.pos0.z = std::nearbyint(ops.st.pos0Z123[static_cast<std::size_t>(headIndex)]);
}

void activateHead(tMachineOps& ops, int headIndex) {
  selectHeadZ(ops, headIndex);
  ops.activeHeadMask = headMaskOf(headIndex);
  ops.send(outputsCommand(1, ops.activeHeadMask, CommandForm::immediate));
  if (!ops.linkState().firmwareAtLeast(7, 22)) return;
  tOperationSettings::Offset offset;
  const int selected = ops.st.selectedZ;
  if (ops.params().headCount > 1 && selected >= 0 && selected < 3)
    offset = ops.settings.headOffsets[static_cast<std::size_t>(selected)];
  const tMachineParams& p = ops.params();
  ops.send(
      headOffsetCommand(nearestSteps(offset.x * 100 * p.axisFactorX), nearestSteps(offset.y * 100 * p.axisFactorY)));
}

void releaseHead(tMachineOps& ops) {
  ops.status.readState();
  if (ops.st.bit(stateBit::toolOn)) ops.send(outputsCommand(0, ops.st.sel_power, CommandForm::immediate));
  ops.send(outputsCommand(0, headMaskOf(ops.st.selectedZ), CommandForm::immediate));
  ops.st.sel_power = 2;
  pauseSeconds(ops, 2);
}

void shiftSecondY(tMachineOps& ops, double mm) {
  if (base::trimmed(ops.machine.machineType) != "RB2") return;
  ops.status.readSpeeds();
  const std::int32_t manual = ops.st.speedm;
  setSpeed(ops, speedToPeriod(ops, 1000));
  ops.send(secondYShiftCommand(nearestSteps(mm * 100 * ops.params().axisFactorY)));
  if (ops.informationBox) ops.informationBox("Przesunięto głowicę Y2 o dysnas " + shortNumber(mm));
  ops.status.readSpeeds();
  setSpeed(ops, manual);
}

}  // namespace trazvik
