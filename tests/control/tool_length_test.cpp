// The tool length window's single-head actions on the simulated controller
// over TCP: the Z work zero the controller ends up with for a typed
// distance and for the tool touching the material or the table, and the
// refusals that send nothing.
#include "../link/ops_rig.h"

#include "control/tool_length.h"
#include "link/machine_control_operations.h"
#include "link/move_operations.h"
#include "machine/state_bits.h"

#include <functional>
#include <limits>

namespace trazvik::test {
namespace {

// The Z zero the controller holds (hundredths of a mm).
double controllerZeroZ(SimRig& rig) {
  return rig.controller->machineState().zeroPoint[2] / rig.ops().params().axisFactorZ;
}

TEST(ToolLengthZero, TouchGivesTheHeightOfTheTopAboveTheTable) {
  // Plate-free touches: a surface s mm above the table touched at machine
  // Z a (hundredths below the top) puts the top s*100 - a above the table,
  // to the nearest hundredth.
  EXPECT_EQ(zeroForTouch(0, -12345.6), 12346);
  EXPECT_EQ(zeroForTouch(35, -4000), 7500);
  EXPECT_EQ(zeroForTouch(0.49 + 10, -1234.4), 2283);
}

TEST(ToolLengthOnTheMachine, EachSingleHeadActionSendsTheExpectedZeroZ) {
  SimRig rig(Transport::tcp);
  ASSERT_TRUE(rig.connection->connected());
  tMachineOps& ops = rig.ops();
  ASSERT_GT(ops.params().axisFactorZ, 0);
  std::vector<std::string> boxes;
  ops.errorBox = [&](const tTextRef& text, const tTextRef&) { boxes.push_back(text.key); };

  struct Case {
    const char* name;
    double toolDownMm;  // the tool is lowered this far from the machine's top first
    std::function<tToolLengthResult()> action;
    double zeroZ;  // hundredths of a mm
  };
  const Case cases[] = {
      {"typed distance (no Z travel reported: not checked)", 0, [&] { return setTypedToolDistance(ops, 87.654); },
       8765},
      {"typed distance below the table", 0, [&] { return setTypedToolDistance(ops, -2.5); }, -250},
      {"tool on the table", 12.34, [&] { return touchTableSurface(ops); }, 1234},
      {"tool on the material", 30, [&] { return touchMaterialSurface(ops, 18, 2.5); }, 2050 + 3000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(moveToMachinePoint(ops, -c.toolDownMm, 0, 0));
    EXPECT_EQ(c.action(), tToolLengthResult::set);
    EXPECT_NEAR(controllerZeroZ(rig), c.zeroZ, 1);
  }
  EXPECT_TRUE(boxes.empty());
}

TEST(ToolLengthOnTheMachine, RefusalsSendNothing) {
  SimRig rig(Transport::tcp);
  ASSERT_TRUE(rig.connection->connected());
  tMachineOps& ops = rig.ops();
  std::vector<std::string> boxes;
  ops.errorBox = [&](const tTextRef& text, const tTextRef&) { boxes.push_back(text.section + "/" + text.key); };

  // Beyond the Z travel the controller reported, or no number at all.
  const double travel = 120;
  ops.linkState().secondWorkArea[2] = travel;
  rig.takeSent();
  EXPECT_EQ(setTypedToolDistance(ops, travel + 0.01), tToolLengthResult::tooFar);
  EXPECT_EQ(setTypedToolDistance(ops, std::numeric_limits<double>::quiet_NaN()), tToolLengthResult::tooFar);
  EXPECT_TRUE(rig.takeSent().empty());
  EXPECT_EQ(setTypedToolDistance(ops, travel), tToolLengthResult::set);  // the travel itself is reachable
  EXPECT_EQ(rig.takeSent().size(), 1u);

  // A moving machine: the touch is refused with the message to stop first.
  moveSteps(ops, 2, 9000000, 0, 0);
  rig.takeSent();
  EXPECT_EQ(touchTableSurface(ops), tToolLengthResult::busy);
  EXPECT_EQ(touchMaterialSurface(ops, 10, 1), tToolLengthResult::busy);
  EXPECT_TRUE(rig.takeSent().empty());
  EXPECT_EQ(boxes, (std::vector<std::string>{"Dlugosc_narzedzai/msgZatrzymajPrzedPomiarem",
                                             "Dlugosc_narzedzai/msgZatrzymajPrzedPomiarem"}));
  EXPECT_NEAR(controllerZeroZ(rig), travel * 100, 1);

  // A lost link: nothing is computed from a stale position.
  rig.controller->dropLink();
  rig.connection->status().readState();
  rig.waitConnected(false);
  boxes.clear();
  EXPECT_EQ(touchTableSurface(ops), tToolLengthResult::noLink);
  EXPECT_EQ(setTypedToolDistance(ops, 50), tToolLengthResult::noLink);
  EXPECT_EQ(boxes, (std::vector<std::string>{"Control_Panel/msgBrakLacznosci", "Control_Panel/msgBrakLacznosci"}));
  EXPECT_TRUE(rig.takeSent().empty());
}

TEST(ToolLengthOnTheMachine, AutomaticMeasurementTakesTheZeroFromThePlate) {
  // The simulated controller's sensor is touched at machine Z -80 mm.
  struct Case {
    const char* name;
    tToolMeasureSettings settings;
    tToolLengthResult result;
    double zeroZ;  // hundredths of a mm
  };
  const Case cases[] = {
      {"plate 20 on the table", {20, 0, 18, 15}, tToolLengthResult::set, 2000 + 8000},
      {"plate 20 on the spoil board 15", {20, 1, 18, 15}, tToolLengthResult::set, 3500 + 8000},
      {"plate 20 on 18 of material", {20, 2, 18, 15}, tToolLengthResult::set, 5300 + 8000},
      {"plate place no known choice keeps the zero", {20, 7, 18, 15}, tToolLengthResult::plateUnknown, 4242},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimRig rig(Transport::tcp);
    ASSERT_TRUE(rig.connection->connected());
    tMachineOps& ops = rig.ops();
    ops.st.pos0.z = 4242;
    setWorkZeroZ(ops);
    ASSERT_TRUE(moveToMachinePoint(ops, -30, 0, 0));
    int hourglass = 0;
    EXPECT_EQ(measureToolLength(ops, c.settings, {}, [&](bool on) { hourglass += on ? 1 : -1; }), c.result);
    EXPECT_NEAR(controllerZeroZ(rig), c.zeroZ, 1);
    EXPECT_NEAR(rig.controller->toolPosition().z, 0, 0.02) << "the tool is back at the top";
    EXPECT_FALSE(rig.controller->stateBit(stateBit::motionRunning));
    EXPECT_EQ(hourglass, 0);
  }
}

TEST(ToolLengthOnTheMachine, AStopEndsTheProbeWhereTheToolIs) {
  SimRig rig(Transport::tcp);
  ASSERT_TRUE(rig.connection->connected());
  tMachineOps& ops = rig.ops();
  // One STOP once the tool is 10 mm down: the zero is sent from where the
  // probe stood, then the tool goes back to the top.
  bool fired = false;
  ops.stopRequested = [&] {
    if (fired || rig.controller->toolPosition().z >= -10) return false;
    fired = true;
    return true;
  };
  EXPECT_EQ(measureToolLength(ops, {20, 0, 0, 0}, {}), tToolLengthResult::set);
  ASSERT_TRUE(fired);
  EXPECT_NEAR(rig.controller->toolPosition().z, 0, 0.02);
  const double depth = controllerZeroZ(rig) / 100 - 20;
  EXPECT_GE(depth, 10);
  EXPECT_LT(depth, 79) << "the probe went on to the sensor";

  // Refused while the machine moves; nothing sent.
  ops.stopRequested = nullptr;
  std::vector<std::string> boxes;
  ops.errorBox = [&](const tTextRef& text, const tTextRef&) { boxes.push_back(text.key); };
  moveSteps(ops, 2, 9000000, 0, 0);
  rig.takeSent();
  EXPECT_EQ(measureToolLength(ops, {20, 0, 0, 0}, {}), tToolLengthResult::busy);
  EXPECT_TRUE(rig.takeSent().empty());
  EXPECT_EQ(boxes, std::vector<std::string>{"msgZatrzymajPrzedPomiarem"});
}

TEST(ToolLengthKnife, TheBladeOffsetReachesTheControllerAndReadsBack) {
  SimRig rig(Transport::usb);
  ASSERT_TRUE(rig.connection->connected());
  tMachineOps& ops = rig.ops();
  ops.machine.machineParams.knifeStepsPerTurn = 4000;
  struct Case {
    double degrees;
    std::int32_t steps;
  };
  const Case cases[] = {{90, 1000}, {45.05, 500}, {-90, 3000}, {360, 0}, {719.5, 3994}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.degrees);
    ASSERT_TRUE(sendKnifeOffset(ops, c.degrees));
    const std::optional<std::int32_t> read = rig.connection->status().readKnifeOffset();
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, c.steps);
  }
  EXPECT_DOUBLE_EQ(knifeOffsetDegrees(1000, 4000), 90);

