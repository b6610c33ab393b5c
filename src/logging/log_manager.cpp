#include "logging/log_manager.h"

#include "base/directories.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <utility>

namespace trazvik::logging {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<int> digitsAt(const std::string& s, std::size_t pos, std::size_t count) {
  if (pos + count > s.size()) return std::nullopt;
  int value = 0;
  for (std::size_t i = pos; i < pos + count; ++i) {
    if (!isDigit(s[i])) return std::nullopt;
    value = value * 10 + (s[i] - '0');
  }
  return value;
}

}  // namespace

TLogManager::TLogManager(std::string folder, Clock clock, std::string prefix)
    : clock_(std::move(clock)),
      FLogsDir(base::withFinalSeparator(std::move(folder))),
      FFileNamePrefix(std::move(prefix)) {
  base::ensureDirectory(FLogsDir);
}

std::string TLogManager::LogFileName() const {
  return FLogsDir + FFileNamePrefix + formatMonthStamp(clock_()) + FFileExtention;
}

bool TLogManager::matchesMask(const std::string& name) const {
  // prefix + "????_??" + extension, letter case of the fixed parts kept
  const std::size_t p = FFileNamePrefix.size();
  if (name.size() != p + 7 + FFileExtention.size()) return false;
  if (name.compare(0, p, FFileNamePrefix) != 0) return false;
  if (name[p + 4] != '_') return false;
  return name.compare(p + 7, std::string::npos, FFileExtention) == 0;
}

std::vector<std::string> TLogManager::LogFileList() {
  FLogFileList.clear();
  std::error_code ec;
  for (std::filesystem::directory_iterator it(FLogsDir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (it->is_regular_file(typeError) && matchesMask(name)) FLogFileList.push_back(name);
  }
  std::sort(FLogFileList.begin(), FLogFileList.end());
  return FLogFileList;
}

std::vector<std::string> TLogManager::DeleteOldFiles(int retentionDays) {
  std::vector<std::string> deleted;
  const DateTime now = clock_();
  const std::size_t p = FFileNamePrefix.size();
  for (const std::string& name : LogFileList()) {
    const auto year = digitsAt(name, p, 4);
    const auto month = digitsAt(name, p + 5, 2);
    if (!year || !month || *month < 1 || *month > 12) continue;
    const double wholeDays = std::floor(now - dateOf(*year, *month, 1));
    if (wholeDays > retentionDays) {
      std::error_code ec;
      if (std::filesystem::remove(FLogsDir + name, ec)) deleted.push_back(name);
    }
  }
  return deleted;
}

}  // namespace trazvik::logging
