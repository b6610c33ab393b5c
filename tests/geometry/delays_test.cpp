#include "geometry/delays.h"

#include <gtest/gtest.h>

#include <chrono>

namespace trazvik {
namespace {

using Clock = std::chrono::steady_clock;

double elapsedMs(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

TEST(Delays, WaitMsWaitsAtLeastTheTimeAsked) {
  for (double ms : {0.0, 1.0, 15.0}) {
    const auto start = Clock::now();
    waitMs(ms);
    EXPECT_GE(elapsedMs(start), ms);
  }
}

TEST(Delays, WaitCalibratedScalesWithTheMeasuredRate) {
  EXPECT_GT(clockReadingsPerMs(), 0);  // measured once, here
  auto start = Clock::now();
  waitCalibrated(0.0);
  EXPECT_LT(elapsedMs(start), 5);
  start = Clock::now();
  waitCalibrated(30);
  // A busy loop of clock readings; a shared machine may slow it down, never
  // make it several times faster than measured.
  EXPECT_GT(elapsedMs(start), 10);
}

}  // namespace
}  // namespace trazvik
