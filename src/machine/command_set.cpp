#include "machine/command_set.h"

#include "machine/link_state.h"
#include "machine/machine_params.h"

#include <cctype>
#include <cmath>

namespace trazvik {

double tCommandSet::speedFactor() const { return integerSpeedFactor ? std::nearbyint(axisFactorX) : axisFactorX; }

tCommandSet commandSetOf(const tMachineModel& machine, const tLinkState& link) {
  const tMachineParams& p = machine.machineParams;
  tCommandSet s;
  s.wide = p.wideCommandSet != 0;
  s.protocolLevel = link.protocolLevel;
  s.speedMultiplier = p.speedMultiplier;
  s.axisFactorX = p.axisFactorX;
  s.axisFactorY = p.axisFactorY;
  s.axisFactorZ = p.axisFactorZ;
  s.timerTick = p.timerTick;
  s.minFeed = p.minFeed;
  s.integerSpeedFactor = machine.machineType == "YCP 50";
  s.knifeStepsPerTurn = p.knifeStepsPerTurn;
  s.knifeAxis = p.knifeAxis != 0;
  s.cncMachine = link.cncMachine;
  s.headCount = p.headCount;
  return s;
}

char opcode(char letter, CommandForm form) {
  const auto c = static_cast<unsigned char>(letter);
  return static_cast<char>(form == CommandForm::job ? std::tolower(c) : std::toupper(c));
}

}  // namespace trazvik
