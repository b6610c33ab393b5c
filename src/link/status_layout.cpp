#include "link/status_layout.h"

#include "machine/link_state.h"
#include "machine/machine_params.h"

namespace trazvik {

tStatusLayout statusLayoutOf(const tMachineModel& machine, const tLinkState& link) {
  const tMachineParams& p = machine.machineParams;
  tStatusLayout l;
  l.extended = link.drillSlots;
  l.wideCommandSet = p.wideCommandSet != 0;
  l.knifeAxis = p.knifeAxis != 0;
  l.headCount = p.headCount;
  l.isLaser = p.isLaser != 0;
  l.axisFactorX = p.axisFactorX;
  l.axisFactorY = p.axisFactorY;
  l.axisFactorZ = p.axisFactorZ;
  l.speedMultiplier = p.speedMultiplier;
  l.protocolLevel = link.protocolLevel;
  l.firmwareMinor = link.firmwareMinor;
  return l;
}

}  // namespace trazvik
