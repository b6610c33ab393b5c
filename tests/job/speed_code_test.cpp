#include "machine/speed_code.h"

#include "command_sets.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

TEST(SpeedCode, NarrowAndWideCodes) {
  tCommandSet ycp = test::wideSet(7);
  ycp.speedMultiplier = 1;
  ycp.axisFactorX = ycp.axisFactorY = 4.7961630695;
  ycp.integerSpeedFactor = true;
  tCommandSet ycpUnrounded = ycp;
  ycpUnrounded.integerSpeedFactor = false;
  tCommandSet slowMachine = test::wideSet(7);
  slowMachine.speedMultiplier = 1;
  slowMachine.minFeed = 100;

  struct Case {
    const char* what;
    tCommandSet set;
    double feed;
    std::uint32_t code;
  };
  const Case cases[] = {
      // V' = 3000, b = 5000, 1e6 / 5000 / 0.75 = 266.67
      {"narrow", test::narrowSet(), 1000, 267},
      // V' = 2000, b = 3333.3, 1e6 / 10 / b / 0.0125 = 2400
      {"wide", test::wideSet(7), 1000, 2400},
      // "YCP 50" divides by round(4.796) = 5
      {"YCP 50", ycp, 1000, 9600},
      {"other factor", ycpUnrounded, 1000, 10008},
      {"below minFeed", slowMachine, 20, 65535},
      {"V' rounds to even below minFeed", test::wideSet(7), 0.25, 65535},  // 0.5 -> 0
      // 1.25 x 2 = 2.5 -> 2 (ties to even): b = 3.333, code 2400000
      {"V' ties to even", test::wideSet(7), 1.25, 2400000},
      {"zero feed", test::wideSet(7), 0, 65535},
  };
  for (const Case& c : cases) EXPECT_EQ(speedCode(c.feed, c.set), c.code) << c.what;
}

TEST(SpeedCode, NarrowCodeMustFitSixteenBits) {
  // minFeed 12 on a multiplier of 3: 4 mm/min is V' = 12, code 66667.
  EXPECT_FALSE(narrowSpeedCode(4, test::narrowSet()).has_value());
  EXPECT_EQ(narrowSpeedCode(1000, test::narrowSet()), 267);
}

TEST(SpeedCode, FeedOfCodeInvertsTheConversion) {
  for (const tCommandSet& set : {test::narrowSet(), test::wideSet(6)}) {
    for (double feed : {50.0, 1000.0, 4999.0}) {
      const auto back = feedOfSpeedCode(speedCode(feed, set), set);
      ASSERT_TRUE(back.has_value());
      EXPECT_NEAR(*back, feed, feed * 0.01) << feed;
    }
    EXPECT_FALSE(feedOfSpeedCode(65535, set).has_value());
    EXPECT_FALSE(feedOfSpeedCode(0, set).has_value());
  }
}

}  // namespace
}  // namespace trazvik

namespace trazvik {
namespace {

TEST(SpeedCode, PeriodToSpeedForDisplay) {
  tCommandSet wide = test::wideSet(7);
  // 600000 / 10 / (2400 x 0.0125) = 2000: the scaled feed of 1000 mm/min
  EXPECT_EQ(periodToSpeed(2400, wide), 2000);
  EXPECT_EQ(periodToSpeed(0, wide), 1);  // minFeed
  EXPECT_EQ(periodToSpeed(-5, wide), 1);
  // narrow: 600000 / (267 x 0.75) = 2996.25
  EXPECT_EQ(periodToSpeed(267, test::narrowSet()), 2996);
  tCommandSet ycp = wide;
  ycp.axisFactorX = 4.7961630695;
  ycp.integerSpeedFactor = true;
  EXPECT_EQ(periodToSpeed(9600, ycp), 1000);  // divides by 5
}

}  // namespace
}  // namespace trazvik
