// Running a golden job on the simulated controller and checking that the
// tool retraced the figures' toolpaths.
#pragma once

#include "golden_case.h"

#include "tool_trace.h"

#include <string>
#include <vector>

namespace trazvik::golden {

struct SimRun {
  sim::ToolTrace trace;
  sim::TracePoint end;  // tool position (mm) when the job was over
  bool toolOutputsOff = false;
  bool jobEnded = false;  // the controller left the job on its own
  std::uint64_t unknownCommands = 0;
};

// Moves the simulated machine to the project origin at the job's starting
// height (as the Start command does), streams the job, starts it and runs
// until the machine is idle.
SimRun runOnSimulator(const app::tOfflineJob& job);

// A point the tool must pass through, in machine steps, and whether only
// reaching it counts (drill points) or the straight cut from the point
// before it.
struct RetracePoint {
  double x = 0, y = 0, z = 0;
  bool reachOnly = false;
};
struct RetraceFigure {
  int index = 0;  // in the project's list
  std::vector<RetracePoint> points;
  bool checkZ = true;
};

// The toolpath points of every figure the job cuts, converted as the writer
// converts them (offset, scale, millimetres, steps, head correction of the
// figure's head).
std::vector<RetraceFigure> expectedToolpaths(const app::tOfflineJob& job);

// Empty when every figure was retraced within `toleranceSteps` per axis;
// otherwise what was not.
std::string retraceProblems(const SimRun& run, const std::vector<RetraceFigure>& figures, const tMachineState& machine,
                            double toleranceSteps);

}  // namespace trazvik::golden
