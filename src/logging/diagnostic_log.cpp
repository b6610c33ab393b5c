#include "logging/diagnostic_log.h"

#include "base/directories.h"
#include "base/version_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace trazvik::logging {

std::string defaultDiagnosticLogName() { return "Trazvik_" + base::programVersionText() + ".log"; }

std::optional<std::string> appendDiagnosticLine(const std::string& dataDirectory, const std::string& line,
                                                const std::string& fileName) {
  const std::string path = base::withFinalSeparator(dataDirectory) + fileName;
  const std::string text = line + "\r\n";
  std::FILE* f = std::fopen(path.c_str(), "ab");
  if (!f) return path + ": " + std::strerror(errno);
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const int error = errno;
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) return path + ": " + std::strerror(error != 0 ? error : EIO);
  return std::nullopt;
}

}  // namespace trazvik::logging