  // No knife turn defined, or no number: nothing is written.
  rig.takeSent();
  EXPECT_FALSE(sendKnifeOffset(ops, std::numeric_limits<double>::quiet_NaN()));
  ops.machine.machineParams.knifeStepsPerTurn = 0;
  EXPECT_FALSE(sendKnifeOffset(ops, 90));
  EXPECT_TRUE(rig.takeSent().empty());
}

TEST(ToolLengthOnTheMachine, TheRemoteButtonAsksForTheMeasurementOfItsFamily) {
  struct Case {
    const char* product;
    tRemoteRequest request;
  };
  const Case cases[] = {
      {"LFV", tRemoteRequest::ignored}, {"YFB 32", tRemoteRequest::measure}, {"YJB", tRemoteRequest::touchMaterial}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.product);
    sim::SimConfig config;
    config.product = c.product;
    SimRig rig(Transport::tcp, config);
    ASSERT_TRUE(rig.connection->connected());
    tMachineOps& ops = rig.ops();
    EXPECT_EQ(remoteMeasureRequest(ops), tRemoteRequest::none);
    rig.controller->press(sim::Button::programmable1);
    EXPECT_EQ(remoteMeasureRequest(ops), c.request);
  }
}

}  // namespace
}  // namespace trazvik::test
