#include "job/ramp_lookup.h"

#include "machine/speed_code.h"
#include "speed_plan_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace trazvik {
namespace {

// The wide lookup as a walk along the table, one stride at a time.
std::uint16_t walkedWideLimit(std::int64_t d, std::uint32_t next, const tSpeedPlanParams& p) {
  const WideRampTable& t = *p.wideRamp;
  const std::int64_t last = 65535;
  const std::int64_t pos = std::int64_t(std::nearbyint(double(d) / (p.rampStep + 1))) * p.rampStride;
  if (pos > last) return t[last];
  std::int64_t i = 0;
  while (t[i] > next) {
    if (pos + i >= last) break;
    i += p.rampStride;
    if (i > last) break;
  }
  return t[std::min(pos + i, last)];
}

TEST(RampLookup, WideLimitMatchesAWalkAlongTheTable) {
  const WideRampTable* tables[] = {&standardWideRamp(), &drillingWideRamp()};
  const std::uint32_t nexts[] = {1, 23, 159, 160, 200, 367, 409, 811, 5000, 10234, 40920, 65535};
  const std::int64_t distances[] = {0, 1, 2, 3, 999, 1000, 30000, 65535, 65536, 131070, 1000000};
  for (const WideRampTable* table : tables)
    for (int stride : {1, 2})
      for (int rampStep : {0, 4})
        for (std::uint32_t next : nexts)
          for (std::int64_t d : distances) {
            tSpeedPlanParams p = test::wideRouterPlan();
            p.wideRamp = table;
            p.rampStride = stride;
            p.rampStep = rampStep;
            ASSERT_EQ(rampLimit(d, next, p), walkedWideLimit(d, next, p))
                << "stride " << stride << " step " << rampStep << " next " << next << " d " << d;
          }
}

TEST(RampLookup, WideLimitSlowsTowardAStop) {
  const tSpeedPlanParams p = test::wideRouterPlan();  // drilling table 40920 / sqrt(n)
  EXPECT_EQ(rampLimit(0, kNoSpeedCode, p), 40920);
  EXPECT_EQ(rampLimit(10000, kNoSpeedCode, p), 409);
  EXPECT_EQ(rampLimit(1000000, kNoSpeedCode, p), 159);
  // Reaching 409 takes 10000 ramp steps; 2500 steps before that point
  // the table is at index 12500.
  EXPECT_EQ(rampLimit(2500, 409, p), drillingWideRamp()[12500]);
}

TEST(RampLookup, NarrowLimitReadsTheTableAtTheScaledDistance) {
  tSpeedPlanParams p = test::narrowRouterPlan();  // speedMultiplier 3
  const NarrowRampTable& t = narrowRamp();
  struct Case {
    std::int64_t d;
    int rampStep;
    bool smoothing;
    std::uint16_t expected;
  } cases[] = {
      {0, 0, false, t[0]},
      {100, 0, false, t[300]},
      {100, 1, false, t[600]},
      {100, 0, true, t[600]},
      // within the table before the multiplier, past its end after it
      {6000, 0, false, t.back()},
      {16000, 0, false, t.back()},
      {5000000000LL, 14, true, t.back()},
  };
  for (const Case& c : cases) {
    p.rampStep = c.rampStep;
    p.wygladzanie = c.smoothing;
    EXPECT_EQ(rampLimit(c.d, 1, p), c.expected) << c.d << " " << c.rampStep << " " << c.smoothing;
    EXPECT_EQ(rampLimit(c.d, kNoSpeedCode, p), c.expected) << "the narrow limit ignores the next code";
  }
}

TEST(RampLookup, RampLengthIsTheFirstIndexAtTheFeedsCode) {
  tSpeedPlanParams wide = test::wideRouterPlan();
  wide.rampStep = 2;
  for (double feed : {100.0, 1000.0, 6000.0}) {
    SCOPED_TRACE(feed);
    const std::uint32_t code = speedCode(feed, wide.set);
    const double steps = rampLength(feed, wide);
    ASSERT_EQ(std::fmod(steps, 3.0), 0.0);
    const auto index = std::size_t(steps / 3);
    EXPECT_LE(drillingWideRamp()[index], code);
    ASSERT_GT(index, 0u);
    EXPECT_GT(drillingWideRamp()[index - 1], code);
  }
  // Faster than the table ever gets: the whole table.
  EXPECT_EQ(rampLength(60000, wide), 65535.0 * 3);

  tSpeedPlanParams narrow = test::narrowRouterPlan();
  const double code = double(speedCode(500, narrow.set)) / narrow.set.speedMultiplier;
  const auto plain = std::size_t(rampLength(500, narrow));
  EXPECT_LE(narrowRamp()[plain], code);
  EXPECT_GT(narrowRamp()[plain - 1], code);
  narrow.wygladzanie = true;  // half the code, then half the index
  const auto halvedIndex = std::size_t(rampLength(500, narrow) * 2);
  EXPECT_LE(narrowRamp()[halvedIndex], code / 2);
  EXPECT_GT(narrowRamp()[halvedIndex - 1], code / 2);

  tSpeedPlanParams plotter = test::narrowRouterPlan();
  plotter.set.cncMachine = false;
  const auto step = std::size_t(rampLength(500, plotter));
  ASSERT_LT(step, plotterSpeedTable().size());
  EXPECT_LE(plotterSpeedTable()[step], code);
  if (step > 0) {
    EXPECT_GT(plotterSpeedTable()[step - 1], code);
  }
}

TEST(RampLookup, PlotterSpeedTableFalls) {
  const PlotterSpeedTable& t = plotterSpeedTable();
  EXPECT_TRUE(std::is_sorted(t.rbegin(), t.rend()));
  EXPECT_GT(t.front(), t.back());
}

}  // namespace
}  // namespace trazvik
