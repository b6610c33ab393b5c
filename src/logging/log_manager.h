// TLogManager: names the monthly log files of a folder and deletes the old
// ones.
#pragma once
#include "logging/date_time.h"

#include <string>
#include <vector>

namespace trazvik::logging {

enum class TDataStorageInterval { Day, Month, NoLimits };

class TLogManager {
 public:
  // Creates the folder with its parents when missing (a failure shows when
  // a log is written).
  TLogManager(std::string folder, Clock clock, std::string prefix = "Log_");

  // Folder + prefix + "yyyy_mm" of now + extension.
  std::string LogFileName() const;
  // Names (without folder) of the files matching prefix + "????_??" +
  // extension, sorted.
  std::vector<std::string> LogFileList();
  // Deletes the listed files whose month began more than `retentionDays`
  // whole days ago. Names without a valid year and month are left alone.
  // Returns the names deleted.
  std::vector<std::string> DeleteOldFiles(int retentionDays);

  void setExtension(std::string extension) { FFileExtention = std::move(extension); }
  const std::string& extension() const { return FFileExtention; }
  const std::string& folder() const { return FLogsDir; }
  TDataStorageInterval interval() const { return FDataStorageInterval; }

 private:
  bool matchesMask(const std::string& name) const;

  Clock clock_;
  std::string FLogsDir;
  std::string FFileNamePrefix;
  std::string FFileExtention = ".txt";
  TDataStorageInterval FDataStorageInterval = TDataStorageInterval::Month;
  std::vector<std::string> FLogFileList;
};

}  // namespace trazvik::logging
