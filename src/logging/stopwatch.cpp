#include "logging/stopwatch.h"

#include <utility>

namespace trazvik::logging {

TStopWatch::TStopWatch(Clock clock) : clock_(std::move(clock)) {}

void TStopWatch::Reset() {
  FStart = FStop = FElapsed = 0;
  FIsRunning = false;
}

void TStopWatch::Start() {
  // A second start while running would drop the running period.
  if (FIsRunning) return;
  FStart = clock_();
  FIsRunning = true;
}

void TStopWatch::Stop() {
  if (!FIsRunning) return;
  FStop = clock_();
  FElapsed += FStop - FStart;
  FIsRunning = false;
}

void TStopWatch::Restart() {
  Reset();
  Start();
}

DateTime TStopWatch::Elapsed() const { return FIsRunning ? FElapsed + (clock_() - FStart) : FElapsed; }

std::string TStopWatch::ElapsedText() const { return formatDuration(Elapsed()); }

}  // namespace trazvik::logging
