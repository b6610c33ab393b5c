// TJobLogger: one XML file per job in the folder "Jobs", rewritten whole at
// every change, so that another program can follow the machine's work.
#pragma once
#include "logging/cut_job.h"

#include <optional>
#include <string>

namespace trazvik::logging {

class TJobLogger {
 public:
  // Disabled until `FEnabled` is set.
  TJobLogger(TCutJob& job, std::string folder, DateTimeText xmlTime, char decimalSeparator);

  // When enabled: writes the job's document to folder + FJobFile, creating
  // the folder. Nothing on success (or when disabled), else a message naming
  // the file and the reason; the earlier file is then left intact.
  std::optional<std::string> StoreJob();
  // The document StoreJob writes.
  std::string JobDocument() const;
  // "JOB_" + start time "yyyy_mm_dd_hh_nn_ss" + "_" + identifier + ".xml".
  std::string JobFileName() const;

  const std::string& FJobFileName() const { return FJobFile; }
  const std::string& FStoragePathName() const { return FStoragePath; }
  std::string JobFilePath() const { return FStoragePath + FJobFile; }

  bool FEnabled = false;

 private:
  TCutJob& FJob;
  std::string FJobFile;
  std::string FStoragePath;
  DateTimeText xmlTime_;
  char separator_;
};

}  // namespace trazvik::logging
