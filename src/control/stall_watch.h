// The controller reports its job buffer full while the machine stands still:
// nothing is sent (the buffer-full bit is the only flow control), nothing
// moves, and without a word the operator would wait for ever. The watch
// follows the transfer's status reads and tells how long the machine has
// stood with its buffer full.
#pragma once
#include "no_qt.h"

#include "machine/plot_state.h"

#include <chrono>
#include <optional>
#include <string>

namespace trazvik {

class tStallWatch {
 public:
  using Clock = std::chrono::system_clock;

  // One status read of the transfer. The machine stands when neither
  // motion nor homing is reported, the job is not paused (a paused job
  // stands with a full buffer by right) and the motor positions are those
  // of the last read.
  void observe(const tplotstate& st, bool jobPausedHere, Clock::time_point now);
  // The buffer has room again, or the transfer ended.
  void reset();
  // Seconds the machine has stood with its buffer full; 0 when it does not.
  double seconds(Clock::time_point now) const;

 private:
  std::optional<Clock::time_point> since_;
  std::optional<tpoint4d> lastPosition_;
};

// "waiting for the controller: buffer full, machine idle for N s"
std::string controllerWaitText(double seconds);

}  // namespace trazvik
