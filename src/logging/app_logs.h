// The program's logs with the hooks the rest of the program calls: the
// monthly event log (text, and XML with "SaveLogToXML") in the data
// folder's "Logs", and with "JobLogging" the job log in "Jobs". Start,
// pause, continuation and end of a job each have one hook, which writes the
// event and drives the job record and both stopwatches. The one-second
// timer of the caller drives JobTimeDisplayTimer.
#pragma once
#include "logging/cut_job.h"
#include "logging/event_logger.h"
#include "logging/job_logger.h"
#include "logging/log_manager.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace trazvik::texts {
class MessageBoxes;
}

namespace trazvik::logging {

struct LogSetup {
  std::string dataDirectory;                 // the program's data folder
  bool saveLogToXml = false;                 // switch "SaveLogToXML"
  bool jobLogging = false;                   // switch "JobLogging"
  const texts::tInterfejs* texts = nullptr;  // none: built-in English texts
  texts::MessageBoxes* boxes = nullptr;      // where write failures are reported
  Clock clock = systemClock();
  DateTimeText xmlTime = userDateTimeText();
  char decimalSeparator = '.';
  std::function<std::string()> makeJobId = newJobId;
};

// What the start of a job records.
struct CutStartInfo {
  std::string projectCaption;   // the project's file path
  std::string settingsCaption;  // the current settings file path
  std::string machine;          // the controller's identification text
  double workSpeed = 0;         // WorkSpeed, mm/min
  double workPower = 0;         // work_power
  double toolDiameter = 0;      // srednica with doOutline, else 0
  double estimatedCuttingTime = 0;
  double cuttingLength = 0;
  std::string projectHash;  // fingerprint of the design file (base::fileContentHash)
  std::string resumedFrom;  // a job taken up again: where and how; empty otherwise
};

// Retention of the monthly text logs, in days.
inline constexpr int kLogRetentionDays = 92;

class AppLogs {
 public:
  // log_init: folders, deletion of old text logs, the logger objects.
  explicit AppLogs(LogSetup setup);

  // Data lines of log_start_app besides the version: program file and the
  // global configuration with its settings file.
  void log_start_app(const std::string& programFile, const std::string& programVersion);
  void log_end_app();
  void log_cut_start(const CutStartInfo& info);
  void log_cut_stop();
  void log_cut_continue();
  void log_cut_end();
  // The operator stopped the job for good: the job log is closed as stopped.
  void log_cut_abandoned();
  // The job stopped where it was because the link went away: a stop event
  // whose data say where the job file was left; the job log shows it on
  // hold. Nothing claims the job ended.
  void log_cut_interrupted(const std::string& where);
  // The one-second timer: every tenth call while a logged job runs brings
  // its duration up to date and stores it.
  void JobTimeDisplayTimer();

  TLogManager& manager() { return *manager_; }
  TEventLogger& eventLogger() { return *eventLogger_; }
  TCutJob& job() { return *job_; }
  TJobLogger& jobLogger() { return *jobLogger_; }
  const TStopWatch& stopwatch() const { return *stopwatch_; }
  bool saveLogToXml() const { return setup_.saveLogToXml; }
  bool jobLogging() const { return jobLogger_->FEnabled; }

  // Files written so far (text log, XML log, job files), without repeats.
  const std::vector<std::string>& filesWritten() const { return filesWritten_; }
  // Failures reported so far.
  const std::vector<std::string>& failures() const { return failures_; }

 private:
  void writeEvent();
  void storeJob();
  void report(const std::optional<std::string>& failure, const std::string& file);
  std::string text(const char* key) const;
  std::string elapsedLine() const;

  LogSetup setup_;
  std::unique_ptr<TStopWatch> stopwatch_;
  std::unique_ptr<TLogManager> manager_;
  std::unique_ptr<TEventLogger> eventLogger_;
  std::unique_ptr<TCutJob> job_;
  std::unique_ptr<TJobLogger> jobLogger_;
  int updateCount_ = 0;
  std::vector<std::string> filesWritten_;
  std::vector<std::string> failures_;
};

}  // namespace trazvik::logging
