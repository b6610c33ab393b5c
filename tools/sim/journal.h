// The journal of a simulated controller: every job command it executed, in
// order, one line of hexadecimal bytes each. A fault soak compares it with
// the job file to see that no command ran twice or was skipped.
#pragma once
#include "no_qt.h"

#include "machine/byte_fields.h"

#include <string>
#include <vector>

namespace trazvik::sim {

bool writeJournal(const std::vector<Bytes>& commands, const std::string& path, std::string& error);

}  // namespace trazvik::sim
