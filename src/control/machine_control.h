// The control side of the program in one piece, over the machine
// connection: the context, the job transfer, the control panel's loop and
// the pause, continue and repeat commands, wired to each other and to the
// connection's status reads, operations, interface queue and watchdog.
// The desktop program and the command-line tool make one and run
// timerEvent() every interval() milliseconds.
#pragma once
#include "no_qt.h"

#include "control/control_context.h"
#include "control/job_commands.h"
#include "control/trans_arm.h"
#include "control/tster.h"
#include "link/machine_connection.h"

#include <string>

namespace trazvik {

class tMachineControl {
 public:
  // Works on the connection's machine state.
  tMachineControl(tMachineConnection& connection, const texts::tInterfejs& texts, std::string dataDirectory);
  tMachineControl(const tMachineControl&) = delete;
  tMachineControl& operator=(const tMachineControl&) = delete;

  // One beat of the panel's timer: plugging, the connection's queued
  // events and watchdog, then the panel's timer event.
  void timerEvent();
  int interval() const { return panel.interval(); }

  // The job's flags; the context and every part it reaches share them.
  tControlState flags;
  tControlContext context;
  TTransArm transfer;
  Tster panel;
  tJobCommands commands;

 private:
  tMachineConnection& connection_;
};

}  // namespace trazvik
