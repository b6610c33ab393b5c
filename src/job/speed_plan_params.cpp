#include "job/speed_plan_params.h"

#include "machine/link_state.h"
#include "machine/machine_params.h"

namespace trazvik {

tSpeedPlanParams speedPlanParamsOf(const tMachineModel& machine, const tLinkState& link) {
  const tMachineParams& m = machine.machineParams;
  tSpeedPlanParams p;
  p.set = commandSetOf(machine, link);
  p.maxFeedXY = m.maxFeedXY;
  p.maxFeedZ = m.maxFeedZ;
  p.minFeed = m.minFeed;
  p.radiusFactorStraight = m.radiusFactorStraight;
  p.radiusFactorSmooth = m.radiusFactorSmooth;
  p.radiusFactorSlope = m.radiusFactorSlope;
  p.cornerAngle = machine.cornerAngle;
  p.rampStep = m.rampStep;
  if (machine.wideRamp) p.wideRamp = machine.wideRamp;
  return p;
}

}  // namespace trazvik
