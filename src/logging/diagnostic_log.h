// The diagnostic line log: single lines appended to a text file in the data
// folder, used by the job writer in test mode and by diagnostic commands.
#pragma once
#include "no_qt.h"

#include <optional>
#include <string>

namespace trazvik::logging {

// "Trazvik_" + the program's four-number version + ".log".
std::string defaultDiagnosticLogName();

// Appends `line` and CR LF to dataDirectory + fileName, creating the file.
// Nothing on success, else a message naming the file and the reason.
std::optional<std::string> appendDiagnosticLine(const std::string& dataDirectory, const std::string& line,
                                                const std::string& fileName = defaultDiagnosticLogName());

}  // namespace trazvik::logging
