// What corner speed planning needs from the machine, the job and the
// settings, gathered once per job.
#pragma once
#include "no_qt.h"

#include "geometry/units.h"
#include "machine/command_set.h"
#include "machine/plotter_speed_table.h"
#include "machine/ramp_tables.h"

#include <cstdint>

namespace trazvik {

struct tLinkState;
struct tMachineModel;

struct tSpeedPlanParams {
  tCommandSet set;                                  // wide or narrow, speedMultiplier, axisFactorX, cncMachine
  int fileType = kFileTypeHpgl;                     // unit of the toolpath points
  double skala = 100;                               // scale in percent
  bool wygladzanie = false;                         // smoothing setting
  bool gcodeProgram = false;                        // job from a G-code program (output mode 5)
  bool multiLayer = false;                          // multi-layer job
  double maxFeedXY = 0, maxFeedZ = 0, minFeed = 0;  // mm/min
  double radiusFactorStraight = 0, radiusFactorSmooth = 0, radiusFactorSlope = 0;
  double cornerAngle = 165;     // degrees
  std::int32_t rampStep = 0;    // table index multiplier minus one
  std::int32_t rampStride = 1;  // granularity of wide-table positions, 1 or 2
  const WideRampTable* wideRamp = &standardWideRamp();
  const NarrowRampTable* narrowRamp = &trazvik::narrowRamp();
  const PlotterSpeedTable* plotterSpeeds = &plotterSpeedTable();
};

// The machine's part of the parameters; the job's part (file type, scale,
// smoothing, job kind) keeps its defaults for the caller to fill in.
tSpeedPlanParams speedPlanParamsOf(const tMachineModel& machine, const tLinkState& link);

}  // namespace trazvik
