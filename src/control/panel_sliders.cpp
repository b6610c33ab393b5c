#include "control/panel_sliders.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace trazvik::panel {

namespace {

std::int64_t nearest(double x) { return static_cast<std::int64_t>(std::nearbyint(x)); }

// (x + n/2) div n x n
std::int64_t roundTo(std::int64_t x, std::int64_t n) { return (x + n / 2) / n * n; }

const char* const kSmoothFeedMakers = "YWREPK";

}  // namespace

tSliderMachine sliderMachineOf(const tMachineModel& machine, const tLinkState& link, const std::string& info1) {
  const tMachineParams& p = machine.machineParams;
  tSliderMachine m;
  m.legacyJogScale = p.legacyJogScale != 0;
  m.wideCommandSet = p.wideCommandSet != 0;
  m.drillSlots = link.drillSlots;
  m.isLaser = p.isLaser != 0;
  m.cncMachine = link.cncMachine;
  m.knifeAxis = p.knifeAxis != 0;
  m.minFeed = p.minFeed;
  m.maxFeedXY = p.maxFeedXY;
  m.maxWorkFeed = p.maxWorkFeed;
  m.maxSmoothFeed = p.maxSmoothFeed;
  m.maxJogSpeed = p.maxJogSpeed;
  m.speedMultiplier = p.speedMultiplier > 0 ? p.speedMultiplier : 1;
  m.minSpindle = p.minSpindle;
  m.maxSpindle = p.maxSpindle;
  m.laserFullPower = link.laserFullPower;
  m.axisFactorZ = p.axisFactorZ > 0 ? p.axisFactorZ : 1;
  m.info1 = info1;
  return m;
}

int sliderToSpeed(int p) {
  if (p >= 0 && p <= 99) return p;
  if (p >= 100 && p <= 189) return 10 * p - 900;
  if (p >= 190 && p <= 1000) return 100 * p - 18000;
  return 0;
}

tSliderRange speedSliderRange(const tSliderMachine& m, int selectedSlot, bool smoothing) {
  tSliderRange range;
  if (m.legacyJogScale) {
    range.minimum = m.minFeed;
    range.maximum = selectedSlot == 1 ? (smoothing ? m.maxSmoothFeed : m.maxWorkFeed) : m.maxFeedXY;
  } else {
    range.minimum = speedToSlider(m.minFeed);
    range.maximum = m.maxJogSpeed;
  }
  if (range.maximum < range.minimum) range.maximum = range.minimum;
  return range;
}

tSpeedSliderChange speedSliderChanged(const tSliderMachine& m, int position, int selectedSlot, bool smoothing) {
  // Slot 3 of the narrow command set holds the Z feed in Z steps.
  const double factor = (selectedSlot == 3 && !m.wideCommandSet) ? m.axisFactorZ : 1.0;
  tSpeedSliderChange c;
  c.position = position;
  if (m.legacyJogScale) {
    const std::int64_t feed = nearest(position / factor);
    if (position < 100) {
      c.labelFeed = feed;
      c.largeStep = 10, c.smallStep = 1;
    } else if (position < 1000) {
      c.labelFeed = roundTo(feed, 10);
      c.largeStep = 100, c.smallStep = 10;
    } else if (position < 5000) {
      c.labelFeed = roundTo(feed, 100);
      c.largeStep = 1000, c.smallStep = 100;
    } else if (position < 10000) {
      c.labelFeed = roundTo(feed, 500);
      c.largeStep = 1000, c.smallStep = 500;
    } else {
      c.labelFeed = roundTo(feed, 1000);
      c.largeStep = 2000, c.smallStep = 1000;
    }
    c.feedToLoad = position;  // the label is rounded, the feed sent is not
    return c;
  }
  const std::int64_t v = sliderToSpeed(position);
  const std::int64_t shown = m.wideCommandSet ? v : nearest(v / factor);
  std::int64_t band = 1;
  if (v < 100) {
    c.largeStep = 10, c.smallStep = 1, band = 1;
  } else if (v < 1000) {
    c.largeStep = 10, c.smallStep = 1, band = 10;
  } else if (v < 6000) {
    c.largeStep = 10, c.smallStep = 1, band = 100;
  } else if (v < 10000) {
    c.largeStep = 10, c.smallStep = 5, band = 500;
  } else if (v < 20000) {
    c.largeStep = 20, c.smallStep = 10, band = 1000;
  } else {
    c.largeStep = 40, c.smallStep = 20, band = 2000;
  }
  c.labelFeed = roundTo(shown, band);
  std::int64_t snapped = roundTo(v, band);
  if (snapped < m.minFeed) snapped = m.minFeed;
  if (selectedSlot == 1 && smoothing && m.maxSmoothFeed > 0 && snapped > m.maxSmoothFeed) snapped = m.maxSmoothFeed;
  c.position = speedToSlider(snapped);
  c.feedToLoad = sliderToSpeed(c.position);
  return c;
}

