// "LastPosition.txt": where the tool was and how far the job had been sent,
// written while cutting so that an interrupted job can be found again.
#pragma once
#include "no_qt.h"

#include "machine/plot_state.h"

#include <cstdint>
#include <optional>
#include <string>

namespace trazvik {

struct tLastPositionValues {
  double x = 0, y = 0, z = 0;  // mm: abspos - pos0 for X and Y, abspos + pos0 for Z
  std::string timeOfDay;       // "13:04:05"
  double transmissionPercent = 0;
  std::optional<std::int64_t> filePos;  // the transfer is open
  std::int32_t lastFilePos = 0;
  std::int32_t usbReadErrors = 0, usbWriteErrors = 0;
};

tLastPositionValues lastPositionOf(const tplotstate& st);

// The file's text, every line ending with CR LF.
std::string lastPositionText(const tLastPositionValues& v);

// "HH:MM:SS" of a time of day in milliseconds since midnight.
std::string longTimeText(double msSinceMidnight);

}  // namespace trazvik
