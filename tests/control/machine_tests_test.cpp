// The "Move" window's service tests on the simulated controller (its USB
// device, whose clock moves with the link's waits): the surface scan over a
// tilted and bowed table with its skipped slat rows, the exit on the
// operator's key, and the heater and laser tests that leave their outputs
// off.
#include "../link/ops_rig.h"

#include "control/machine_tests.h"
#include "link/machine_control_operations.h"
#include "link/move_operations.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace trazvik::test {
namespace {

TEST(SurfaceScan, RowsNearTheSlatsEvery40MmAreSkipped) {
  const struct {
    double y;
    bool skipped;
  } rows[] = {{20, false},   {30, false},  {35, false}, {36, true},    {40, true},  {44, true}, {44.4, true},
              {44.6, false}, {45, false},  {50, false}, {80, true},    {0, true},   {4, true},  {5, false},
              {-20, false},  {115, false}, {120, true}, {124.4, true}, {125, false}};
  for (const auto& r : rows) EXPECT_EQ(scanRowSkipped(r.y), r.skipped) << "Y " << r.y;
}

TEST(SurfaceScan, LinesHoldEightCharacterColumnsWithTwoDecimals) {
  EXPECT_EQ(scanLine(0, 20, -1.5), "    0.00   20.00   -1.50");
  EXPECT_EQ(scanLine(1234.567, 5, 0.004), " 1234.57    5.00    0.00");
}

struct ScanLine {
  double x, y, z;
};

std::vector<ScanLine> linesOf(const std::string& text) {
  std::vector<ScanLine> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    EXPECT_EQ(line.size(), 25u) << "24 characters and CR: '" << line << "'";
    lines.push_back({std::stod(line.substr(0, 8)), std::stod(line.substr(8, 8)), std::stod(line.substr(16, 8))});
  }
  return lines;
}

// A 100 x 100 mm table at machine Z -90 mm, rising 0.02 mm per mm of X,
// falling 0.01 mm per mm of Y and bowed up 0.5 mm in the middle; the work
// zero's Z puts the table's corner at the shown height 0.
class ScanOnTheMachine : public ::testing::Test {
 protected:
  ScanOnTheMachine() : rig_(Transport::usb, config()) {
    tMachineOps& ops = rig_.ops();
    ops.st.pos0.z = 9000;
    setWorkZeroZ(ops);
  }
  static sim::SimConfig config() {
    sim::SimConfig c;
    c.workArea = {100, 100, 120};
    c.tableSurface = sim::TableSurface{-90, 0.02, -0.01, 0.5};
    return c;
  }
  double tableShownAt(double x, double y) const {
    return 90 + rig_.controller->config().tableSurface->heightAt(x, y, 100, 100);
  }
  void expectAtMachineZero() {
    const sim::TracePoint p = rig_.controller->toolPosition();
    EXPECT_NEAR(p.x, 0, 0.01);
    EXPECT_NEAR(p.y, 0, 0.01);
    EXPECT_NEAR(p.z, 0, 0.01);
  }
  SimRig rig_;
};

TEST_F(ScanOnTheMachine, ItProbesTheTableInSerpentineRowsAndWritesItsHeights) {
  tMachineOps& ops = rig_.ops();
  std::ostringstream out;
  int rounds = 0;
  const tScanOutcome outcome = surfaceScan(ops, {40, 10, 5}, out, [&] { return ++rounds < 0; });
  EXPECT_EQ(outcome.result, tServiceTestResult::ended);
  // Column X 0 from the start row 20 up to the edge, then X 40 back down
  // to 0; X 80 is not started, as one more column would leave the table.
  const std::vector<std::pair<double, double>> probed = {{0, 20},  {0, 30},  {0, 50},   {0, 60},  {0, 70},
                                                         {0, 90},  {0, 100}, {40, 100}, {40, 90}, {40, 70},
                                                         {40, 60}, {40, 50}, {40, 30},  {40, 20}, {40, 10}};
  const std::vector<ScanLine> lines = linesOf(out.str());
  ASSERT_EQ(lines.size(), probed.size()) << out.str();
  EXPECT_EQ(outcome.probes, static_cast<int>(probed.size()));
  const double step = 1 / (100 * ops.params().axisFactorZ);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(out.str().substr(i * 26, 24));
    EXPECT_EQ(lines[i].x, probed[i].first);
    EXPECT_EQ(lines[i].y, probed[i].second);
    EXPECT_NEAR(lines[i].z, tableShownAt(lines[i].x, lines[i].y), step + 0.005);
  }
  // The middle row is higher than the corner row: the bow shows.
  EXPECT_GT(lines[4].z - tableShownAt(0, 70), -step - 0.005);
  EXPECT_EQ(rounds, 20) << "one event taken per row, probed or skipped";
  expectAtMachineZero();
}

