#include "machine/speed_code.h"

#include <cmath>

namespace trazvik {

std::uint32_t speedCodeOfScaledFeed(std::int64_t scaledFeed, const tCommandSet& set) {
  if (scaledFeed < set.minFeed || scaledFeed <= 0) return kNoSpeedCode;
  const double b = double(scaledFeed) * 100.0 / 60.0;
  const double divisor = set.wide ? set.speedFactor() * b * set.timerTick : b * set.timerTick;
  if (!(divisor > 0)) return kNoSpeedCode;
  const double code = std::nearbyint(1000000.0 / divisor);
  if (code >= 4294967295.0) return 0xFFFFFFFFu;
  return static_cast<std::uint32_t>(code);
}

std::uint32_t speedCode(double feedMmPerMin, const tCommandSet& set) {
  const double scaled = std::nearbyint(feedMmPerMin * set.speedMultiplier);
  if (!std::isfinite(scaled) || scaled > 1e12) return kNoSpeedCode;
  return speedCodeOfScaledFeed(static_cast<std::int64_t>(scaled), set);
}

std::optional<std::uint16_t> narrowSpeedCode(double feedMmPerMin, const tCommandSet& set) {
  const std::uint32_t code = speedCode(feedMmPerMin, set);
  if (code > 0xFFFF) return std::nullopt;
  return static_cast<std::uint16_t>(code);
}

std::int32_t periodToSpeed(std::int64_t period, const tCommandSet& set) {
  if (period <= 0) return set.minFeed;
  const double factor = set.wide ? set.speedFactor() : 1.0;
  const double divisor = factor * double(period) * set.timerTick;
  if (!(divisor > 0)) return set.minFeed;
  return static_cast<std::int32_t>(std::nearbyint(std::min(600000.0 / divisor, 2147483647.0)));
}

std::optional<double> feedOfSpeedCode(std::uint32_t code, const tCommandSet& set) {
  if (code == 0 || code == kNoSpeedCode || set.speedMultiplier <= 0) return std::nullopt;
  const double factor = set.wide ? set.speedFactor() : 1.0;
  const double b = 1000000.0 / (double(code) * set.timerTick * factor);
  return b * 60.0 / 100.0 / set.speedMultiplier;
}

}  // namespace trazvik
