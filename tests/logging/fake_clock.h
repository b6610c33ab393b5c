// A clock the test moves by hand.
#pragma once
#include "logging/date_time.h"

namespace trazvik::logging::testing {

struct FakeClock {
  DateTime now = 0;
  explicit FakeClock(CivilTime start) : now(toDateTime(start)) {}
  Clock clock() {
    return [this] { return now; };
  }
  void advanceSeconds(double seconds) { now += seconds / 86400.0; }
};

}  // namespace trazvik::logging::testing
