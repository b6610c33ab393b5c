// TCutJob: the job being cut, as the job log describes it.
#pragma once
#include "logging/stopwatch.h"

#include <cstdint>
#include <functional>
#include <string>

namespace trazvik::logging {

// A new identifier: 32 upper-case hexadecimal digits in groups 8-4-4-4-12.
std::string newJobId();

// The text of a job state: "New", "Cut in progress", "Cut on hold", "Cut
// completed", "Cut stopped", else "Invalid state".
std::string jobStatusText(std::int32_t statusId);

class TCutJob {
 public:
  explicit TCutJob(Clock clock, std::function<std::string()> makeId = newJobId);

  void Reset();
  void RegisterNew(const std::string& machine, const std::string& projectFile, double cuttingLength,
                   double estimatedCuttingTime, std::int32_t cuttingAnglePause, std::int32_t cuttingSpeed,
                   double cuttingPower, const std::string& configFile);
  void RegisterStart();
  void RegisterPause();
  void RegisterContinue();
  void RegisterFinish();
  // The operator abandoned the job before its end.
  void RegisterStop();
  // Only while in progress: finish time and duration brought up to now.
  void UpdateDuration();

  std::string FJobID;
  std::string FMachine;
  std::string FProjectFile;
  std::string FConfigFile;
  std::string FStatusStr;
  std::int32_t FStatusId = 0;
  DateTime FStartTime = 0;
  DateTime FFinishTime = 0;
  DateTime FDuration = 0;
  float FCuttingPower = 0;
  std::int32_t FCuttingSpeed = 0;
  std::int32_t FCuttingAnglePause = 0;
  std::int32_t FEstimatedCuttingTime = 0;
  double FCuttingLenght = 0;
  // Why the job stopped short of its end (a lost or faulty link, a stalled
  // controller); empty otherwise. Written as the job's Note.
  std::string FNote;
  // The design file's fingerprint when the job was written (a job taken
  // up again must be cut from the same file) and, for such a job, where
  // and how it was taken up; empty when not known or not a resumed job.
  std::string FProjectHash;
  std::string FResumedFrom;
  TStopWatch FStopWatch;

 private:
  void setStatus(std::int32_t id);

  Clock clock_;
  std::function<std::string()> makeId_;
};

}  // namespace trazvik::logging
