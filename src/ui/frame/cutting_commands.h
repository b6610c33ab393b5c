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
class ProjectWindow;

// The main window's cutting commands over the core's start of cutting, bound
// to the machine connection's operations and the timer-driven transfer:
// Start ("Start1", the START button) checks the active project window's
// project against the machine, writes it into "out.cnx" of the data folder
// and hands it to the transfer, which the monitoring loop then streams to
// its end; "Tnijwybran1" and "Startodwybranej1" do the same for the
// selected figure alone or from it on. The event and job logs follow every
// started job.
class CuttingCommands {
 public:
  CuttingCommands(ProgramContext& context, MainWindow& mainWindow, tMachineConnection& connection,
                  tMachineControl& control, tControlLogs* logs);
  CuttingCommands(const CuttingCommands&) = delete;
  CuttingCommands& operator=(const CuttingCommands&) = delete;

  // Start1Click on the active project (none: nothing happens).
  tStartOutcome start();
  tStartOutcome lastOutcome() const { return lastOutcome_; }
  // The selected figure alone, or it and every later one.
  tVariantOutcome cutSelected(tJobScope which);
  tVariantOutcome lastVariantOutcome() const { return lastVariantOutcome_; }
  const tStartOfCutting& startOfCutting() const { return *start_; }

 private:
  void prepareStart();
  // The window after a start or variant: toolpaths redrawn, menus updated.
  void afterStart(ProjectWindow* window);

  ProgramContext& context_;
  MainWindow& main_;
  tMachineConnection& connection_;
  tMachineControl& control_;
  tControlLogs* logs_;
  tOpsStartMachine machine_;
  std::unique_ptr<tStartContext> startContext_;
  std::unique_ptr<tStartOfCutting> start_;
  tStartOutcome lastOutcome_ = tStartOutcome::noProject;
  tVariantOutcome lastVariantOutcome_ = tVariantOutcome::noProject;
  bool starting_ = false;
};

}  // namespace trazvik::ui
