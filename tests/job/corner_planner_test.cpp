#include "job/corner_planner.h"

#include "geometry/points.h"
#include "job/ramp_lookup.h"
#include "machine/speed_code.h"
#include "machine/identify_machine.h"
#include "speed_plan_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace trazvik {
namespace {

using test::wideRouterPlan;

constexpr double kDeg = std::numbers::pi / 180;

trpoint3d polar(double length, double degrees, double z = 0) {
  return {length * std::cos(degrees * kDeg), length * std::sin(degrees * kDeg), z};
}

trpoint3d along(const trpoint3d& from, const trpoint3d& to, double factor) {
  return {from.x + (to.x - from.x) * factor, from.y + (to.y - from.y) * factor, from.z + (to.z - from.z) * factor};
}

std::vector<std::uint16_t> plan(const std::vector<trpoint3d>& sp, const tSpeedPlanParams& p) {
  std::vector<std::uint16_t> tnx;
  planSpeedCodes(sp, p, tnx);
  return tnx;
}

TEST(CornerPlanner, ShortPathsAndJobKindsDecideTheEndStops) {
  const tSpeedPlanParams wide = wideRouterPlan();
  EXPECT_TRUE(plan({}, wide).empty());
  EXPECT_EQ(plan({{0, 0, 0}}, wide), (std::vector<std::uint16_t>{kStopCode}));
  EXPECT_EQ(plan({{0, 0, 0}, {4000, 0, 0}}, wide), (std::vector<std::uint16_t>{kStopCode, kStopCode}));

  // Six points along a 1000 mm line: only the end is a stop in a drawing
  // job, the start too in G-code and multi-layer jobs.
  std::vector<trpoint3d> line;
  for (int i = 0; i < 6; ++i) line.push_back({i * 8000.0, 0, 0});
  struct Case {
    const char* name;
    bool gcode, multiLayer, firstIsStop;
  } cases[] = {{"drawing", false, false, false}, {"gcode", true, false, true}, {"multi-layer", false, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tSpeedPlanParams p = wide;
    p.gcodeProgram = c.gcode;
    p.multiLayer = c.multiLayer;
    const auto tnx = plan(line, p);
    ASSERT_EQ(tnx.size(), line.size());
    EXPECT_EQ(tnx.back(), kStopCode);
    EXPECT_EQ(tnx.front() == kStopCode, c.firstIsStop);
  }
  line.pop_back();  // five points: the start is a stop in any job
  EXPECT_EQ(plan(line, wide).front(), kStopCode);
}

TEST(CornerPlanner, PlotterClassMachinesOnlyStopAtTheEnds) {
  tSpeedPlanParams p = wideRouterPlan();
  p.set = test::narrowSet();
  p.set.cncMachine = false;
  tfigura fig;
  fig.obwod = 123;
  fig.sp = {{0, 0, 0}, {400, 0, 0}, {400, 400, 0}, {0, 400, 0}, {0, 0, 0}, {4, 0, 0}, {8, 1, 0}};
  std::vector<std::uint16_t> tnx;
  planujPredkosci(fig, p, tnx);
  EXPECT_EQ(tnx, (std::vector<std::uint16_t>{1, 1, 1, 1, 1, 1, kStopCode}));
  EXPECT_EQ(fig.obwod, 123);
}

// A path A, C, B, E whose point C turns by `turn` degrees onto a segment of
// `outLength` file units; E lies far beyond B, so C's code is its own
// curve speed rather than a deceleration.
struct CornerCase {
  const char* name;
  double turn;
  double outLength;
  double outRise;  // Z change of the segment C->B
  bool smoothing;
  double cornerAngle;
  double expectedFeed;  // mm/min; 0 for a stop
};

TEST(CornerPlanner, InteriorPointSpeedFollowsTurnRadiusAndSlope) {
  const CornerCase cases[] = {
      {"right angle is a stop", 90, 4000, 0, false, 165, 0},
      {"16 degrees is a corner", 16, 4000, 0, false, 165, 0},
      {"10 degrees is a corner at cornerAngle 175", 10, 4000, 0, false, 175, 0},
      // R = 1 mm / 10 deg = 5.7296 mm; round(sqrt(R) x 1200)
      {"10 degrees: radius speed", 10, 40, 0, false, 165, 2872},
      // smoothing factor 2400 on a quarter-millimetre segment
      {"10 degrees smoothed", 10, 10, 0, true, 165, 2872},
      // 1.1 x (1 - sqrt(14/15)) x 16000 = 596.78
      {"14 degrees: angle cap", 14, 4000, 0, false, 165, 597},
      // a 4 degree rise (slope change 7 %): slope factor 1000, R = 14.344 mm
      {"rising turn uses the slope factor", 0, 40, 2.8, false, 165, 3787},
  };
  for (const CornerCase& c : cases) {
    SCOPED_TRACE(c.name);
    tSpeedPlanParams p = wideRouterPlan();
    p.wygladzanie = c.smoothing;
    p.cornerAngle = c.cornerAngle;
    const trpoint3d a{-4000, 0, 0}, cpt{0, 0, 0};
    trpoint3d b = polar(c.outLength, c.turn);
    b.z = c.outRise;
    const std::vector<trpoint3d> sp{a, cpt, b, along(cpt, b, 1000)};
    const auto tnx = plan(sp, p);
    ASSERT_EQ(tnx.size(), 4u);
    if (c.expectedFeed == 0) {
      EXPECT_EQ(tnx[1], kStopCode);
    } else {
      const std::uint32_t code = speedCode(c.expectedFeed, p.set);
      ASSERT_GT(code, 159u);  // slower than the ramp's end, so not a deceleration
      EXPECT_EQ(tnx[1], code);
    }
  }
}

TEST(CornerPlanner, SteepDescentIsLimitedByTheZFeed) {
  // Straight descent with dz / d = 0.2425: u = d / dz x 3000 = 12369.3.
  const tSpeedPlanParams p = wideRouterPlan();
  const std::vector<trpoint3d> sp{{-400, 0, 100}, {0, 0, 0}, {40000, 0, -10000}, {80000, 0, -20000}};
  EXPECT_EQ(plan(sp, p)[1], speedCode(12369, p.set));

  tSpeedPlanParams level = p;  // the same run on the level goes at full feed
  const std::vector<trpoint3d> flat{{-400, 0, 0}, {0, 0, 0}, {40000, 0, 0}, {80000, 0, 0}};
  EXPECT_EQ(plan(flat, level)[1], drillingWideRamp().back());  // the fastest the ramp allows
}

TEST(CornerPlanner, RepeatedPointIsAStopAndRadiusAndPerimeterAreReported) {
  const tSpeedPlanParams p = wideRouterPlan();
  const std::vector<trpoint3d> twice{{0, 0, 0},     {4000, 0, 0},  {4000, 0, 0}, {8000, 0, 0},
                                     {12000, 0, 0}, {16000, 0, 0}, {20000, 0, 0}};
  const auto tnx = plan(twice, p);
  EXPECT_EQ(tnx[1], kStopCode);  // no length to the next point
  EXPECT_EQ(tnx[2], kStopCode);  // no length from the previous one: a full reversal
  EXPECT_NE(tnx[3], kStopCode);

  tfigura fig;
  fig.sp = {{-4000, 0, 0}, {0, 0, 0}, polar(40, 10)};
  std::vector<std::uint16_t> codes;
  const double minR = planujPredkosci(fig, p, codes);
  EXPECT_NEAR(minR, 1 / (10 * kDeg), 1e-9);                               // 1 mm over 10 degrees
  EXPECT_NEAR(fig.obwod, 2 * std::numbers::pi / (10 * kDeg) * 40, 1e-6);  // 36 x 40 file units
}

// Every point is slow enough to reach its successor's code within the ramp.
void expectDecelerationHolds(const std::vector<trpoint3d>& sp, const std::vector<std::uint16_t>& tnx,
                             const tSpeedPlanParams& p) {
  for (std::size_t i = 0; i + 1 < sp.size(); ++i) {
    const auto steps = rampDistanceSteps(dist3d(sp[i], sp[i + 1]), p);
    EXPECT_GE(tnx[i], rampLimit(steps, tnx[i + 1], p)) << "point " << i;
  }
}

TEST(CornerPlanner, IdentifiedMachinesPlanCirclesAndSquares) {
  struct Machine {
    std::string product;
    int level, minor;
  } machines[] = {{"YFB 32  ", 6, 34}, {"YFB 32  ", 7, 20}, {"YFF     ", 7, 20}};
  std::vector<trpoint3d> circle;
  for (int i = 0; i <= 360; ++i) circle.push_back(polar(2000, i));  // radius 50 mm, 1 degree a point
  const std::vector<trpoint3d> square{{0, 0, 0},    {2000, 0, 0}, {4000, 0, 0}, {4000, 4000, 0},
                                      {0, 4000, 0}, {0, 2000, 0}, {0, 0, 0}};
  for (const Machine& m : machines) {
    SCOPED_TRACE(m.product + " " + std::to_string(m.minor));
    tLinkState link;
    const tMachineModel model = machineModelFor(m.product, m.level, m.minor, 0, link);
    tSpeedPlanParams p = speedPlanParamsOf(model, link);
    ASSERT_TRUE(p.set.cncMachine);

    const auto round = plan(circle, p);
    for (std::size_t i = 1; i + 1 < round.size(); ++i) ASSERT_NE(round[i], kStopCode) << i;
    // One curvature, one speed all round; not faster where the tool
    // slows down for the final stop.
    EXPECT_EQ(round[90], round[180]);
    EXPECT_EQ(round[270], round[180]);
    EXPECT_LE(round[180], round[359]);
    expectDecelerationHolds(circle, round, p);

    const auto sq = plan(square, p);
    for (int corner : {2, 3, 4}) EXPECT_EQ(sq[corner], kStopCode) << corner;
    EXPECT_NE(sq[1], kStopCode);
    EXPECT_NE(sq[5], kStopCode);
    expectDecelerationHolds(square, sq, p);
  }
}

}  // namespace
}  // namespace trazvik
