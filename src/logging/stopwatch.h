// TStopWatch: running time of a job with its pauses left out.
#pragma once
#include "logging/date_time.h"

#include <string>

namespace trazvik::logging {

class TStopWatch {
 public:
  explicit TStopWatch(Clock clock);

  void Reset();
  // Nothing while already running.
  void Start();
  // Adds the running period to the elapsed time; nothing when not running.
  void Stop();
  void Restart();

  // Days of running time, the current period included while running.
  DateTime Elapsed() const;
  // Elapsed() as "hh:nn:ss".
  std::string ElapsedText() const;
  bool IsRunning() const { return FIsRunning; }

 private:
  Clock clock_;
  DateTime FStart = 0;
  DateTime FStop = 0;
  DateTime FElapsed = 0;
  bool FIsRunning = false;
};

}  // namespace trazvik::logging
