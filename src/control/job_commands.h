// Pause, continue and repeat of a job: the control panel's operations
// (Tster.wstrzymaj, Tster.kontynuuj) and the main window's commands that run
// them (Wstrzymaj1Click, Kontynuacja1Click, Powtrz1Click). A pause holds the
// job, lifts the tool out of the material, parks it at the travel height
// and switches it off, remembering where and with which tool it stopped; a
// continue brings the tool back along a safe path with the tool restarted
// and lets the controller go on.
#pragma once
#include "no_qt.h"

#include "control/control_context.h"
#include "control/trans_arm.h"
#include "control/tster.h"
#include "geometry/records.h"
#include "link/machine_ops.h"

#include <cstdint>

namespace trazvik {

struct tBreakPoint {
  trpoint3d breakpoint;  // hundredths of a mm relative to the work zero
  std::uint16_t breakPower = 0;
  std::uint8_t breakSelPower = 0;  // power slot, also the output mask of the tool in use
  bool breakPowerOn = false;
  std::int32_t breakAbsposV = 0;  // knife steps
};

class tJobCommands {
 public:
  static constexpr int inverterIdleReads = 10000;

  // Installs the pause into the panel's STOP handling and the pause and
  // continue commands into the main window hooks of the context.
  tJobCommands(tControlContext& context, tMachineOps& ops, Tster& ster, TTransArm& transArm);

  // ----- the panel's operations -----
  void wstrzymaj();
  void kontynuuj();
  // ----- the main window's commands -----
  void Wstrzymaj1Click();
  void Kontynuacja1Click();
  void Powtrz1Click();
  // "Stop job": after the operator's confirmation a running job is paused
  // (tool out of the material, parked and off), the transfer ends, the
  // controller's job memory is cleared ("C") and the job log is closed as
  // stopped. The job cannot be continued afterwards. Nothing without a job.
  void ZatrzymajZadanieClick();
  // A job is being sent, runs or is paused.
  bool jobActive() const;
  // The program's close query: without a job it may close. With one the
  // operator is asked; on Yes a running job is paused (tool parked and off)
  // and the transfer ends, while the controller keeps the job and the job
  // file and the job log stay, so that it can be continued or resumed.
  bool mayCloseProgram();

  const tBreakPoint& breakPoint() const { return break_; }

 private:
  void recordBreakPoint();
  void retractAndPark();
  void switchOff();
  void waitInverterIdle();
  bool restartTool();
  void returnToBreakPoint();
  void waitIdle();
  bool drillSlots() const { return ctx_.linkState().drillSlots; }

  tControlContext& ctx_;
  tMachineOps& ops_;
  Tster& ster_;
  TTransArm& trans_;
  tBreakPoint break_;
};

}  // namespace trazvik
