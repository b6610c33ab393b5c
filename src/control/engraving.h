// "Wypal BMP": burning the bitmap of a project. The machine gets the travel
// feed, goes to the project's origin and forgets a stored job; the engraved
// size is checked against the working area and the work zero; then a new
// engraving worker builds the raster lines, the machine gets the engraving
// speed and the idle power, and the worker streams the lines. The program
// keeps one worker at a time: a new burn ends the previous one first.
#pragma once
#include "no_qt.h"

#include "control/bmp_thread.h"
#include "control/control_state.h"
#include "link/machine_ops.h"

#include <functional>
#include <memory>

namespace trazvik {

class TDlgkonfig;
class TMDIChild;
class TTransArm;
namespace texts {
class tInterfejs;
}

// Why a burn ended; `started` when the worker streams the lines.
enum class tBurnOutcome {
  noProject,
  notBitmap,
  noLink,
  machineBusy,
  startPosition,
  tooLarge,
  wrongZero,
  noLines,
  started
};
const char* burnOutcomeName(tBurnOutcome outcome);

// The run-up of a raster line at the engraving feed, millimetres: the
// distance the machine needs to reach that feed.
double runUpMm(const tMachineOps& ops, double workFeed);

struct tEngravingContext {
  tMachineOps& ops;
  tControlState& flags;
  TTransArm& transfer;
  TDlgkonfig& settings;
  const texts::tInterfejs& texts;
  // Queues a step for the interface thread (the worker's monitoring tick).
  std::function<void(std::function<void()>)> handOver{};
  // The control panel's monitoring tick, while the panel is shown.
  std::function<void()> monitoringTick{};
  std::function<void(bool)> busyCursor{};
};

class tEngraving {
 public:
  explicit tEngraving(tEngravingContext context) : ctx_(std::move(context)) {}
  ~tEngraving();

  // WypalBMP1Click: burns the bitmap of `project`.
  tBurnOutcome WypalBMP1Click(TMDIChild* project);
  // The worker exists (a paused one can be resumed).
  bool workerExists() const { return worker_ != nullptr; }
  // Resumes a paused worker.
  void resume();
  // Ends the worker and waits for it (a closing bitmap window, the program's end).
  void stop();
  // Whether the window of `project` (nullptr: the program) may close now.
  // A burn of that project that still streams goes on unless the operator
  // agrees to stop it; a paused one is stopped without asking. Stopping
  // ends the worker after its line: the beam off, the raster mode left,
  // the thread joined.
  bool mayClose(const TMDIChild* project);
  const tBMPThread* worker() const { return worker_.get(); }

 private:
  void error(const char* key) const;

  tEngravingContext ctx_;
  std::unique_ptr<tBMPThread> worker_;
  // The project the worker burns (compared only: its window may be gone).
  const TMDIChild* project_ = nullptr;
};

}  // namespace trazvik