std::string speedLabelText(std::int64_t feedMmPerMin, int unitIndex) {
  const double factor = unitIndex == 1 ? 25.4 : unitIndex == 2 ? 304.8 : 1.0;
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", static_cast<double>(feedMmPerMin) / factor);
  return text;
}

int speedSliderKeyStep(const tSliderMachine& m, int position, int direction) {
  if (m.legacyJogScale) {
    const int step = position >= 1000 ? 100 : position >= 100 ? 10 : position >= 10 ? 1 : 0;
    if (direction > 0) return std::min(position + step, static_cast<int>(m.maxFeedXY));
    return std::max(position - step, 10);
  }
  int next = position + (direction > 0 ? 1 : -1);
  if (direction > 0 && sliderToSpeed(next) > m.maxFeedXY) next = speedToSlider(m.maxFeedXY);
  if (direction < 0 && sliderToSpeed(next) < m.minFeed) next = speedToSlider(m.minFeed);
  return next;
}

std::int64_t sliderFeed(const tSliderMachine& m, int position) {
  return m.legacyJogScale ? position : sliderToSpeed(position);
}

tPowerScale powerScaleOf(const tSliderMachine& m) {
  if (m.isLaser) return tPowerScale::laser;
  if (!m.cncMachine) return tPowerScale::plotter;
  if (m.knifeAxis) return tPowerScale::knife;
  return tPowerScale::spindle;
}

tPowerSlider powerSliderAtActivation(const tSliderMachine& m, int power) {
  tPowerSlider s;
  const int full = m.laserFullPower > 0 ? m.laserFullPower : 255;
  switch (powerScaleOf(m)) {
    case tPowerScale::laser: s = {0, 10000, 100, 10, static_cast<int>(nearest(power * 10000.0 / (full + 1)))}; break;
    case tPowerScale::plotter: s = {0, 100, 10, 1, static_cast<int>(nearest(power * 100.0 / full))}; break;
    case tPowerScale::knife: s = {m.minSpindle, m.maxSpindle, 10, 1, power}; break;
    case tPowerScale::spindle:
      s = {m.minSpindle / 100, m.maxSpindle / 100, 10, 1,
           m.drillSlots ? static_cast<int>(nearest(power / 100.0)) : power};
      break;
  }
  if (s.maximum < s.minimum) s.maximum = s.minimum;
  return s;
}

std::string powerLabelText(const tSliderMachine& m, int position, char separator) {
  char text[32];
  switch (powerScaleOf(m)) {
    case tPowerScale::laser:
      if (position >= 9980) return "100";
      std::snprintf(text, sizeof text, "%.2f", (position / 10) / 10.0);
      break;
    case tPowerScale::knife: std::snprintf(text, sizeof text, "%.2f", static_cast<double>(position)); break;
    case tPowerScale::plotter: std::snprintf(text, sizeof text, "%d", position); break;
    case tPowerScale::spindle: std::snprintf(text, sizeof text, "%lld", static_cast<long long>(position) * 100); break;
  }
  std::string result = text;
  std::replace(result.begin(), result.end(), '.', separator);
  return result;
}

int powerFromPosition(const tSliderMachine& m, int position) {
  const int full = m.laserFullPower > 0 ? m.laserFullPower : 255;
  switch (powerScaleOf(m)) {
    case tPowerScale::laser: return static_cast<int>(nearest(position * (full + 1.0) / 10000));
    case tPowerScale::plotter: return static_cast<int>(nearest(position * full / 100.0));
    case tPowerScale::knife: return position;
    case tPowerScale::spindle: return m.drillSlots ? position * 100 : position;
  }
  return position;
}

}  // namespace trazvik::panel
