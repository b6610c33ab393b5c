#include "job/ramp_lookup.h"

#include "machine/speed_code.h"

#include <algorithm>
#include <cmath>

namespace trazvik {

namespace {

std::int64_t rampMultiplier(const tSpeedPlanParams& p) { return std::max<std::int64_t>(p.rampStep, 0) + 1; }

// Smallest index i = k x stride with table[i] <= code, or `size` when the
// table never gets there. The tables fall monotonically, so the entries at
// the stride's positions do too and a binary search finds the first one.
template <typename Table>
std::size_t firstIndexNotAbove(const Table& table, double code, std::size_t stride) {
  const std::size_t positions = (table.size() - 1) / stride + 1;
  std::size_t lo = 0, hi = positions;
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (double(table[mid * stride]) <= code)
      hi = mid;
    else
      lo = mid + 1;
  }
  return lo == positions ? table.size() : lo * stride;
}

std::uint16_t wideRampLimit(std::int64_t distanceSteps, std::uint32_t nextCode, const tSpeedPlanParams& p) {
  const WideRampTable& table = *p.wideRamp;
  constexpr std::int64_t last = std::int64_t(std::tuple_size_v<WideRampTable>) - 1;
  const std::int64_t stride = std::max<std::int32_t>(p.rampStride, 1);
  const std::int64_t position =
      static_cast<std::int64_t>(std::nearbyint(double(distanceSteps) / double(rampMultiplier(p)))) * stride;
  if (position > last) return table[last];
  const std::size_t reached = firstIndexNotAbove(table, double(nextCode), std::size_t(stride));
  if (reached >= table.size()) return table[last];
  return table[std::min<std::int64_t>(position + std::int64_t(reached), last)];
}

std::uint16_t narrowRampLimit(std::int64_t distanceSteps, const tSpeedPlanParams& p) {
  const NarrowRampTable& table = *p.narrowRamp;
  constexpr std::int64_t size = std::int64_t(std::tuple_size_v<NarrowRampTable>);
  std::int64_t g = rampMultiplier(p) * distanceSteps;
  if (p.wygladzanie) g *= 2;
  if (g >= size) return table[size - 1];
  // The multiplied index can run past the table; past its end the ramp
  // stays at its fastest entry.
  const std::int64_t index = g * std::max(p.set.speedMultiplier, 1);
  return table[std::min(index, size - 1)];
}

}  // namespace

std::uint16_t rampLimit(std::int64_t distanceSteps, std::uint32_t nextCode, const tSpeedPlanParams& p) {
  distanceSteps = std::max<std::int64_t>(distanceSteps, 0);
  return p.set.wide ? wideRampLimit(distanceSteps, nextCode, p) : narrowRampLimit(distanceSteps, p);
}

double rampLength(double feedMmPerMin, const tSpeedPlanParams& p) {
  const double code = double(speedCode(feedMmPerMin, p.set));
  const double multiplier = double(rampMultiplier(p));
  if (p.set.wide) {
    const WideRampTable& table = *p.wideRamp;
    return double(std::min(firstIndexNotAbove(table, code, 1), table.size() - 1)) * multiplier;
  }
  double narrowCode = code / std::max(p.set.speedMultiplier, 1);
  if (p.wygladzanie) narrowCode /= 2;
  double index = 0;
  if (p.set.cncMachine) {
    const NarrowRampTable& table = *p.narrowRamp;
    index = double(std::min(firstIndexNotAbove(table, narrowCode, 1), table.size() - 1));
  } else {
    const PlotterSpeedTable& table = *p.plotterSpeeds;
    index = double(std::min(firstIndexNotAbove(table, narrowCode, 1), table.size() - 1));
  }
  if (p.wygladzanie) index /= 2;
  return index * multiplier;
}

}  // namespace trazvik
