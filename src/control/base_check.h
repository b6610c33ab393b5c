// The base check and the base-check mode of a job. The check sends the
// machine to its reference point and lets the controller re-find each
// axis's reference switch; the positions it leaves are the deviations in
// millimetres. In base-check mode every job gets a report: its header at
// the start, a line whenever the job buffer ran empty, a measurement every
// checkBaseInterval seconds (the job paused, checked and continued), one
// more at the end with the summary, and a line in the global report. A
// deviation above 0.5 mm ends the test with the job left paused.
#pragma once
#include "no_qt.h"

#include "control/base_check_report.h"
#include "control/control_context.h"
#include "control/job_commands.h"
#include "link/machine_ops.h"
#include "logging/date_time.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace trazvik {

// One check during a job, for whoever follows them (the CLI's chart).
struct tBaseCheckMeasurement {
  double elapsedSeconds = 0;  // since the job's start
  trpoint3d deviationMm;
  bool beyondLimit = false;
};

class tBaseCheck {
 public:
  tBaseCheck(tControlContext& context, tMachineOps& ops, tJobCommands& commands);

  // btnSprawdzBazeClick: travel slot at the highest feed, to the machine's
  // reference point, then the check of X, Y and Z. Returns the deviations
  // (mm); nothing when no controller answers, a job runs (nothing is sent
  // then) or the machine did not come to rest.
  std::optional<trpoint3d> btnSprawdzBazeClick();

  // The start of a job in base-check mode: statistics reset, start time
  // now, the report created with its header.
  void startOfJob(const tBaseCheckJobInfo& info);
  // Called by every timer event (forced false) and at the end of a job.
  void baseCheckMonitor(bool forced);
  // The end of a job: one last check at once, the summary lines and the
  // global line "Ok" (nothing more when the test was already aborted).
  void endOfJob();
  // One line of the global report with the job's result.
  void baseCheckReportLine(const std::string& result);
  // A line of the report with the elapsed time of the job before it.
  void appendTimed(const std::string& text);
  void appendLines(const std::vector<std::string>& lines);

  const tMinMax& chkOdchylki() const { return chkOdchylki_; }
  const std::string& reportPath() const { return reportPath_; }
  std::string globalReportPath() const { return ctx_.dataDirectory + kGlobalReportName; }
  logging::DateTime startTime() const { return startTime_; }
  // The job's test ended above the limit.
  bool aborted() const { return aborted_; }
  // The checks of the current job so far.
  const std::vector<tBaseCheckMeasurement>& measurements() const { return measurements_; }

  // The index of the figure nearest to a point (mm from the work zero) of
  // the active project; nothing for a G-code project or without one.
  std::function<std::optional<int>(double x, double y)> nearestFigure;
  std::function<void(const tBaseCheckMeasurement&)> onMeasurement;
  logging::Clock clock = logging::systemClock();
  logging::DateTimeText dateTimeText = logging::userDateTimeText();
  char decimalSeparator = '.';

 private:
  void periodicCheck();
  std::string elapsedText() const;
  bool append(const std::string& path, const std::vector<std::string>& lines);

  tControlContext& ctx_;
  tMachineOps& ops_;
  tJobCommands& commands_;
  tBaseCheckJobInfo info_;
  std::string reportPath_;
  logging::DateTime startTime_ = 0;
  logging::DateTime chkTime_ = 0;
  tMinMax chkOdchylki_ = emptyDeviations();
  std::uint64_t bylState_ = 0;
  bool aborted_ = false;
  bool checking_ = false;  // a check waits for the machine: no other starts
  bool writeFailureShown_ = false;
  std::vector<tBaseCheckMeasurement> measurements_;
};

// The network name of this computer (empty when it cannot be read).
std::string computerName();

}  // namespace trazvik
