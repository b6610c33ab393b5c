// The tool length of a multi-head machine on the simulated controller over
// TCP: the checked heads measured on the fixed sensor each get the Z zero
// that puts their tool tip at the sensor's height, the others keep theirs;
// the typed zeros of the manual panel; and the refusals that send nothing.
#include "../link/ops_rig.h"

#include "control/tool_length.h"
#include "link/machine_control_operations.h"
#include "link/move_operations.h"
#include "machine/state_bits.h"

#include <array>
#include <limits>

namespace trazvik::test {
namespace {

// Where each head's tool touches the sensor (machine Z, mm): three tools
// of different lengths.
const std::vector<double> kHeadTouchMm{-80, -95, -70};
const tHeadSensor kSensor{300, 15};

struct HeadMachine {
  explicit HeadMachine(int heads) : rig(Transport::tcp, configFor(heads)) {
    ops().machine.machineParams.headCount = static_cast<std::uint8_t>(heads);
    ops().settings.headOffsets[1] = {-120, 0};
    ops().settings.headOffsets[2] = {-240, 0};
  }
  static sim::SimConfig configFor(int heads) {
    sim::SimConfig config;
    config.product = "YJB";
    config.heads = heads;
    config.headProbeTouchMm = kHeadTouchMm;
    return config;
  }
  tMachineOps& ops() { return rig.ops(); }
  // The Z zero the controller holds for head i (hundredths of a mm).
  double zeroOf(int head) {
    return rig.controller->machineState().headZeros[static_cast<std::size_t>(head)] / ops().params().axisFactorZ;
  }
  SimRig rig;
};

TEST(HeadToolLength, EachCheckedHeadGetsTheZeroOfItsToolOnTheSensor) {
  struct Case {
    const char* name;
    int heads;
    std::array<bool, 3> checked;
  };
  const Case cases[] = {
      {"two heads, both", 2, {true, true, false}},
      {"three heads, all", 3, {true, true, true}},
      {"three heads, 1 and 3: head 2 keeps its zero", 3, {true, false, true}},
      {"three heads, only 2", 3, {false, true, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadMachine m(c.heads);
    ASSERT_TRUE(m.rig.connection->connected());
    tMachineOps& ops = m.ops();
    const std::array<double, 3> before{4242, 4343, 4444};
    for (std::size_t i = 0; i < 3; ++i) ops.st.pos0Z123[i] = before[i];
    setWorkZeroZ(ops);
    // Somewhere away from the sensor, tool down.
    ASSERT_TRUE(moveToMachinePoint(ops, -20, 100, 700));
    int hourglass = 0;
    EXPECT_EQ(measureSelectedHeads(ops, c.checked, kSensor, {}, [&](bool on) { hourglass += on ? 1 : -1; }),
              tToolLengthResult::set);
    EXPECT_EQ(hourglass, 0);
    int last = -1;
    for (int i = 0; i < c.heads; ++i) {
      SCOPED_TRACE(i + 1);
      const auto h = static_cast<std::size_t>(i);
      // The tip touched the sensor's top, kSensor.z above the table, at
      // machine Z kHeadTouchMm[i]: the top is that far above the table.
      const double expected = c.checked[h] ? (kSensor.z - kHeadTouchMm[h]) * 100 : before[h];
      EXPECT_NEAR(m.zeroOf(i), expected, 1);
      EXPECT_NEAR(ops.st.pos0Z123[h], expected, 1) << "the window's list shows what the controller holds";
      if (!c.checked[h]) continue;
      EXPECT_NEAR(m.rig.controller->machineState().z[h], 0, 1) << "the head is back at the top";
      last = i;
    }
    // The last head measured still stands over the sensor.
    const double x = m.rig.controller->toolPosition().x;
    EXPECT_NEAR(x, kSensor.x + ops.settings.headOffsets[static_cast<std::size_t>(last)].x, 0.02);
  }
}

TEST(HeadToolLength, TypedZerosReachTheControllerAndRefusalsSendNothing) {
  HeadMachine m(3);
  ASSERT_TRUE(m.rig.connection->connected());
  tMachineOps& ops = m.ops();
  std::vector<std::string> boxes;
  ops.errorBox = [&](const tTextRef& text, const tTextRef&) { boxes.push_back(text.section + "/" + text.key); };

  EXPECT_EQ(setHeadZeros(ops, {210, 195.5, -3.25}), tToolLengthResult::set);
  EXPECT_NEAR(m.zeroOf(0), 21000, 1);
  EXPECT_NEAR(m.zeroOf(1), 19550, 1);
  EXPECT_NEAR(m.zeroOf(2), -325, 1);

  // No head checked, a value that is no number.
  m.rig.takeSent();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(measureSelectedHeads(ops, {false, false, false}, kSensor, {}), tToolLengthResult::noHead);
  EXPECT_EQ(setHeadZeros(ops, {210, nan, 200}), tToolLengthResult::tooFar);
  EXPECT_TRUE(m.rig.takeSent().empty());

  // A moving machine.
  moveSteps(ops, 2, 9000000, 0, 0);
  m.rig.takeSent();
  EXPECT_EQ(measureSelectedHeads(ops, {true, true, true}, kSensor, {}), tToolLengthResult::busy);
  EXPECT_TRUE(m.rig.takeSent().empty());
  EXPECT_EQ(boxes, std::vector<std::string>{"Dlugosc_narzedzai/msgZatrzymajPrzedPomiarem"});
  stopManualMotion(ops);

  // A lost link.
  m.rig.controller->dropLink();
  m.rig.connection->status().readState();
  m.rig.waitConnected(false);
  boxes.clear();
  m.rig.takeSent();
  EXPECT_EQ(measureSelectedHeads(ops, {true, false, true}, kSensor, {}), tToolLengthResult::noLink);
  EXPECT_EQ(setHeadZeros(ops, {1, 2, 3}), tToolLengthResult::noLink);
  EXPECT_TRUE(m.rig.takeSent().empty());
  EXPECT_EQ(boxes, (std::vector<std::string>{"Control_Panel/msgBrakLacznosci", "Control_Panel/msgBrakLacznosci"}));
  EXPECT_NEAR(m.zeroOf(0), 21000, 1) << "the zeros the controller holds stay";
}

}  // namespace
}  // namespace trazvik::test
