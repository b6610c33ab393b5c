// The immediate command operations against the simulated controller, over
// TCP on 127.0.0.1 and through its in-process USB device: the bytes the
// controller receives, and what it does with them.
#include "ops_rig.h"

#include "machine/commands_immediate.h"
#include "link/machine_control_operations.h"
#include "link/speed_operations.h"
#include "machine/state_bits.h"

#include <cmath>

namespace trazvik::test {
namespace {

class CommandOperations : public ::testing::TestWithParam<Transport> {};

TEST_P(CommandOperations, OneShotCommandsArriveAsTheControllerExpectsThem) {
  SimRig rig(GetParam());
  tMachineOps& ops = rig.ops();
  ASSERT_TRUE(rig.connection->connected());
  struct Case {
    const char* name;
    void (*run)(tMachineOps&);
    std::vector<Bytes> expected;
  };
  const Case cases[] = {
      {"stop manual motion", [](tMachineOps& o) { stopManualMotion(o); }, {{'Y'}}},
      {"hold", [](tMachineOps& o) { holdJob(o); }, {{'Q'}}},
      {"continue", [](tMachineOps& o) { continueJob(o); }, {{'K'}}},
      {"go", [](tMachineOps& o) { startStoredJob(o); }, {{'G'}}},
      {"clear", [](tMachineOps& o) { clearJob(o); }, {{'C'}}},
      {"select slot", [](tMachineOps& o) { selectSlot(o, 3); }, {{'F', 3}}},
      {"one second of pauses",
       [](tMachineOps& o) { pauseSeconds(o, 1); },
       {{'P', 255}, {'P', 255}, {'P', 255}, {'P', 235}}},
      {"no pause", [](tMachineOps& o) { pauseSeconds(o, 0); }, {}},
      {"state query", [](tMachineOps& o) { stateQuery(o); }, {{'X'}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rig.takeSent();
    c.run(ops);
    EXPECT_EQ(rig.takeSent(), c.expected);
    if (GetParam() == Transport::tcp) {
      EXPECT_EQ(rig.link.ethernetError, 0);
    }
  }
}

TEST_P(CommandOperations, WorkZeroGoesOutInStepsAsFourByteValues) {
  SimRig rig(GetParam());  // "YFB 32": 10 steps per 0.01 mm
  tMachineOps& ops = rig.ops();
  rig.st.pos0 = {12345.4, -250.6, 1500};
  setWorkZeroXY(ops);
  setWorkZeroZ(ops);
  Bytes u{'U'}, n{'N'};
  appendLe(u, 123454, 4);
  appendLe(u, -2506, 4);
  appendLe(n, 15000, 4);
  EXPECT_EQ(rig.takeSent(), (std::vector<Bytes>{u, n}));
  const sim::MachineState m = rig.controller->machineState();
  EXPECT_EQ(m.zeroPoint[0], 123454);
  EXPECT_EQ(m.zeroPoint[1], -2506);
  EXPECT_EQ(m.zeroPoint[2], 15000);
}

TEST_P(CommandOperations, WorkZeroOfAThreeHeadMachineEndsWithTheSelectedHead) {
  sim::SimConfig config;
  config.product = "YJB";
  SimRig rig(GetParam(), config);
  ASSERT_EQ(rig.machine.machineParams.headCount, 3);
  const double f = rig.machine.machineParams.axisFactorZ;
  rig.st.pos0Z123[0] = 100;
  rig.st.pos0Z123[1] = 200;
  rig.st.pos0Z123[2] = 300;
  rig.st.selectedZ = 2;
  setWorkZeroZ(rig.ops());
  auto steps = [f](double h) { return static_cast<std::int64_t>(std::nearbyint(h * f)); };
  Bytes n{'N'};
  appendLe(n, steps(100), 4);
  std::vector<Bytes> expected{n};
  for (int head : {0, 1, 2}) {
    Bytes sn{'S', 'N'};
    appendLe(sn, head, 4);
    appendLe(sn, steps(100.0 * (head + 1)), 4);
    expected.push_back(sn);
  }
  EXPECT_EQ(rig.takeSent(), expected);
  EXPECT_EQ(rig.controller->machineState().headZeros[2], steps(300));
}

TEST_P(CommandOperations, SetSpeedLoadsTheSelectedSlotAndReadsItBack) {
  SimRig rig(GetParam());  // wide set, speedMultiplier 2
  tMachineOps& ops = rig.ops();
  selectSlot(ops, 1);
  rig.takeSent();
  const std::uint16_t period = speedToPeriod(ops, 2 * 3000);
  setSpeed(ops, period);
  Bytes v{'V', 1};
  appendLe(v, period / 2, 4);
  EXPECT_EQ(rig.takeSent(), std::vector<Bytes>{v});
  EXPECT_EQ(rig.controller->machineState().speedSlots[1], period / 2);
  rig.connection->status().readState();
  rig.connection->status().readSpeeds();
  EXPECT_EQ(rig.st.sel_speed, 1);
  EXPECT_EQ(rig.st.speed, period / 2 * 2);  // reported times speedMultiplier
}

INSTANTIATE_TEST_SUITE_P(Links, CommandOperations, ::testing::Values(Transport::tcp, Transport::usb), transportName);

// Conversions need an identified machine, no link.
struct Converter {
  explicit Converter(const std::string& product) {
    machine = machineModelFor(paddedProductString(product, 8), 7, 20, 0, link);
  }
  tMachineState state;
  tLinkState& link = state.link;
  tMachineModel& machine = state.model;
  tMachineConnection connection{state, nullptr};
};

TEST(SpeedConversion, SlowFeedsMachineFactorsAndRoundTrip) {
  Converter lfv("LFV");  // minFeed 12
  EXPECT_EQ(speedToPeriod(lfv.connection.ops(), 10), 65535);
  EXPECT_EQ(periodToSpeed(lfv.connection.ops(), 0), 12);

  Converter ycp("YCP 50");  // axisFactorX 4.796..., the wide conversion divides by 5
  const auto& p = ycp.machine.machineParams;
  const double b = 1000 * 100.0 / 60.0;
  EXPECT_EQ(speedToPeriod(ycp.connection.ops(), 1000), std::nearbyint(1000000 / 5.0 / b / p.timerTick));

  Converter yfb("YFB 32");
  tMachineOps& ops = yfb.connection.ops();
  for (int feed : {200, 1000, 5000}) {
    SCOPED_TRACE(feed);
    const int scaled = feed * yfb.machine.machineParams.speedMultiplier;
    const double back = periodToSpeed(ops, speedToPeriod(ops, scaled));
    EXPECT_NEAR(back, scaled, scaled * 0.02);
  }
}

TEST(SpeedConversion, AFeedTooSlowForSixteenBitsIsTheSlowestPeriodNotAWrappedFastOne) {
  Converter yfb("YFB 32");
  yfb.machine.machineParams.minFeed = 0;
  EXPECT_EQ(speedToPeriod(yfb.connection.ops(), 1), 65535);
}

}  // namespace
}  // namespace trazvik::test
