// The "Move" window's execute step: the distances of the three modes with
// their limits (table of cases), and moves carried out by the simulated
// controller over TCP, where the machine has to end at the expected point.
#include "../link/ops_rig.h"

#include "control/move_by_delta.h"
#include "link/head_operations.h"
#include "link/machine_control_operations.h"
#include "link/move_operations.h"

#include <cmath>
#include <limits>

namespace trazvik::test {
namespace {

// A machine of 600 x 400 mm with its work zero at X 100, Y 50 and the top
// 30 mm above the table; the tool stands at X 30, Y 20, 20 mm above the
// table (10 mm below the top).
tMoveByDeltaInput machineAt(tMoveMode mode, double x, double y, double z, bool withoutZ = false) {
  tMoveByDeltaInput in;
  in.mode = mode;
  in.x = x;
  in.y = y;
  in.z = z;
  in.withoutZ = withoutZ;
  in.abspos = {3000, 2000, -1000};
  in.pos0 = {10000, 5000, 3000};
  in.workX = 600;
  in.workY = 400;
  return in;
}

struct DistanceCase {
  const char* name;
  tMoveByDeltaInput in;
  tMoveDelta expected;
};

TEST(MoveByDeltaDistances, EveryModeKeepsTheTargetInsideTheMachine) {
  using M = tMoveMode;
  auto toolAt = [](tMoveByDeltaInput in, double x, double y, double zBelowTop) {
    in.abspos = {x * 100, y * 100, -zBelowTop * 100};
    return in;
  };
  auto withHead = [](tMoveByDeltaInput in, double ox, double oy) {
    in.offsetX = ox;
    in.offsetY = oy;
    return in;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const DistanceCase cases[] = {
      // To machine coordinates: x, y from the machine's zero, z above the table.
      {"machine point inside", machineAt(M::toMachinePoint, 250, 100, 25), {220, 80, 5}},
      {"machine point below 0 stops at 0", machineAt(M::toMachinePoint, -10, -5, -3), {-30, -20, -20}},
      {"machine point beyond the area stops at its edge", machineAt(M::toMachinePoint, 900, 450, 10), {570, 380, -10}},
      {"machine point above the top stops at the top", machineAt(M::toMachinePoint, 30, 20, 80), {0, 0, 10}},
      {"machine point without Z", machineAt(M::toMachinePoint, 30, 20, 0, true), {0, 0, 0}},
      {"machine point of head 2 carries its offset",
       withHead(machineAt(M::toMachinePoint, 250, 100, 20), -40, 12),
       {180, 92, 0}},
      // To project coordinates: x, y from the work zero.
      {"project point inside", machineAt(M::toProjectPoint, 10, 20, 5), {80, 50, -15}},
      {"project point before the machine's zero stops at 0",
       machineAt(M::toProjectPoint, -150, -80, 0),
       {-30, -20, -20}},
      {"project point beyond the area stops at its edge", machineAt(M::toProjectPoint, 600, 390, 20), {570, 380, 0}},
      {"project point above the top stops at the top", machineAt(M::toProjectPoint, 0, 0, 31), {70, 30, 10}},
      {"project point of head 2 carries its offset",
       withHead(machineAt(M::toProjectPoint, 10, 10, 20), -40, 12),
       {40, 52, 0}},
      {"project point without Z", machineAt(M::toProjectPoint, 10, 20, -7, true), {80, 50, 0}},
      // By the given value.
      {"by value inside", machineAt(M::byDistance, 12.5, -7, 4), {12.5, -7, 4}},
      {"by -50 from X 30 stops at X 0", machineAt(M::byDistance, -50, -25, 0), {-30, -20, 0}},
      {"by value beyond the area stops at its edge", machineAt(M::byDistance, 700, 500, 0), {570, 380, 0}},
      {"by -20 in Z 5 mm above the table stops at the table",
       toolAt(machineAt(M::byDistance, 0, 0, -20), 30, 20, 25),
       {0, 0, -5}},
      {"by value up stops at the machine's top", machineAt(M::byDistance, 0, 0, 15), {0, 0, 10}},
      {"by value without Z", machineAt(M::byDistance, 5, 5, -20, true), {5, 5, 0}},
      {"by value takes no head offset", withHead(machineAt(M::byDistance, 5, 5, 0), -40, 12), {5, 5, 0}},
      // A tool already past a limit is not pulled back by a move away from it.
      {"forward from beyond the area does not go back",
       toolAt(machineAt(M::byDistance, 5, 5, 0), 610, 410, 10),
       {0, 0, 0}},
      {"back from before 0 does not go forward", toolAt(machineAt(M::byDistance, -5, -5, 0), -2, -1, 10), {0, 0, 0}},
      {"fields that are not numbers count as 0", machineAt(M::byDistance, nan, 3, nan), {0, 3, 0}},
  };
  for (const DistanceCase& c : cases) {
    SCOPED_TRACE(c.name);
    const tMoveDelta d = moveByDeltaDistances(c.in);
    EXPECT_NEAR(d.dx, c.expected.dx, 1e-9);
    EXPECT_NEAR(d.dy, c.expected.dy, 1e-9);
    EXPECT_NEAR(d.dz, c.expected.dz, 1e-9);
  }
}

void expectToolAt(SimRig& rig, double x, double y, double z) {
  const sim::TracePoint p = rig.controller->toolPosition();
  EXPECT_NEAR(p.x, x, 0.02);
  EXPECT_NEAR(p.y, y, 0.02);
  EXPECT_NEAR(p.z, z, 0.02);
  EXPECT_FALSE(rig.controller->stateBit(stateBit::motionRunning));
}

// Sets the work zero at X 100, Y 50 with the top 30 mm above the table.
void setWorkZero(SimRig& rig) {
  tMachineOps& ops = rig.ops();
  ops.st.pos0 = {10000, 5000, 3000};
  ops.st.pos0Z123.fill(3000);
  setWorkZeroXY(ops);
  setWorkZeroZ(ops);
  ops.st.pos0 = {};
  // Over the network the state read brings the work zero as well.
  rig.connection->status().readState();
  rig.connection->status().readZeroPoint();
  ASSERT_EQ(ops.st.pos0, (trpoint3d{10000, 5000, 3000}));
}

TEST(MoveByDeltaOnTheMachine, EachModeEndsAtTheExpectedPoint) {
  SimRig rig(Transport::tcp);
  ASSERT_TRUE(rig.connection->connected());
  tMachineOps& ops = rig.ops();
  setWorkZero(rig);
  expectToolAt(rig, 0, 0, 0);

  struct Step {
    const char* name;
    tMoveRequest request;
    double x, y, z;  // machine coordinates afterwards, mm (z 0 at the top)
  };
  const Step steps[] = {
      {"by the given value", {tMoveMode::byDistance, 40, 30, -5, false}, 40, 30, -5},
      {"to a project point", {tMoveMode::toProjectPoint, 10, 20, 12, false}, 110, 70, -18},
      {"by value past X 0 and the table", {tMoveMode::byDistance, -500, 0, -50, false}, 0, 70, -30},
      {"to a machine point beyond the area, Z kept", {tMoveMode::toMachinePoint, 2000, 700, 5, true}, 1000, 600, -30},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    const tMoveByDeltaOutcome out = WykonajClick(ops, s.request);
    EXPECT_EQ(out.result, tMoveByDeltaResult::moved);
    expectToolAt(rig, s.x, s.y, s.z);
  }
}

TEST(MoveByDeltaOnTheMachine, ProjectPointOfTheSecondHeadCarriesItsOffset) {
  sim::SimConfig config;
  config.product = "YJB";  // three heads
  SimRig rig(Transport::tcp, config);
  ASSERT_TRUE(rig.connection->connected());
  tMachineOps& ops = rig.ops();
  setWorkZero(rig);
  ops.settings.headOffsets[1] = {-40, 12};
  activateHead(ops, 1);
  rig.connection->status().readState();
  ASSERT_EQ(ops.st.selectedZ, 1);

  const tMoveByDeltaOutcome out = WykonajClick(ops, {tMoveMode::toProjectPoint, 10, 10, 0, true});
  EXPECT_EQ(out.result, tMoveByDeltaResult::moved);
  const sim::TracePoint p = rig.controller->toolPosition();
  EXPECT_NEAR(p.x, 100 + 10 - 40, 0.02);
  EXPECT_NEAR(p.y, 50 + 10 + 12, 0.02);
}

TEST(MoveByDeltaOnTheMachine, NothingIsSentWithoutALinkOrAfterAStop) {
  SimRig rig(Transport::tcp);
  tMachineOps& ops = rig.ops();
  std::vector<std::string> boxes;
  ops.errorBox = [&](const tTextRef& text, const tTextRef& caption) {
    boxes.push_back(text.section + "/" + text.key + "/" + caption.section + "/" + caption.key);
  };

  // A STOP while the machine still moves: the move is not sent, the
  // manual motion is stopped.
  moveSteps(ops, 2, 9000000, 0, 0);
  rig.takeSent();
  ops.stopRequested = [] { return true; };
  EXPECT_EQ(WykonajClick(ops, {tMoveMode::byDistance, 10, 0, 0, true}).result, tMoveByDeltaResult::stopped);
  const std::vector<Bytes> afterStop = rig.takeSent();
  ASSERT_EQ(afterStop.size(), 1u);
  EXPECT_EQ(afterStop[0][0], 'Y');
  ops.stopRequested = nullptr;
  ASSERT_EQ(waitWhileBusy(ops), tWaitResult::idle);

  rig.controller->dropLink();
  rig.connection->status().readState();
  rig.waitConnected(false);
  rig.takeSent();
  EXPECT_EQ(WykonajClick(ops, {tMoveMode::byDistance, 10, 0, 0, true}).result, tMoveByDeltaResult::noLink);
  EXPECT_EQ(boxes, std::vector<std::string>{"Control_Panel/msgBrakLacznosci/Tool_moving/Przesun.Caption"});
  EXPECT_TRUE(rig.takeSent().empty());
}

}  // namespace
}  // namespace trazvik::test
