#include "job/speed_suffix.h"

#include "machine/commands_basic.h"
#include "job/corner_planner.h"

#include <cmath>

namespace trazvik {

void tNarrowSpeedLimits::lift(Bytes& out) {
  if (active_) {
    const Bytes l = segmentLimitCommand(kFreeCode);
    out.insert(out.end(), l.begin(), l.end());
  }
  active_ = false;
  // Once lifted the controller holds no limit; a later limit close to the
  // one held before must be written again.
  limit_ = kFreeCode;
}

void tNarrowSpeedLimits::appendSuffix(Bytes& out, std::uint16_t code) {
  if (code < kFirstLimitCode) {
    lift(out);
    return;
  }
  if (code == kStopCode) {
    lift(out);
    const Bytes pause = pauseCommand(gcodeProgram_ ? 20 : 1);
    out.insert(out.end(), pause.begin(), pause.end());
    return;
  }
  if (!gcodeProgram_ && std::abs(double(code) - double(limit_)) / double(limit_) <= 0.1) return;
  const Bytes l = segmentLimitCommand(code);
  out.insert(out.end(), l.begin(), l.end());
  active_ = true;
  limit_ = code;
}

tCarriedSpeed tWideSpeedCarriage::carry(std::uint16_t code) {
  const bool stop = code == kStopCode;
  if (gcodeProgram_) return {code, stop};
  current_ = code < kFirstLimitCode ? kFreeCode : code;
  return {current_, stop};
}

}  // namespace trazvik
