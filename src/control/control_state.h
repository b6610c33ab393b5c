// The flags of the job as the transfer, the monitoring loop and the pause
// and continue operations share them. The control side of a program owns
// one record and hands it to its parts.
#pragma once
#include "no_qt.h"

#include <atomic>
#include <cstdint>

namespace trazvik {

struct tControlState {
  // Transfer (TTransArm)
  bool transferActive = false;     // the controller takes commands in this phase
  bool jobStarted = false;         // "G" sent; the loop watches for the job's end
  double transmissionPercent = 0;  // percent of the job file sent
  std::int32_t lastFilePos = 0;    // file position when the transfer stopped
  // The transfer was stopped by a lost link: the job did not run to its
  // end, so the loop must not report it as finished.
  bool transferInterrupted = false;
  // The controller's echo of a job command was wrong before the job was
  // started: the transfer sends nothing (not even the start) until the
  // operator continues.
  bool transferHeld = false;
  // The faulty link has been told (once per run of unreadable replies).
  bool linkFaultTold = false;
  // Machine requests (buttons, overload) seen by the transfer's status
  // reads since the last monitoring step: a controller reports a press
  // once, so a read that is not the loop's must not swallow it.
  std::uint64_t requestsSeen = 0;

  // Pause, continue, machine requests
  bool jobPaused = false;
  bool runRequested = false;
  bool pausedFromPc = false;
  bool pausedFromMachine = false;
  // Written by the bitmap engraving worker and by this side.
  std::atomic<bool> engravingRunning{false};
  std::atomic<bool> engravingStopRequested{false};
  // The engraving worker uses the link (it hands the monitoring step to
  // the interface thread itself); the timer leaves the link alone.
  std::atomic<bool> engravingHoldsLink{false};

  // Monitoring loop
  bool driverErrorShown = false;
  bool signalPending = false;
  double lastSignalTime = 0;  // ms since midnight; 0 = no signal yet
  bool checkBaseMode = false;
  std::int32_t checkBaseInterval = 60;  // seconds
  bool saveLastPos = false;
  double lastPosInterval = 10;  // seconds
};

// The request bits a controller reports once: start, stop, continue and overload.
inline constexpr std::uint64_t machineRequestBits =
    (std::uint64_t{1} << 11) | (std::uint64_t{1} << 12) | (std::uint64_t{1} << 13) | (std::uint64_t{1} << 14);

// The operator switched the end-of-job signal off (the main window's button).
inline void stopEndOfJobSignal(tControlState& flags) {
  flags.signalPending = false;
  flags.lastSignalTime = 0;
}

}  // namespace trazvik
