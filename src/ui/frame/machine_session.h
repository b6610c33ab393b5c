#pragma once
#include "frame/program_context.h"

#include "app/multi_test.h"
#include "control/base_points.h"
#include "control/cutting_session.h"
#include "control/cut_track.h"
#include "control/job_display.h"
#include "control/jog_panel.h"
#include "link/machine_connection.h"
#include "logging/app_logs.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace trazvik::ui {

class ControlPanel;
class Tprzesun;
struct MoveWindowTests;
struct ToolLengthSetup;
class CuttingCommands;
struct SettingsDialogHooks;
class MainWindow;
class MultiTestWindow;

// The machine side of the desktop program: the connection (USB and
// Ethernet), the core's cutting session (the control panel's loop, the job
// transfer, the start, the pause, continue and repeat commands, the logs)
// with the panel's window ("sterowanie"), the jog and tool controls, wired
// to the main window. The program's monitoring timer runs
// step() every interval() milliseconds; the panel window is refreshed after
// each step.
class MachineSession {
 public:
  // `logs` (may be null) follow every job the session starts or watches.
  MachineSession(ProgramContext& context, MainWindow& mainWindow, MachinePorts ports = {},
                 logging::AppLogs* logs = nullptr, const HidServiceFactory& hidService = {});
  ~MachineSession();
  MachineSession(const MachineSession&) = delete;
  MachineSession& operator=(const MachineSession&) = delete;

  // The connection's and the panel's creation (its window as well), and the
  // main window's hooks.
  void start();
  // Told the loop's interval after every step (the program's timer follows it).
  std::function<void(int milliseconds)> intervalChanged;
  // The panel's timer on or off; step() does nothing while it is off.
  void enableMonitoring(bool on) { control_->panel.setTimerEnabled(on); }
  void step();
  // The control side's copy of the settings, taken again (after the dialog).
  void takeSettings();
  int interval() const;
  // The connection ends (its watchdog first); called before the windows go.
  void shutdown();

  // The settings' Ethernet box is on and a controller address is set.
  bool ethernetWanted() const;
  MachineFacts facts() const;
  // The job's progress as the status bar shows it.
  tJobDisplay jobDisplay() const;
  // The close query: without a job the program closes; with one the
  // operator is asked (see tJobCommands::mayCloseProgram); a job kept for
  // resuming has its record cut off where the sending stopped.
  bool mayClose();

  tMachineControl& control() { return *control_; }
  tMachineConnection& connection() { return *connection_; }
  ControlPanel& panelWindow() { return *panelWindow_; }
  CuttingCommands& cutting() { return *cutting_; }
  tCuttingSession& cuttingSession() { return *cuttingSession_; }
  // True while a machine operation waits for the controller (the window's
  // events run meanwhile, but no other machine operation may start).
  bool waiting() const { return waiting_ > 0; }
  tJogPanel& jog() { return *jog_; }
  // "sterowanie": the control panel shown and brought to the front.
  void showPanel();
  // The settings dialog's controller actions on this connection: the
  // controller's address, the position, the acceleration, the machine's
  // calibration factors. `hooks` must outlive the session (which clears
  // them when it ends).
  void bindSettingsDialog(SettingsDialogHooks& hooks);
  // The remembered work zeros of the base points window ("base.txt").
  tBasePointList& basePoints() { return basePoints_; }

 private:
  ProgramContext& context_;
  MainWindow& main_;
  MachinePorts ports_;
  logging::AppLogs* appLogs_;
  // What is known about the connected machine; the connection and the
  // control side work on it.
  tMachineState machine_;
  std::unique_ptr<tMachineConnection> connection_;
  std::unique_ptr<tCuttingSession> cuttingSession_;
  tMachineControl* control_ = nullptr;  // the cutting session's
  std::unique_ptr<CuttingCommands> cutting_;
  std::unique_ptr<tJogPanel> jog_;
  // Goes before the objects its actions reach.
  std::unique_ptr<ControlPanel> panelWindow_;
  bool panelPlaced_ = false;
  Tprzesun* moveWindow_ = nullptr;  // the "Move" window, owned by the panel window

  int waiting_ = 0;
  double jobEstimateSeconds_ = 0;  // the started project's estimate
  // The tool and the part cut of the job; the project view draws from it.
  std::shared_ptr<tCutTrack> track_ = std::make_shared<tCutTrack>();
  void showJobState();
  // The tool and the part cut drawn over the active project's plan.
  void followTool(const tJobDisplay& progress);
  bool stepping_ = false;
  bool wasEthernet_ = false;
  std::vector<std::string> attached_;
  SettingsDialogHooks* settingsHooks_ = nullptr;
  tBasePointList basePoints_;
  std::unique_ptr<app::TMultiTest> multiTest_;
  std::unique_ptr<app::tMultiTestRun> multiTestRun_;
  MultiTestWindow* multiTestWindow_ = nullptr;  // owned by the main window
  bool basePointsLoaded_ =
      false;  // an unreadable "base.txt" is never overwritten  // the Ethernet link was up at the last step

  // The box that offers to take an interrupted job up again, from figure N
  // or from the one after it; asked when the link comes up (at start and
  // after a loss), never while a job runs.
  void offerResume();
  bool linkWasUp_ = false;
  bool offeringResume_ = false;

  void createPanelWindow();
  // The panel's "Set project zero" with the base points window; the list
  // is read from and written back to the data folder.
  void attachSetZero();
  // The panel's "Tool length" with the tool length window.
  void attachToolLength();
  void attachHeadPanel(ToolLengthSetup& setup);
  // The outputs window and the main window's tool measurement button.
  void attachPanelWindows();
  // The "Move" window's service tests on this connection.
  MoveWindowTests moveWindowTests();
  void loadBasePoints();
  void saveBasePoints();
  void attachCommands();
  // The multi-project tests: the test window, the run over its list and
  // the next item at each job's end.
  void attachMultiTest();
  void showMultiTest();
  std::string startTestItem(const app::TMultiTestDane& item);
  // A main window command that calls into the session, undone by detach().
  void attach(const std::string& name, std::function<void()> command);
  void detach();
  // The link operations' waits, message boxes and STOP, on this window.
  void bindInterface();
  void pumpWhileWaiting(std::chrono::milliseconds duration);
  // The command, refused while an operation waits for the controller.
  std::function<void()> unlessWaiting(std::function<void()> command);
};

}  // namespace trazvik::ui
