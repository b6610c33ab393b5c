#include "geometry/delays.h"

#include "geometry/numeric.h"

#include <chrono>

namespace trazvik {

namespace {

using Clock = std::chrono::steady_clock;

double measureReadingsPerMs() {
  const auto start = Clock::now();
  const auto until = start + std::chrono::milliseconds(500);
  long long readings = 0;
  while (Clock::now() < until) ++readings;
  return static_cast<double>(readings) / 500.0;
}

}  // namespace

void waitMs(double ms) {
  const auto start = Clock::now();
  const std::chrono::duration<double, std::milli> span(ms);
  while (Clock::now() - start <= span) {
  }
}

double clockReadingsPerMs() {
  static const double rate = measureReadingsPerMs();  // thread-safe once
  return rate;
}

void waitCalibrated(double ms) {
  const std::int64_t readings = roundEvenInt(ms * clockReadingsPerMs());
  for (std::int64_t i = 0; i < readings; ++i) {
    // volatile so the reading is not optimised away
    volatile auto now = Clock::now().time_since_epoch().count();
    (void)now;
  }
}

}  // namespace trazvik
