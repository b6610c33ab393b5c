#include "link/machine_control_operations.h"

#include "machine/commands_basic.h"
#include "machine/commands_immediate.h"

#include <cmath>

namespace trazvik {

namespace {

std::int32_t steps(double hundredths, double factor) {
  const double v = hundredths * factor;
  if (!std::isfinite(v)) return 0;
  return static_cast<std::int32_t>(std::nearbyint(std::clamp(v, -2147483647.0, 2147483647.0)));
}

void sendLetter(tMachineOps& ops, char letter) { ops.send(letterCommand(letter)); }

}  // namespace

void stopManualMotion(tMachineOps& ops) { sendLetter(ops, immediate::stopManualMotion); }
void holdJob(tMachineOps& ops) { sendLetter(ops, immediate::holdJob); }
void continueJob(tMachineOps& ops) { sendLetter(ops, immediate::continueJob); }
void startStoredJob(tMachineOps& ops) { sendLetter(ops, immediate::startStoredJob); }
void clearJob(tMachineOps& ops) { sendLetter(ops, immediate::clearJob); }
void probe(tMachineOps& ops) { sendLetter(ops, immediate::probe); }
void stateQuery(tMachineOps& ops) { sendLetter(ops, immediate::stateQuery); }

void pauseSeconds(tMachineOps& ops, std::uint32_t seconds) {
  std::uint64_t remaining = std::uint64_t{seconds} * 1000;
  while (remaining >= 256) {
    ops.send(pauseCommand(255, CommandForm::immediate));
    remaining -= 255;
  }
  if (remaining > 0) ops.send(pauseCommand(static_cast<std::uint8_t>(remaining), CommandForm::immediate));
}

void home(tMachineOps& ops, std::uint8_t mask) { ops.send(homeCommand(mask)); }
void checkBase(tMachineOps& ops, std::uint8_t mask) { ops.send(homeCommand(mask)); }

void setWorkZeroXY(tMachineOps& ops) {
  const tMachineParams& p = ops.params();
  ops.send(
      workZeroXYCommand(steps(ops.st.pos0.x, p.axisFactorX), steps(ops.st.pos0.y, p.axisFactorY), ops.commandSet()));
  ops.wait(std::chrono::milliseconds(10));
}

void setWorkZeroZ(tMachineOps& ops) {
  const tMachineParams& p = ops.params();
  const tCommandSet set = ops.commandSet();
  const int heads = std::min<int>(p.headCount, static_cast<int>(ops.st.pos0Z123.size()));
  if (heads < 2) {
    ops.send(workZeroZCommand(steps(ops.st.pos0.z, p.axisFactorZ), set));
    return;
  }
  ops.send(workZeroZCommand(steps(ops.st.pos0Z123[0], p.axisFactorZ), set));
  const int selected = ops.st.selectedZ;
  for (int i = 0; i < heads; ++i)
    if (i != selected)
      ops.send(headZeroCommand(static_cast<std::uint32_t>(i),
                               steps(ops.st.pos0Z123[static_cast<std::size_t>(i)], p.axisFactorZ)));
  if (selected >= 0 && selected < heads)
    ops.send(headZeroCommand(static_cast<std::uint32_t>(selected),
                             steps(ops.st.pos0Z123[static_cast<std::size_t>(selected)], p.axisFactorZ)));
}

}  // namespace trazvik
