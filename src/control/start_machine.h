// The machine as the start of cutting sees it: the status, the immediate
// command operations it runs and the job transfer it hands the job to. The
// program binds it to the link operations and the timer-driven transfer;
// tests put a recording machine behind it.
#pragma once
#include "no_qt.h"

#include "geometry/bytes.h"
#include "machine/link_state.h"
#include "machine/machine_params.h"
#include "machine/plot_state.h"

#include <chrono>
#include <cstdint>

namespace trazvik {

class tStartMachine {
 public:
  virtual ~tStartMachine() = default;

  // The controller answers (USB present or the Ethernet link up).
  virtual bool linkUp() = 0;
  virtual tplotstate& state() = 0;
  virtual const tMachineModel& model() = 0;
  virtual tLinkState& link() = 0;

  virtual void readState() = 0;
  // False when the link cannot report the inputs (over Ethernet).
  virtual bool readInputs() = 0;
  // True when the machine came to rest.
  virtual bool waitWhileBusy() = 0;
  virtual void send(const Bytes& command) = 0;
  virtual void sleep(std::chrono::milliseconds duration) = 0;

  // Speed code of a feed in mm/min (already multiplied by speedMultiplier).
  virtual std::uint32_t speedToPeriod(std::int64_t feed) = 0;
  // Safe three-stage move to x, y, z in mm relative to the work zero.
  virtual bool moveToPoint(std::uint8_t slot, double z, double y, double x) = 0;
  // Head i (0 to 2) selected and switched on with its offsets.
  virtual void activateHead(int head) = 0;
  // Idle and working powers in percent, then the tool on (not on a laser).
  virtual void setStartPowers(double idle, double work) = 0;
  // The tangential knife turned to the direction (dx, dy).
  virtual void rotateKnifeTo(double dx, double dy) = 0;

  // The timer-driven job transfer.
  virtual bool transferOpen() = 0;
  virtual void stopTransfer() = 0;
  // Opens the job file and starts sending it; false when it cannot be read.
  virtual bool startTransfer() = 0;
};

}  // namespace trazvik