TEST_F(ScanOnTheMachine, AKeyEndsTheScanAndTheToolGoesHome) {
  std::ostringstream out;
  int rounds = 0;
  const tScanOutcome outcome = surfaceScan(rig_.ops(), {40, 10, 5}, out, [&] { return ++rounds == 3; });
  EXPECT_EQ(outcome.result, tServiceTestResult::ended);
  EXPECT_EQ(rounds, 3);
  EXPECT_EQ(outcome.probes, 2) << "rows 20 and 30 probed, 40 skipped, then the key";
  EXPECT_EQ(linesOf(out.str()).size(), 2u);
  expectAtMachineZero();
}

TEST_F(ScanOnTheMachine, ZeroStepsOrHeightAskForValuesAndSendNothing) {
  tMachineOps& ops = rig_.ops();
  std::vector<std::string> boxes;
  ops.errorBox = [&](const tTextRef& text, const tTextRef& caption) {
    boxes.push_back(text.section + "/" + text.key + "/" + caption.key);
  };
  rig_.takeSent();
  for (const tScanSettings& s : {tScanSettings{0, 10, 5}, tScanSettings{40, 0, 5}, tScanSettings{40, 10, 0}}) {
    std::ostringstream out;
    EXPECT_EQ(surfaceScan(ops, s, out, [] { return true; }).result, tServiceTestResult::missingValues);
    EXPECT_TRUE(out.str().empty());
  }
  EXPECT_EQ(boxes, std::vector<std::string>(3, "Tool_moving/msgWstawParametry/scan"));
  EXPECT_TRUE(rig_.takeSent().empty());
}

TEST(BackAndForthTest, RunsUntilAKeyAndEndsWhereItStarted) {
  SimRig rig(Transport::usb);
  tMachineOps& ops = rig.ops();
  moveRelative(ops, 0, 50, 100);
  ASSERT_EQ(waitWhileBusy(ops), tWaitResult::idle);
  int rounds = 0;
  const tServiceTestResult r = backAndForthTest(ops, 30, -20, 0, [&] { return ++rounds == 3; });
  EXPECT_EQ(r, tServiceTestResult::ended);
  EXPECT_EQ(rounds, 3);
  const sim::TracePoint p = rig.controller->toolPosition();
  EXPECT_NEAR(p.x, 100, 0.01);
  EXPECT_NEAR(p.y, 50, 0.01);
  std::vector<Bytes> moves;
  for (const Bytes& c : rig.takeSent())
    if (c[0] == 'A') moves.push_back(c);
  ASSERT_EQ(moves.size(), 1u + 3 * 2) << "the set-up move, then there and back three times";
  EXPECT_NE(moves[1], moves[2]);
  EXPECT_EQ(moves[1], moves[3]) << "every round the same way";
  EXPECT_EQ(moves[2], moves[6]);
}

TEST(HeaterAndLaserTests, EndWithTheirOutputsOff) {
  {
    SimRig rig(Transport::usb);
    int rounds = 0;
    EXPECT_EQ(heaterTest(rig.ops(), 0.5, [&] { return ++rounds == 2; }), tServiceTestResult::ended);
    std::vector<Bytes> switched;
    for (const Bytes& c : rig.takeSent())
      if (c[0] == 'R') switched.push_back(c);
    EXPECT_EQ(switched, (std::vector<Bytes>{{'R', 1, 2}, {'R', 0, 2}, {'R', 1, 2}, {'R', 0, 2}}));
    EXPECT_EQ(rig.controller->machineState().outputs & 0x02, 0);
  }
  {
    sim::SimConfig laser;
    laser.product = "WTK32";
    SimRig rig(Transport::usb, laser);
    ASSERT_TRUE(rig.ops().params().isLaser);
    int rounds = 0;
    bool firedWhileRunning = false;
    const tServiceTestResult r = laserTest(rig.ops(), {50, 10, 20}, [&] {
      firedWhileRunning = rig.controller->machineState().toolOn();
      return ++rounds == 2;
    });
    EXPECT_EQ(r, tServiceTestResult::ended);
    EXPECT_TRUE(firedWhileRunning);
    const sim::MachineState st = rig.controller->machineState();
    EXPECT_FALSE(st.toolOn()) << "the beam is off once the test ended";
    EXPECT_EQ(st.outputs & 0x03, 0);
    const int full = rig.link.laserFullPower;
    EXPECT_EQ(st.powerSlots[1], std::lround(50.0 * full / 100));
    EXPECT_EQ(st.powerSlots[3], std::lround(10.0 * full / 100));
  }
}

}  // namespace
}  // namespace trazvik::test
