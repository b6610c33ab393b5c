// Runs one motion of the simulated machine at a time in simulated time: a
// straight move of the axes, a dwell, homing or probing. Positions in the
// machine state follow the motion as it goes, so a status read during a move
// sees the tool in between; the finished (or interrupted) part goes into the
// tool trace.
#pragma once
#include "no_qt.h"

#include "machine_state.h"
#include "raster_burn.h"
#include "tool_trace.h"

#include <array>
#include <memory>
#include <optional>

namespace trazvik::sim {

struct AxisScale {
  double x = 1, y = 1, z = 1;  // steps per 0.01 mm (z 0: no Z axis)
};

enum class MotionKind { move, dwell, homing, probe };

struct Motion {
  MotionKind kind = MotionKind::move;
  TraceSource source = TraceSource::job;
  int head = 0;                   // whose Z the move drives
  std::array<double, 4> delta{};  // x, y, z, v in steps
  double durationUs = 0;
  double periodCode = 0;  // timer counts per path step (reported speed)
  // For homing and base checks: where each axis ends (steps), if it moves.
  std::array<std::optional<double>, 4> finalPosition{};
  // An engraving move: the pixels it burns along its way.
  std::shared_ptr<const RasterPass> raster;
};

class MotionExecutor {
 public:
  explicit MotionExecutor(AxisScale scale) : scale_(scale) {}

  bool busy() const { return current_.has_value(); }
  const std::optional<Motion>& current() const { return current_; }
  double currentPeriod() const { return current_ ? current_->periodCode : 0; }

  void start(const Motion& m, MachineState& st);
  // Runs for at most `us` microseconds; returns the time left over when the
  // motion ended before that (0 while it still runs).
  double advance(double us, MachineState& st, ToolTrace& trace);
  // Stops where the tool is now; returns what remained of the motion.
  std::optional<Motion> interrupt(MachineState& st, ToolTrace& trace);

  TracePoint toMillimetres(const MachineState& st, int head) const;

 private:
  void place(MachineState& st, double fraction) const;
  void record(MachineState& st, ToolTrace& trace, double fraction);
  void burn(MachineState& st, ToolTrace& trace, double fraction);

  AxisScale scale_;
  std::optional<Motion> current_;
  std::array<double, 4> start_{};
  double elapsedUs_ = 0;
  double recordedFraction_ = 0;
};

}  // namespace trazvik::sim
