#pragma once
#include "frame/program_context.h"

#include "control/control_logs.h"
#include "control/machine_control.h"
#include "control/ops_start_machine.h"
#include "control/start_of_cutting.h"
#include "link/machine_connection.h"

#include <memory>
#include <string>

namespace trazvik::ui {

class MainWindow;

// The main window's Start ("Start1", the START button) over the core's start
// of cutting, bound to the machine connection's operations and the
// timer-driven transfer: the active project window's project is checked
// against the machine, written into "out.cnx" of the data folder and handed
// to the transfer, which the monitoring loop then streams to its end. The
// event and job logs follow every started job.
class CuttingCommands {
 public:
  CuttingCommands(ProgramContext& context, MainWindow& mainWindow, tMachineConnection& connection,
                  tMachineControl& control, tControlLogs* logs);
  CuttingCommands(const CuttingCommands&) = delete;
  CuttingCommands& operator=(const CuttingCommands&) = delete;

  // Start1Click on the active project (none: nothing happens).
  tStartOutcome start();
  tStartOutcome lastOutcome() const { return lastOutcome_; }
  const tStartOfCutting& startOfCutting() const { return *start_; }

 private:
  void prepareStart();

  ProgramContext& context_;
  MainWindow& main_;
  tMachineConnection& connection_;
  tMachineControl& control_;
  tControlLogs* logs_;
  tOpsStartMachine machine_;
  std::unique_ptr<tStartContext> startContext_;
  std::unique_ptr<tStartOfCutting> start_;
  int writerHead_ = 0;  // the head the start chose, read by the job writer
  tStartOutcome lastOutcome_ = tStartOutcome::noProject;
  bool starting_ = false;
};

}  // namespace trazvik::ui
