// The simulated controller in-process: motions in simulated time, the job
// buffer and its state bits, hold/continue/go/clear, homing and probing.
#include "sim_test_support.h"

#include "link/status_decode.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace trazvik::sim::test {
namespace {

class SimControllerTest : public ::testing::Test {
 protected:
  SimConfig config;
  std::unique_ptr<SimController> ctl;

  void SetUp() override { make(); }
  void make() { ctl = std::make_unique<SimController>(config, yfb32()); }

  // Sends one command as over Ethernet and checks its echo.
  void send(const Bytes& c) {
    const PortResponse r = ctl->onCommandData(1, c);
    ASSERT_EQ(r.pieces.size(), 1u);
    Bytes expected = c;
    if (expected[0] >= 'a' && expected[0] <= 'z') expected[0] = static_cast<std::uint8_t>(expected[0] - 32);
    EXPECT_EQ(r.pieces[0].data, expected);
  }
  tplotstate status() {
    const PortResponse r = ctl->onCommandData(1, bytesOf("SX"));
    EXPECT_EQ(r.pieces.size(), 1u);
    tplotstate st;
    tLinkState link = ctl->machine().link;
    EXPECT_TRUE(decodeEthernetStatus(r.pieces.at(0).data, ctl->layout(), st, link));
    return st;
  }
  void sendJob(int squares) {
    send(slot('v', 0, yfbCode5000));
    send(slot('v', 1, yfbCode5000));
    send(Bytes{'f', 0});
    send(wideMove('a', 10000, 10000, 0, 2));  // to (10, 10) mm
    send(Bytes{'r', 1, 1});                   // tool on
    send(Bytes{'f', 1});
    for (int i = 0; i < squares; ++i) {
      send(wideMove('a', 20000, 0, 0, 2));
      send(wideMove('a', 0, 20000, 0, 2));
      send(wideMove('a', -20000, 0, 0, 2));
      send(wideMove('a', 0, -20000, 0, 2));
    }
    send(Bytes{'r', 0, 1});
    send(record("SE"));
  }
};

TEST_F(SimControllerTest, ImmediateMoveTakesItsTimeFromTheSelectedSlot) {
  send(slot('V', 2, yfbCode5000));
  send(Bytes{'F', 2});
  send(wideMove('A', 1000, 0, -500, 2));  // 1 mm in X, 0.5 mm down
  // Busy at once, before any time passed: waitWhileBusy relies on it.
  EXPECT_TRUE(bit(status().StateExtend, stateBit::motionRunning));
  // L = 2 * round(sqrt(1000^2 + 500^2) + 0.5) = 2238 steps of 240 counts of 0.025 us.
  ctl->advance(13000us);
  EXPECT_TRUE(bit(status().StateExtend, stateBit::motionRunning));
  ctl->advance(500us);
  const tplotstate st = status();
  EXPECT_FALSE(bit(st.StateExtend, stateBit::motionRunning));
  EXPECT_EQ(st.realpos.x, 1000);
  EXPECT_EQ(st.realpos.z, -500);
  EXPECT_DOUBLE_EQ(st.abspos.x, 100.0);  // hundredths of a millimetre
}

TEST_F(SimControllerTest, StatusDuringAMoveShowsTheToolOnItsWay) {
  send(slot('V', 2, yfbCode5000));
  send(Bytes{'F', 2});
  send(wideMove('A', 10000, 0, 0, 2));  // 10 mm: 120 ms
  ctl->advance(60ms);
  const tplotstate st = status();
  EXPECT_NEAR(st.realpos.x, 5000, 10);
  EXPECT_EQ(st.speedc, static_cast<std::int32_t>(yfbCode5000 * 2));  // reported x speedMultiplier
}

TEST_F(SimControllerTest, JobWaitsForGoRunsWithBitOneAndEndsAtTheEndRecord) {
  sendJob(2);
  ctl->advance(1s);
  tplotstate st = status();
  EXPECT_FALSE(bit(st.StateExtend, stateBit::jobRunning)) << "a job starts only with G";
  EXPECT_EQ(st.realpos.x, 0);
  send(Bytes{'G'});
  EXPECT_TRUE(bit(status().StateExtend, stateBit::jobRunning));
  ctl->advance(500ms);  // 10*sqrt2 mm of travel, then 2 squares of 80 mm: about 2.1 s
  st = status();
  EXPECT_TRUE(bit(st.StateExtend, stateBit::jobRunning));
  EXPECT_TRUE(bit(st.StateExtend, stateBit::toolOn));
  EXPECT_TRUE(ctl->runUntilIdle(10s));
  st = status();
  EXPECT_FALSE(bit(st.StateExtend, stateBit::jobRunning));
  EXPECT_FALSE(bit(st.StateExtend, stateBit::toolOn));
  EXPECT_TRUE(bit(st.StateExtend, stateBit::jobStored));
  EXPECT_EQ(st.realpos.x, 10000);
  EXPECT_EQ(st.realpos.y, 10000);
  EXPECT_NEAR(ctl->simulatedSeconds(), 1.0 + 0.17 + 1.92, 0.02);  // idle second, travel, cuts

  const ToolTrace trace = ctl->trace();
  EXPECT_NEAR(trace.pathLength(true), 160.0, 1e-6);
  EXPECT_NEAR(trace.pathLength(false), std::hypot(10.0, 10.0), 1e-6);
  const TraceBounds cut = trace.bounds(true);
  EXPECT_DOUBLE_EQ(cut.min.x, 10);
  EXPECT_DOUBLE_EQ(cut.max.x, 30);
  EXPECT_DOUBLE_EQ(cut.max.y, 30);
}

TEST_F(SimControllerTest, GoRepeatsTheStoredJobAndClearForgetsIt) {
  sendJob(1);
  send(Bytes{'G'});
  ASSERT_TRUE(ctl->runUntilIdle(10s));
  const double firstCut = ctl->trace().pathLength(true);
  // The workstation brings the tool back before a repeat.
  send(wideMove('A', -10000, -10000, 0, 2));
  ASSERT_TRUE(ctl->runUntilIdle(10s));
  send(Bytes{'G'});
  ASSERT_TRUE(ctl->runUntilIdle(10s));
  EXPECT_NEAR(ctl->trace().pathLength(true), 2 * firstCut, 1e-6);
  EXPECT_EQ(ctl->counters().jobsEnded, 2u);

  send(Bytes{'C'});
  EXPECT_FALSE(ctl->stateBit(stateBit::jobStored));
  send(Bytes{'G'});
  EXPECT_FALSE(ctl->stateBit(stateBit::jobRunning)) << "nothing to run after C";
}

TEST_F(SimControllerTest, HoldStopsMidMoveAndContinueFinishesTheRestOfIt) {
  send(slot('v', 1, yfbCode5000));
  send(Bytes{'f', 1});
  send(wideMove('a', 50000, 0, 0, 2));  // 50 mm: 600 ms
  send(record("SE"));
  send(Bytes{'G'});
  ctl->advance(300ms);
  send(Bytes{'Q'});
  tplotstate st = status();
  // The workstation's pause waits while bit 0 or bit 1 is set.
  EXPECT_FALSE(bit(st.StateExtend, stateBit::jobRunning));
  EXPECT_FALSE(bit(st.StateExtend, stateBit::motionRunning));
  EXPECT_TRUE(bit(st.StateExtend, stateBit::jobPaused));
  const std::int32_t heldAt = st.realpos.x;
  EXPECT_NEAR(heldAt, 25000, 50);
  ctl->advance(2s);
  EXPECT_EQ(status().realpos.x, heldAt);

  // Park and come back, as the workstation does, then continue.
  send(wideMove('A', 0, 0, 5000, 2));
  send(wideMove('A', 0, 0, -5000, 2));
  ASSERT_TRUE(ctl->runUntilIdle(5s));
  send(Bytes{'K'});
  st = status();
  EXPECT_TRUE(bit(st.StateExtend, stateBit::jobRunning));
  EXPECT_FALSE(bit(st.StateExtend, stateBit::jobPaused));
  ASSERT_TRUE(ctl->runUntilIdle(5s));
  EXPECT_EQ(status().realpos.x, 50000);
}

TEST_F(SimControllerTest, BufferFullBitFollowsTheFillAndOverflowIsDroppedAndCounted) {
  config.bufferBytes = 150;    // ten wide moves
  config.bufferHeadroom = 30;  // and two more
  make();
  for (int i = 0; i < 9; ++i) send(wideMove('a', 100, 0, 0, 2));
  EXPECT_FALSE(ctl->stateBit(stateBit::bufferFull));
  send(wideMove('a', 100, 0, 0, 2));
  EXPECT_TRUE(ctl->stateBit(stateBit::bufferFull));
  send(wideMove('a', 100, 0, 0, 2));
  send(wideMove('a', 100, 0, 0, 2));
  send(wideMove('a', 100, 0, 0, 2));  // beyond the headroom: lost, as in a real controller
  EXPECT_EQ(ctl->counters().droppedJobCommands, 1u);
  send(Bytes{'G'});
  ctl->advance(20ms);  // a few moves executed make room
  EXPECT_FALSE(ctl->stateBit(stateBit::bufferFull));
}

TEST_F(SimControllerTest, BufferRunningEmptyHoldsTheJobUntilMoreArrives) {
  send(slot('v', 1, yfbCode5000));
  send(Bytes{'f', 1});
  send(wideMove('a', 1000, 0, 0, 2));
  send(Bytes{'G'});
  ctl->advance(100ms);
  tplotstate st = status();
  EXPECT_TRUE(bit(st.StateExtend, stateBit::heldForEmptyBuffer));
  EXPECT_TRUE(bit(st.StateExtend, stateBit::jobRunning)) << "an underrun is not the end of the job";
  ctl->advance(10s);
  EXPECT_TRUE(ctl->stateBit(stateBit::jobRunning));
  send(wideMove('a', 1000, 0, 0, 2));
  send(record("SE"));
  ctl->advance(1ms);
  EXPECT_FALSE(ctl->stateBit(stateBit::heldForEmptyBuffer));
  ASSERT_TRUE(ctl->runUntilIdle(5s));
  EXPECT_EQ(status().realpos.x, 2000);
}

TEST_F(SimControllerTest, NarrowJobWithoutEndRecordEndsWhenTheBufferStaysEmpty) {
  SimMachine narrow = yfb32();
  narrow.model.machineParams.wideCommandSet = 0;
  narrow.model.commandLengths = tCommandLengths{};
  config.emptyBufferEndMs = 200;
  ctl = std::make_unique<SimController>(config, narrow);
  Bytes move = wideMove('a', 1000, 0, 0, 2);
  move.pop_back();  // the narrow move has no S byte and a plain Z field
  send(move);
  send(Bytes{'G'});
  ctl->advance(100ms);
  EXPECT_TRUE(ctl->stateBit(stateBit::jobRunning));
  ctl->advance(150ms);  // the move ends at 120 ms; 130 ms empty so far
  EXPECT_TRUE(ctl->stateBit(stateBit::jobRunning));
  ctl->advance(100ms);
  EXPECT_FALSE(ctl->stateBit(stateBit::jobRunning));
  EXPECT_EQ(ctl->reports().position[0], 1000);
}

TEST_F(SimControllerTest, HomingSetsBitThreeAndEndsAtTheReference) {
  config.baseDeviationMm = {0.02, -0.01, 0};
  make();
  send(wideMove('A', 20000, 30000, -4000, 2));
  ASSERT_TRUE(ctl->runUntilIdle(5s));
  send(Bytes{'B', 0x37});
  EXPECT_TRUE(ctl->stateBit(stateBit::homing));
  ctl->advance(100ms);
  EXPECT_TRUE(ctl->stateBit(stateBit::homing));
  ASSERT_TRUE(ctl->runUntilIdle(10s));
  EXPECT_FALSE(ctl->stateBit(stateBit::homing));
  EXPECT_EQ(ctl->reports().position, (std::array<std::int32_t, 4>{0, 0, 0, 0}));

  // The base check leaves each axis at what it found: 0.02 mm = 20 steps.
  send(Bytes{'B', 0x81});
  send(Bytes{'B', 0x82});
  ASSERT_TRUE(ctl->runUntilIdle(10s));
  EXPECT_EQ(ctl->reports().position[0], 20);
  EXPECT_EQ(ctl->reports().position[1], -10);
}

TEST_F(SimControllerTest, LostStepsShowInEveryBaseCheckUntilTheAxisIsHomed) {
  make();
  ScheduledFault lost;
  lost.action = FaultAction::lostSteps;
  lost.shiftMm = {0.2, 0, -0.7};
  ctl->apply(lost);
  const auto check = [&] {
    for (std::uint8_t mask : {0x81, 0x82, 0x84}) send(Bytes{'B', mask});
    EXPECT_TRUE(ctl->runUntilIdle(10s));
    return ctl->reports().position;
  };
  // The check measures without correcting: a second one finds the same.
  for (int i = 0; i < 2; ++i) {
    const auto p = check();
    EXPECT_EQ(p[0], 200);
    EXPECT_EQ(p[1], 0);
    EXPECT_EQ(p[2], -700);
  }
  send(Bytes{'B', 0x31});  // homing X finds its switch anew; Z keeps its slip
  ASSERT_TRUE(ctl->runUntilIdle(10s));
  const auto p = check();
  EXPECT_EQ(p[0], 0);
  EXPECT_EQ(p[2], -700);
}

TEST_F(SimControllerTest, ProbeStopsAtTheSensorAndStopCommandEndsAManualMove) {
  config.probeTouchMm = -40;
  make();
  send(Bytes{'W'});
  ASSERT_TRUE(ctl->runUntilIdle(30s));
  EXPECT_EQ(ctl->reports().position[2], -40000);

  send(slot('V', 2, yfbCode5000));
  send(Bytes{'F', 2});
  send(wideMove('A', 100000, 0, 0, 2));  // 100 mm
  ctl->advance(120ms);
  send(Bytes{'Y'});
  EXPECT_FALSE(ctl->stateBit(stateBit::motionRunning));
  ctl->advance(1s);
  EXPECT_NEAR(ctl->reports().position[0], 10000, 20);
}

TEST_F(SimControllerTest, SlotsPowersOutputsAndZerosAppearInTheStatus) {
  send(slot('V', 0, 480));
  send(slot('V', 1, 240));
  send(Bytes{'F', 1});
  send(Bytes{'T', 1, 0x10, 0x27, 0, 0});  // 10000
  send(Bytes{'R', 1, 0x01});
  Bytes zero{'U'};
  putLe(zero, 150000, 4);
  putLe(zero, 70000, 4);
  send(zero);
  Bytes zeroZ{'N'};
  putLe(zeroZ, 12000, 4);
  send(zeroZ);
  tplotstate st = status();
  EXPECT_EQ(st.sel_speed, 1);
  EXPECT_EQ(st.speedp, 960);  // x speedMultiplier on reading
  EXPECT_EQ(st.speedr, 480);
  EXPECT_EQ(st.sel_power, 1);
  EXPECT_EQ(st.power, 10000);
  EXPECT_TRUE(bit(st.StateExtend, stateBit::toolOn));
  EXPECT_DOUBLE_EQ(st.pos0.x, 15000);
  EXPECT_DOUBLE_EQ(st.pos0.y, 7000);
  EXPECT_DOUBLE_EQ(st.pos0.z, 1200);
  send(Bytes{'R', 0, 0x01});
  EXPECT_FALSE(bit(status().StateExtend, stateBit::toolOn));
}

}  // namespace
}  // namespace trazvik::sim::test
