// Moves, waits and the knife axis against the simulated controller over
// TCP and USB: the move bytes, the safe move to a point, the straight move
// in machine coordinates, and waits that end on STOP or a lost link.
#include "ops_rig.h"

#include "link/knife_operations.h"
#include "link/machine_control_operations.h"
#include "link/move_operations.h"
#include "machine/state_bits.h"

#include <thread>

using namespace std::chrono_literals;

namespace trazvik::test {
namespace {

class MoveOperations : public ::testing::TestWithParam<Transport> {};

// Position of the simulated tool in machine millimetres.
void expectToolAt(SimRig& rig, double x, double y, double z) {
  const sim::TracePoint p = rig.controller->toolPosition();
  EXPECT_NEAR(p.x, x, 0.01);
  EXPECT_NEAR(p.y, y, 0.01);
  EXPECT_NEAR(p.z, z, 0.01);
}

TEST_P(MoveOperations, MoveStepsUsesTheWideLayoutWithNoSpeedLimit) {
  SimRig rig(GetParam());  // "YFB 32" at 7.20: wide, multiplier 2
  moveSteps(rig.ops(), 2, 100, -50, 0);
  moveSteps(rig.ops(), 2, 0, 0, 0);  // sent even when it goes nowhere
  // 'A', direction flags (Y and Z not positive) with the code's top nibble,
  // length 2 x nearest(111.8 + 0.5) = 224, |dx|, |dy|, |dz| with the code's
  // second nibble on top, the code's low byte.
  const Bytes first{'A', 0xF6, 224, 0, 0, 100, 0, 0, 50, 0, 0, 0, 0, 0xF0, 0xFF};
  const Bytes still{'A', 0xF7, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0xFF};
  EXPECT_EQ(rig.takeSent(), (std::vector<Bytes>{first, still}));
  EXPECT_EQ(waitWhileBusy(rig.ops()), tWaitResult::idle);
  EXPECT_EQ(rig.controller->machineState().x, 100);
  EXPECT_EQ(rig.controller->machineState().y, -50);
}

TEST_P(MoveOperations, SafeMoveLiftsTravelsAndLowers) {
  SimRig rig(GetParam());
  tMachineOps& ops = rig.ops();
  ops.settings.travelHeight = 10;
  ASSERT_TRUE(moveToPoint(ops, 0, 5, 20, 50));
  expectToolAt(rig, 50, 20, 5);
  const std::vector<Bytes> sent = rig.takeSent();
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(sent[0], (Bytes{'F', 0}));
  // Lift alone, then X and Y alone, then Z alone.
  const auto moved = [](const Bytes& b, int offset) {
    return b[offset] | b[offset + 1] << 8 | (b[offset + 2] & 0x0F) << 16;
  };
  EXPECT_EQ(moved(sent[1], 5) + moved(sent[1], 8), 0);
  EXPECT_EQ(moved(sent[1], 11), 10000);
  EXPECT_EQ(moved(sent[2], 5), 50000);
  EXPECT_EQ(moved(sent[2], 8), 20000);
  EXPECT_EQ(moved(sent[2], 11), 0);
  EXPECT_EQ(moved(sent[3], 11), 5000);

  // Already there: nothing moves, the result is still true.
  ASSERT_TRUE(moveToPoint(ops, 0, 5, 20, 50));
  EXPECT_EQ(rig.takeSent(), std::vector<Bytes>{(Bytes{'F', 0})});
}

TEST_P(MoveOperations, SafeMoveIsRelativeToTheWorkZero) {
  SimRig rig(GetParam());
  tMachineOps& ops = rig.ops();
  rig.st.pos0 = {1000, 2000, 0};  // 10 mm, 20 mm
  setWorkZeroXY(ops);
  ASSERT_TRUE(moveToPoint(ops, 0, 0, 1, 2));
  expectToolAt(rig, 12, 21, 0);
}

TEST_P(MoveOperations, BusyMachineRefusesPointMovesAndNothingIsSent) {
  SimRig rig(GetParam());
  tMachineOps& ops = rig.ops();
  moveSteps(ops, 2, 400000, 0, 0);  // 400 mm
  rig.takeSent();
  EXPECT_FALSE(moveToPoint(ops, 0, 0, 0, 0));
  EXPECT_FALSE(moveToMachinePoint(ops, 0, 0, 0));
  EXPECT_TRUE(rig.takeSent().empty());
  stopManualMotion(ops);
}

TEST_P(MoveOperations, StraightMoveInMachineCoordinates) {
  SimRig rig(GetParam());
  tMachineOps& ops = rig.ops();
  ASSERT_TRUE(moveToMachinePoint(ops, -2, 40, 30));
  expectToolAt(rig, 30, 40, -2);
  const std::vector<Bytes> sent = rig.takeSent();
  ASSERT_EQ(sent.size(), 3u);
  Bytes load{'V', 2};
  appendLe(load, rig.controller->machineState().speedSlots[2], 4);
  EXPECT_EQ(sent[0], load);
  EXPECT_EQ(sent[1], (Bytes{'F', 2}));
  EXPECT_EQ(sent[2][0], 'A');
  EXPECT_EQ(sent[2].size(), 15u);
  // Already there: nothing is moved.
  ASSERT_TRUE(moveToMachinePoint(ops, -2, 40, 30));
  EXPECT_EQ(rig.takeSent().size(), 2u);  // the slot load and its selection only
}

TEST_P(MoveOperations, StopLeavesTheWaitAndEndsTheManualMotion) {
  SimRig rig(GetParam());
  tMachineOps& ops = rig.ops();
  int pumped = 0;
  ops.pumpEvents = [&] { ++pumped; };
  ops.stopRequested = [&] { return pumped >= 3; };
  ops.settings.travelHeight = 0;
  EXPECT_FALSE(moveToPoint(ops, 0, 0, 0, 900));  // 900 mm: far longer than the test
  EXPECT_EQ(pumped, 3);
  const std::vector<Bytes> sent = rig.takeSent();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.back(), Bytes{'Y'});
  ops.stopRequested = nullptr;
  EXPECT_EQ(waitWhileBusy(ops), tWaitResult::idle);
  EXPECT_LT(rig.controller->toolPosition().x, 900);
}

TEST_P(MoveOperations, VanishedControllerEndsTheWait) {
  SimRig rig(GetParam());
  tMachineOps& ops = rig.ops();
  moveSteps(ops, 2, 9000000, 0, 0);
  int pumped = 0;
  ops.pumpEvents = [&] {
    if (++pumped == 2) {
      if (rig.transport() == Transport::tcp)
        rig.server->stop();
      else
        rig.controller->dropLink();
    }
  };
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(waitWhileBusy(ops), tWaitResult::linkLost);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  EXPECT_FALSE(rig.connection->connected());
}

// A USB controller that stops answering is a vanished one (above); over TCP
// it can still hold the connection open and say nothing.
TEST(MoveOperationsTcp, SilentControllerEndsTheWaitWithinTheReceiveTimeOut) {
  SimRig rig(Transport::tcp);
  tMachineOps& ops = rig.ops();
  moveSteps(ops, 2, 9000000, 0, 0);
  int pumped = 0;
  ops.pumpEvents = [&] {
    if (++pumped == 2) rig.controller->setStalled(true);
  };
  EXPECT_EQ(waitWhileBusy(ops), tWaitResult::linkLost);
  EXPECT_EQ(rig.link.ethernetError, 100);
}

TEST_P(MoveOperations, KnifeTurnsTheShortWayAndGivesZBack) {
  sim::SimConfig config;
  config.product = "YHB 32";  // tangential knife, 4000 steps a turn
  SimRig rig(GetParam(), config);
  tMachineOps& ops = rig.ops();
  ASSERT_EQ(rig.machine.machineParams.knifeStepsPerTurn, 4000);
  ASSERT_TRUE(rotateKnifeToSteps(ops, -1000));
  EXPECT_EQ(rig.controller->machineState().v, -1000);
  rig.connection->status().readPositions();
  rig.takeSent();
  ASSERT_EQ(knifeAngleOfDirection(-1, 0, 4000), 2000);
  // From -1000 to 2000 is three quarter turns forward, one back: Z field
  // 1000 with only the Z direction flag, length 1000.
  ASSERT_TRUE(rotateKnifeTo(ops, -1, 0));
  const Bytes turn{'A', 0xF4, 0xE8, 0x03, 0, 0, 0, 0, 0, 0, 0, 0xE8, 0x03, 0xF0, 0xFF};
  EXPECT_EQ(rig.takeSent(), (std::vector<Bytes>{record16Of("S3v", {4}), turn, record16Of("S3v", {0})}));
  EXPECT_EQ(rig.controller->machineState().v, -2000);
  EXPECT_EQ(rig.controller->machineState().z[0], 0);

  // The same direction again: a whole turn is no turn, nothing is sent.
  rig.connection->status().readPositions();
  ASSERT_TRUE(rotateKnifeTo(ops, -1, 0));
  EXPECT_TRUE(rig.takeSent().empty());

  // A two-edged knife takes the opposite edge when it is nearer.
  ops.settings.twoEdgedKnife = true;
  ASSERT_TRUE(rotateKnifeTo(ops, 1, 0));  // half a turn away: the other edge is already there
  EXPECT_TRUE(rig.takeSent().empty());

  ASSERT_TRUE(rotateKnifeToSteps(ops, 500));
  EXPECT_EQ(rig.controller->machineState().v, 500);
}

INSTANTIATE_TEST_SUITE_P(Links, MoveOperations, ::testing::Values(Transport::tcp, Transport::usb), transportName);

}  // namespace
}  // namespace trazvik::test
