// The control panel's feed and power sliders: the non-linear feed scale,
// the snapping of a dragged feed to its band, the numpad steps and the
// power scales of lasers, knives, spindles and plotter-class machines.
#include "control/panel_sliders.h"

#include <gtest/gtest.h>

namespace trazvik::panel {
namespace {

tSliderMachine millingMachine() {
  tSliderMachine m;
  m.minFeed = 20;
  m.maxFeedXY = 15000;
  m.maxWorkFeed = 10000;
  m.maxSmoothFeed = 6000;
  m.maxJogSpeed = 330;
  m.wideCommandSet = true;
  m.minSpindle = 6000;
  m.maxSpindle = 24000;
  return m;
}

TEST(FeedSlider, NonLinearScaleBothWays) {
  struct Case {
    int position;
    int feed;
  } cases[] = {{0, 0},       {99, 99},     {100, 100},    {189, 990}, {190, 1000}, {255, 7500},
               {330, 15000}, {480, 30000}, {1000, 82000}, {1001, 0},  {-1, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(sliderToSpeed(c.position), c.feed) << c.position;
    if (c.feed > 0) {
      EXPECT_EQ(speedToSlider(c.feed), c.position) << c.feed;
    }
  }
}

TEST(FeedSlider, ADraggedFeedSnapsToItsBandAndLoadsThatFeed) {
  const tSliderMachine m = millingMachine();
  struct Case {
    int position;      // where the operator left the slider
    int snapped;       // where it is set
    int labelFeed;     // mm/min on the label
    int large, small;  // its steps in that band
  } cases[] = {
      {50, 50, 50, 10, 1},        // below 100: every feed
      {253, 255, 7500, 10, 5},    // 7300 snaps to 7500
      {150, 150, 600, 10, 1},     // 600 is on the 10 grid
      {290, 290, 11000, 20, 10},  // 11000 on the 1000 grid
      {10, 20, 10, 10, 1},        // below minFeed: raised to it, the label shows what was chosen
  };
  for (const Case& c : cases) {
    const tSpeedSliderChange change = speedSliderChanged(m, c.position, 2, false);
    EXPECT_EQ(change.position, c.snapped) << c.position;
    EXPECT_EQ(change.labelFeed, c.labelFeed) << c.position;
    EXPECT_EQ(change.largeStep, c.large) << c.position;
    EXPECT_EQ(change.smallStep, c.small) << c.position;
    EXPECT_EQ(change.feedToLoad, sliderToSpeed(c.snapped)) << c.position;
  }
  // The working slot with smoothing is held at the smoothing maximum.
  EXPECT_EQ(speedSliderChanged(m, 330, 1, true).feedToLoad, 6000);
  EXPECT_EQ(speedSliderChanged(m, 330, 2, true).feedToLoad, 15000);
}

TEST(FeedSlider, NarrowCommandSetShowsTheZFeedOfSlotThreeInMillimetres) {
  tSliderMachine m = millingMachine();
  m.wideCommandSet = false;
  m.axisFactorZ = 2;
  const tSpeedSliderChange change = speedSliderChanged(m, 200, 3, false);  // 2000 in Z steps
  EXPECT_EQ(change.labelFeed, 1000);
  EXPECT_EQ(change.feedToLoad, 2000);
}

TEST(FeedSlider, LegacyScaleIsTheFeedItselfWithARoundedLabel) {
  tSliderMachine m = millingMachine();
  m.legacyJogScale = true;
  const tSpeedSliderChange change = speedSliderChanged(m, 7340, 1, false);
  EXPECT_EQ(change.position, 7340);
  EXPECT_EQ(change.labelFeed, 7500);
  EXPECT_EQ(change.feedToLoad, 7340);  // the label is rounded, the feed is not
  EXPECT_EQ(speedSliderRange(m, 1, true).maximum, 6000);
  EXPECT_EQ(speedSliderRange(m, 1, false).maximum, 10000);
  EXPECT_EQ(speedSliderRange(m, 0, false).maximum, 15000);
  // Numpad steps by the size of the feed, at least 10 mm/min, at most maxFeedXY.
  EXPECT_EQ(speedSliderKeyStep(m, 1500, 1), 1600);
  EXPECT_EQ(speedSliderKeyStep(m, 150, -1), 140);
  EXPECT_EQ(speedSliderKeyStep(m, 12, -1), 11);
  EXPECT_EQ(speedSliderKeyStep(m, 5, -1), 10);
  EXPECT_EQ(speedSliderKeyStep(m, 14950, 1), 15000);
}

TEST(FeedSlider, NumpadStepsOnTheNonLinearScaleStayWithinTheMachinesFeeds) {
  const tSliderMachine m = millingMachine();
  EXPECT_EQ(speedSliderKeyStep(m, 200, 1), 201);
  EXPECT_EQ(speedSliderKeyStep(m, 330, 1), speedToSlider(15000));
  EXPECT_EQ(speedSliderKeyStep(m, 20, -1), 20);
  EXPECT_EQ(sliderFeed(m, 210), 3000);  // Ctrl jogs at a tenth of this
  EXPECT_EQ(speedLabelText(3000, 1), "118");
}

TEST(PowerSlider, EachKindOfMachineHasItsScale) {
  tSliderMachine laser = millingMachine();
  laser.isLaser = true;
  laser.laserFullPower = 255;
  const tPowerSlider l = powerSliderAtActivation(laser, 128);
  EXPECT_EQ(l.position, 5000);
  EXPECT_EQ(l.maximum, 10000);
  EXPECT_EQ(powerLabelText(laser, l.position, '.'), "50.00");
  EXPECT_EQ(powerLabelText(laser, 5437, ','), "54,30");
  EXPECT_EQ(powerLabelText(laser, 9985, '.'), "100");
  EXPECT_EQ(powerFromPosition(laser, 5000), 128);

  tSliderMachine spindle = millingMachine();
  const tPowerSlider s = powerSliderAtActivation(spindle, 180);
  EXPECT_EQ(s.minimum, 60);
  EXPECT_EQ(s.maximum, 240);
  EXPECT_EQ(s.position, 180);
  EXPECT_EQ(powerLabelText(spindle, 180, '.'), "18000");
  EXPECT_EQ(powerFromPosition(spindle, 180), 180);
  spindle.drillSlots = true;
  EXPECT_EQ(powerSliderAtActivation(spindle, 18000).position, 180);
  EXPECT_EQ(powerFromPosition(spindle, 180), 18000);

  tSliderMachine knife = millingMachine();
  knife.knifeAxis = true;
  knife.minSpindle = 0;
  knife.maxSpindle = 100;
  EXPECT_EQ(powerSliderAtActivation(knife, 40).position, 40);
  EXPECT_EQ(powerLabelText(knife, 40, '.'), "40.00");

  tSliderMachine plotter = millingMachine();
  plotter.cncMachine = false;
  plotter.laserFullPower = 200;
  EXPECT_EQ(powerSliderAtActivation(plotter, 100).position, 50);
  EXPECT_EQ(powerFromPosition(plotter, 50), 100);
}

}  // namespace
}  // namespace trazvik::panel
