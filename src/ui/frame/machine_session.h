#pragma once
#include "frame/program_context.h"

#include "control/machine_control.h"
#include "link/machine_connection.h"

#include <memory>

namespace trazvik::ui {

class MainWindow;

// The machine side of the desktop program: the connection (USB and
// Ethernet), the control panel's loop, the job transfer and the pause,
// continue and repeat commands, wired to the main window. The program's
// monitoring timer runs step() every interval() milliseconds.
class MachineSession {
 public:
  MachineSession(ProgramContext& context, MainWindow& mainWindow);
  ~MachineSession();
  MachineSession(const MachineSession&) = delete;
  MachineSession& operator=(const MachineSession&) = delete;

  // The connection's and the panel's creation, and the main window's hooks.
  void start();
  // The panel's timer on or off; step() does nothing while it is off.
  void enableMonitoring(bool on) { control_->panel.setTimerEnabled(on); }
  void step();
  // The control side's copy of the settings, taken again (after the dialog).
  void takeSettings();
  int interval() const;
  // The connection ends (its watchdog first); called before the windows go.
  void shutdown();

  MachineFacts facts() const;
  // The close query: no job is being sent, or the one being sent is paused
  // (its transfer is stopped then).
  bool mayClose();

  tMachineControl& control() { return *control_; }
  tMachineConnection& connection() { return *connection_; }

 private:
  ProgramContext& context_;
  MainWindow& main_;
  std::unique_ptr<tMachineConnection> connection_;
  std::unique_ptr<tMachineControl> control_;
};

}  // namespace trazvik::ui
