// A wide-set router for the speed planning tests: the "YFB 32" command set,
// round feed limits and the drilling ramp table.
#pragma once

#include "command_sets.h"
#include "job/speed_plan_params.h"

namespace trazvik::test {

inline tSpeedPlanParams wideRouterPlan() {
  tSpeedPlanParams p;
  p.set = wideSet(7);
  p.fileType = kFileTypeHpgl;
  p.maxFeedXY = 16000;
  p.maxFeedZ = 3000;
  p.minFeed = 1;
  p.radiusFactorStraight = 1200;
  p.radiusFactorSmooth = 2400;
  p.radiusFactorSlope = 1000;
  p.cornerAngle = 165;
  p.rampStep = 0;
  p.rampStride = 1;
  p.wideRamp = &drillingWideRamp();
  return p;
}

// The old narrow-set router.
inline tSpeedPlanParams narrowRouterPlan() {
  tSpeedPlanParams p = wideRouterPlan();
  p.set = narrowSet();
  p.set.cncMachine = true;
  p.maxFeedXY = 2000;
  p.maxFeedZ = 180;
  p.minFeed = 12;
  return p;
}

}  // namespace trazvik::test
