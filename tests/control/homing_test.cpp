// The control panel's homing against the simulated controller: the "B"
// commands of each kind of machine, the knife's axis, the slow Z approach
// of "$" controllers, the refusals, and where the machine ends.
#include "../link/ops_rig.h"

#include "control/homing.h"
#include "job/command_decoder.h"
#include "link/knife_operations.h"
#include "link/machine_control_operations.h"
#include "link/move_operations.h"
#include "link/speed_operations.h"

#include <cmath>
#include <cstdio>

namespace trazvik::test {
namespace {

// The commands in short: "B37", "S3v4", "Az+1000", "V<code>".
std::string describe(const std::vector<Bytes>& sent, const tCommandSet& set) {
  std::string out;
  for (const Bytes& b : sent) {
    const tDecodedCommand c = decodeCommand(b, set);
    char text[48];
    switch (c.kind) {
      case CommandKind::home: std::snprintf(text, sizeof text, "B%02X", c.number); break;
      case CommandKind::thirdAxis: std::snprintf(text, sizeof text, "S3v%d", c.number); break;
      case CommandKind::move: std::snprintf(text, sizeof text, "A%d,%d,%+d", c.delta.dx, c.delta.dy, c.delta.dz); break;
      case CommandKind::loadSlot: std::snprintf(text, sizeof text, "V%u", c.value); break;
      default: std::snprintf(text, sizeof text, "%s", c.name.c_str()); break;
    }
    if (!out.empty()) out += ' ';
    out += text;
  }
  return out;
}

// Moves the machine off its reference point (and turns a knife) first.
void moveAway(SimRig& rig) {
  tMachineOps& ops = rig.ops();
  moveRelative(ops, -4, 120, 250);
  ASSERT_EQ(waitWhileBusy(ops), tWaitResult::idle);
  const sim::TracePoint p = rig.controller->toolPosition();
  ASSERT_GT(p.x, 200);
  ASSERT_GT(p.y, 100);
  rig.takeSent();
}

void expectAtReferencePoint(SimRig& rig) {
  const sim::TracePoint p = rig.controller->toolPosition();
  EXPECT_NEAR(p.x, 0, 0.01);
  EXPECT_NEAR(p.y, 0, 0.01);
  EXPECT_NEAR(p.z, 0, 0.01);
  EXPECT_FALSE(rig.controller->stateBit(stateBit::motionRunning));
}

struct HomingCase {
  const char* name;
  const char* product;
  bool hasKnife;
  const char* commands;
};

class Homing : public ::testing::TestWithParam<Transport> {};

TEST_P(Homing, EachKindOfMachineGetsItsPassesAndEndsAtItsReferencePoint) {
  const HomingCase cases[] = {
      {"router", "YFB 32", false, "B37 B34"},
      {"laser with a Z axis homes Z before X", "WTK11", false, "B34 B31 B37 B34"},
      {"laser without a Z axis", "WTK32", false, "B31 B37 B34"},
      {"knife machine homes the knife's axis", "YHB 32", true, "B37 B34 S3v4 B34 S3v0"},
      {"knife machine with the knife off", "YHB 32", false, "B37 B34"},
  };
  for (const HomingCase& c : cases) {
    SCOPED_TRACE(c.name);
    sim::SimConfig config;
    config.product = c.product;
    SimRig rig(GetParam(), config);
    ASSERT_TRUE(rig.connection->connected());
    moveAway(rig);
    if (c.hasKnife) {
      ASSERT_TRUE(rotateKnifeToSteps(rig.ops(), -1000));
      ASSERT_EQ(rig.controller->machineState().v, -1000);
      rig.takeSent();
    }
    int cursor = 0;
    tHomingOptions options;
    options.hasKnife = c.hasKnife;
    options.hourglass = [&](bool busy) { cursor += busy ? 1 : -1; };
    EXPECT_EQ(bazujClick(rig.ops(), options), tHomingResult::homed);
    EXPECT_EQ(describe(rig.takeSent(), rig.ops().commandSet()), c.commands);
    EXPECT_EQ(cursor, 0) << "the busy cursor is taken back";
    expectAtReferencePoint(rig);
    if (c.hasKnife) {
      EXPECT_EQ(rig.controller->machineState().v, 0);
      EXPECT_EQ(rig.controller->machineState().thirdAxisMode, 0) << "Z given back";
    }
  }
}

TEST_P(Homing, RefusedWhileTheMachineMovesAndNothingIsSent) {
  SimRig rig(GetParam());
  tMachineOps& ops = rig.ops();
  std::vector<std::string> boxes;
  ops.errorBox = [&](const tTextRef& text, const tTextRef& caption) {
    boxes.push_back(text.section + "/" + text.key + "/" + caption.section + "/" + caption.key);
  };
  moveSteps(ops, 2, 9000000, 0, 0);
  rig.takeSent();
  bool cursor = false;
  tHomingOptions options;
  options.hourglass = [&](bool) { cursor = true; };
  EXPECT_EQ(bazujClick(ops, options), tHomingResult::machineBusy);
  EXPECT_EQ(boxes, std::vector<std::string>{"Control_Panel/msgBazowanieNiemozliwe/Control_Panel/msgBazuj"});
  EXPECT_TRUE(rig.takeSent().empty());
  EXPECT_FALSE(cursor);
  stopManualMotion(ops);
  EXPECT_EQ(waitWhileBusy(ops), tWaitResult::idle);
}

TEST_P(Homing, RefusedWithoutALinkAndNothingIsSent) {
  SimRig rig(GetParam());
  tMachineOps& ops = rig.ops();
  std::vector<std::string> boxes;
  ops.errorBox = [&](const tTextRef& text, const tTextRef& caption) {
    boxes.push_back(text.section + "/" + text.key + "/" + caption.section + "/" + caption.key);
  };
  rig.controller->dropLink();
  // The drop shows at the next exchange: a status read notices it.
  rig.connection->status().readState();
  rig.waitConnected(false);
  rig.takeSent();
  EXPECT_EQ(bazujClick(ops), tHomingResult::noLink);
  EXPECT_EQ(boxes, std::vector<std::string>{"Control_Panel/msgBrakLacznosci/Control_Panel/msgBazuj"});
  EXPECT_TRUE(rig.takeSent().empty());
}

TEST_P(Homing, StopDuringAWaitEndsTheHomingThere) {
  SimRig rig(GetParam());
  tMachineOps& ops = rig.ops();
  moveAway(rig);
  bool stop = false;
  ops.pumpEvents = [&] { stop = true; };
  ops.stopRequested = [&] { return stop; };
  EXPECT_EQ(bazujClick(ops), tHomingResult::stopped);
  // The first pass only, then the manual motion's stop; no Z pass after it.
  EXPECT_EQ(describe(rig.takeSent(), ops.commandSet()), "B37 Y");
}

INSTANTIATE_TEST_SUITE_P(Links, Homing, ::testing::Values(Transport::tcp, Transport::usb), transportName);

// Controllers whose product string begins with "$" approach the Z switch
// slowly at the end. Over Ethernet the product string comes from the
// identity page at connection and the machine info read keeps it, so the
// test gives the identified machine that string.
TEST(HomingSlowZ, DollarControllerEndsWithTheSlowZApproach) {
  SimRig rig(Transport::tcp);
  tMachineOps& ops = rig.ops();
  rig.st.info1 = "$" + rig.st.info1;
  moveAway(rig);
  const std::size_t traceBefore = rig.controller->trace().size();

  EXPECT_EQ(bazujClick(ops), tHomingResult::homed);

  const tMachineParams& p = rig.machine.machineParams;
  const int m = p.speedMultiplier;
  const long up = std::lround(p.axisFactorZ * 1000), down = std::lround(p.axisFactorZ * 20);
  const std::string fast = "V" + std::to_string(speedToPeriod(ops, 2000) / m);
  const std::string slow = "V" + std::to_string(speedToPeriod(ops, 100) / m);
  const std::string step = "A0,0,-" + std::to_string(down);
  EXPECT_EQ(describe(rig.takeSent(), ops.commandSet()), "B37 B34 " + fast + " A0,0,+" + std::to_string(up) + " " +
                                                            slow + " " + step + " " + step + " " + step + " " + step +
                                                            " " + step + " " + fast + " B34");

  // What the machine did: up 10 mm from the switch, then 1 mm down (the
  // trace joins the five steps, which go the same way), then back to the
  // switch.
  std::vector<double> zMoves;
  const auto segments = rig.controller->trace().segments();
  for (std::size_t i = traceBefore; i < segments.size(); ++i)
    if (segments[i].source == sim::TraceSource::immediate) zMoves.push_back(segments[i].to.z - segments[i].from.z);
  ASSERT_EQ(zMoves.size(), 2u);
  EXPECT_NEAR(zMoves[0], 10, 0.01);
  EXPECT_NEAR(zMoves[1], -1, 0.01);
  expectAtReferencePoint(rig);
}

}  // namespace
}  // namespace trazvik::test
