// The control side of a program in one piece, over its machine connection:
// the control loop (job transfer, control panel, pause, continue and repeat),
// the event and job logs following every job, the settings snapshot the loop
// reads, and the start of cutting with its variants bound to the
// connection's operations and the transfer. The desktop program and the
// command-line tool each make one and add only their hooks (output, boxes,
// cursor, dialogs) and run timerEvent() on their own timer every
// interval() milliseconds.
#pragma once
#include "no_qt.h"

#include "control/base_check.h"
#include "control/control_logs.h"
#include "control/control_settings.h"
#include "control/engraving.h"
#include "control/job_progress.h"
#include "control/job_resume.h"
#include "control/machine_control.h"
#include "control/ops_start_machine.h"
#include "control/start_of_cutting.h"
#include "link/machine_connection.h"
#include "logging/app_logs.h"

#include <functional>
#include <memory>
#include <string>

namespace trazvik {

// How taking up an interrupted job went: `started`, or why not with the
// message the operator is to see.
struct tResumeResult {
  bool started = false;
  tVariantOutcome variant = tVariantOutcome::noProject;  // when the start path ran
  std::string message;                                   // why not, when not started
  int figure = -1;                                       // the figure the job was taken up at
};

struct tCuttingSessionSetup {
  std::string dataDirectory;  // ends with "/": "out.cnx" and the loop's files
  base::StartupSwitches switches;
  logging::AppLogs* logs = nullptr;  // the event and job logs; none: no logs
  std::string windowCaption;         // the main window's caption (base-check reports)
};

class tCuttingSession {
 public:
  // Works on the connection's machine state.
  tCuttingSession(tMachineConnection& connection, TDlgkonfig& settings, const texts::tInterfejs& texts,
                  tCuttingSessionSetup setup);
  tCuttingSession(const tCuttingSession&) = delete;
  tCuttingSession& operator=(const tCuttingSession&) = delete;

  tMachineControl control;
  // "Wypal BMP" and the engraving worker it starts (the start of a bitmap
  // project comes here too).
  tEngraving engraving;
  // The base check of the panel and the base-check mode of every job.
  tBaseCheck baseCheck;

  // The project the machine's own start button starts (none: nothing).
  std::function<TMDIChild*()> activeProject;
  // A start or variant ran (the window redraws the rebuilt toolpaths).
  std::function<void()> afterStart;
  // Every event of the job's life, after the logs have taken it.
  std::function<void(const tControlEvent&)> onEvent;

  // The control panel's creation: the machine type cache, the machine read
  // and identified, the loop's pace.
  void createPanel() { control.panel.FormCreate(switches_); }
  // The loop's copy of the settings, taken again (start-up, after the
  // settings dialog).
  void takeSettings(const tControlSettings& snapshot);

  // The start's context: the program sets the operator's head choice, the
  // settings file's name and its window hooks (cursor, layer dialog, ...).
  tStartContext& startContext() { return startContext_; }
  // Start1Click on `project`, and the variants on its selected figure. A
  // start asked for while one runs (the machine's button during the
  // start's waits) is not run again.
  tStartOutcome Start1Click(TMDIChild* project);
  tVariantOutcome cutSelection(TMDIChild* project, tJobScope scope);
  // Burns the bitmap of `project` (WypalBMP1Click).
  tBurnOutcome WypalBMP1Click(TMDIChild* project);
  tBurnOutcome lastBurnOutcome() const { return lastBurnOutcome_; }
  const tStartOfCutting& start() const { return start_; }
  tStartOutcome lastOutcome() const { return lastOutcome_; }
  tVariantOutcome lastVariantOutcome() const { return lastVariantOutcome_; }

  // One beat of the loop; the job's progress record follows it.
  void timerEvent();
  int interval() const { return control.interval(); }

  // The interrupted job of the data folder (nothing when there is none;
  // `error` tells why when its files do not belong together).
  std::optional<tInterruptedJob> interruptedJob(std::string& error) const;
  // Reads the controller and tells where `job` can be taken up and how far
  // that can be trusted. A controller found without its job is noted in
  // the job's record: the machine must be homed before it goes on.
  tResumePoint resumePoint(tInterruptedJob& job);
  // Takes `job` up at `point` by the start-from-selected path, from the
  // interrupted figure or the next one. Refused, with the reason, when the
  // design file is not the job's or changed, when the machine must be
  // homed first, when it still moves, or when nothing is left to cut.
  tResumeResult resume(TMDIChild* project, const tInterruptedJob& job, const tResumePoint& point, tResumeChoice choice);
  // The default choice for this machine and settings.
  tResumeChoice defaultChoice() const;
  // The program closes over a job the operator chose to keep (paused, its
  // transfer ended): the record is cut off where the sending stopped, a
  // count this program knows exactly, so the job is taken up from there.
  void closingOverJob();
  // The job being followed (its record beside the job file).
  const tJobFollower& follower() const { return follower_; }

 private:
  // The job's travel height for pause and continue.
  void started();
  // Base-check mode: the job's report begun, the machine at its reference
  // point and homed twice.
  void baseCheckStart(const TMDIChild& project);
  tBaseCheckJobInfo baseCheckInfo(const TMDIChild& project) const;

  tMachineConnection& connection_;
  base::StartupSwitches switches_;
  std::string windowCaption_;
  std::unique_ptr<tControlLogs> logs_;
  tOpsStartMachine startMachine_;
  tStartContext startContext_;
  tStartOfCutting start_;
  bool starting_ = false;
  void followJob();
  tJobFollower follower_;
  std::string resumeNote_;  // the job log's note of a resume in progress
  tStartOutcome lastOutcome_ = tStartOutcome::noProject;
  tVariantOutcome lastVariantOutcome_ = tVariantOutcome::noProject;
  tBurnOutcome lastBurnOutcome_ = tBurnOutcome::noProject;
};

}  // namespace trazvik
