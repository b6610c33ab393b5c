// The panel's jog and tool controls: the jog deltas of every direction, and
// keys, buttons and tool controls against the simulated controller.
#include "../link/ops_rig.h"

#include "control/jog_panel.h"
#include "control/tool_controls.h"
#include "link/machine_control_operations.h"
#include "link/move_operations.h"
#include "link/speed_operations.h"
#include "machine/state_bits.h"

namespace trazvik::test {
namespace {

struct JogCase {
  const char* name;
  tJogDirection direction;
  double dx, dy, dz;
};

TEST(JogDelta, EveryDirectionGoesToTheEndOfTheTravel) {
  tLinkState link;
  link.cncMachine = true;
  link.workArea = {1300, 2500, 150};
  tMachineModel machine = machineModelFor("YFB 32  ", 7, 20, 0, link);
  tplotstate st;
  st.abspos = {12000, 5000, -3000, 0};
  st.pos0 = {0, 0, 1000};
  const JogCase cases[] = {
      {"left", tJogDirection::left, -12000, 0, 0},
      {"right", tJogDirection::right, 118000, 0, 0},
      {"up", tJogDirection::up, 0, 245000, 0},
      {"down", tJogDirection::down, 0, -5000, 0},
      {"down-left stops at Y 0", tJogDirection::downLeft, -5000, -5000, 0},
      {"down-right", tJogDirection::downRight, 5000, -5000, 0},
      {"up-left stops at X 0", tJogDirection::upLeft, -12000, 12000, 0},
      {"up-right", tJogDirection::upRight, 118000, 118000, 0},
      {"Z up to the machine's zero", tJogDirection::zUp, 0, 0, 3000},
      {"Z down to the work zero", tJogDirection::zDown, 0, 0, 2000},
  };
  for (const JogCase& c : cases) {
    SCOPED_TRACE(c.name);
    const tJogDelta d = jogDelta(c.direction, st, link, machine);
    EXPECT_EQ(d.dx, c.dx);
    EXPECT_EQ(d.dy, c.dy);
    EXPECT_EQ(d.dz, c.dz);
    EXPECT_EQ(d.multiplier, machine.machineParams.speedMultiplier);  // wide set
  }
  // A laser's Z counts from the work zero.
  machine.machineParams.laserZAxis = 1;
  EXPECT_EQ(jogDelta(tJogDirection::zUp, st, link, machine).dz, 4000);
  EXPECT_EQ(jogDelta(tJogDirection::zDown, st, link, machine).dz, 3000);
}

TEST(JogDelta, OldMachinesDoubleThePathOfZAndOfDiagonals) {
  tLinkState link;
  link.workArea = {600, 400, 50};
  tMachineModel machine = machineModelFor("LFV     ", 0, 0, 0, link);
  link.cncMachine = false;
  tplotstate st;
  st.abspos = {100, 100, 0, 0};
  EXPECT_EQ(jogDelta(tJogDirection::zUp, st, link, machine).multiplier, 2);
  EXPECT_EQ(jogDelta(tJogDirection::upRight, st, link, machine).multiplier, 2);
  EXPECT_EQ(jogDelta(tJogDirection::right, st, link, machine).multiplier, 1);
  link.cncMachine = true;
  EXPECT_EQ(jogDelta(tJogDirection::upRight, st, link, machine).multiplier, 1);
}

// A jog that goes nowhere says why: Z on a fresh machine without a Z zero
// (the tool length sets it), Z at either end, X or Y at the end of travel.
TEST(JogBlock, AJogThatGoesNowhereSaysWhy) {
  tLinkState link;
  link.cncMachine = true;
  link.workArea = {1300, 2500, 150};
  const tMachineModel machine = machineModelFor("YFB 32  ", 7, 20, 0, link);
  struct Case {
    const char* name;
    tJogDirection direction;
    double x, z, zeroZ;
    tJogBlock block;
  };
  const Case cases[] = {
      {"fresh machine: Z down has no zero to go to", tJogDirection::zDown, 500, 0, 0, tJogBlock::noZZero},
      {"fresh machine, Z below the top: still no zero", tJogDirection::zDown, 500, -2000, 0, tJogBlock::noZZero},
      {"Z up at the machine's zero", tJogDirection::zUp, 500, 0, 1000, tJogBlock::zAtTop},
      {"Z down at the work zero's Z", tJogDirection::zDown, 500, -1000, 1000, tJogBlock::zAtZZero},
      {"X at its left end", tJogDirection::left, 0, 0, 1000, tJogBlock::endOfTravel},
      {"a jog that moves", tJogDirection::zDown, 500, 0, 1000, tJogBlock::none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tplotstate st;
    st.abspos = {c.x, 5000, c.z, 0};
    st.pos0 = {0, 0, c.zeroZ};
    EXPECT_EQ(jogBlockOf(c.direction, jogDelta(c.direction, st, link, machine), st, machine), c.block);
  }
}

TEST(JogKeys, KeyCodesAndButtons) {
  EXPECT_EQ(jogDirectionOfKey(39), tJogDirection::right);
  EXPECT_EQ(jogDirectionOfKey(102), tJogDirection::right);
  EXPECT_EQ(jogDirectionOfKey(97), tJogDirection::downLeft);
  EXPECT_FALSE(jogDirectionOfKey(101));  // numpad 5 stops, it does not jog
  EXPECT_EQ(directionOfButton(tJogButton::kzd), tJogDirection::zDown);
  EXPECT_EQ(directionOfButton(tJogButton::kur), tJogDirection::upRight);
}

class JogPanel : public ::testing::TestWithParam<Transport> {};

TEST_P(JogPanel, PressMovesReleaseStopsRepeatsAreIgnored) {
  SimRig rig(GetParam());  // 1000 x 600 mm
  tJogPanel panel(rig.ops());
  ASSERT_TRUE(panel.keyDown(39));  // Right
  EXPECT_TRUE(panel.jogActive());
  std::vector<Bytes> sent = rig.takeSent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0][0], 'A');
  // Auto-repeat and other keys while the jog runs are ignored.
  EXPECT_FALSE(panel.keyDown(39));
  EXPECT_TRUE(panel.repetycja());
  EXPECT_FALSE(panel.keyDown(jogKey::insert));
  EXPECT_TRUE(rig.takeSent().empty());
  // Let it run a little, then release.
  for (int i = 0; i < 5; ++i) rig.connection->link().sleep(std::chrono::milliseconds(20));
  ASSERT_TRUE(panel.keyUp(39));
  EXPECT_FALSE(panel.jogActive());
  EXPECT_EQ(rig.takeSent(), std::vector<Bytes>{Bytes{'Y'}});
  EXPECT_EQ(waitWhileBusy(rig.ops()), tWaitResult::idle);
  const double x = rig.controller->toolPosition().x;
  EXPECT_GT(x, 0);
  EXPECT_LT(x, 1000);  // stopped before the end of the travel

  // The button back to X 0 goes all the way when held.
  panel.buttonDown(tJogButton::kl);
  EXPECT_EQ(waitWhileBusy(rig.ops()), tWaitResult::idle);
  panel.buttonUp(tJogButton::kl);
  EXPECT_NEAR(rig.controller->toolPosition().x, 0, 0.01);
  EXPECT_EQ(rig.takeSent().back(), Bytes{'Y'});
}

TEST_P(JogPanel, AReleaseWhileThePressWaitsForTheMachineStartsNoMove) {
  SimRig rig(GetParam());
  tJogPanel panel(rig.ops());
  // The machine still travels when the key goes down; the window's events
  // run during the wait and bring the key's release.
  moveRelative(rig.ops(), 0, 0, 300);
  bool released = false;
  rig.ops().pumpEvents = [&] {
    if (!released) released = panel.keyUp(39);
  };
  rig.takeSent();
  ASSERT_TRUE(panel.keyDown(39));
  EXPECT_TRUE(released);
  EXPECT_FALSE(panel.jogActive());
  for (const Bytes& b : rig.takeSent()) EXPECT_NE(b[0], 'A') << "no jog move after the release";
  EXPECT_EQ(waitWhileBusy(rig.ops()), tWaitResult::idle);
}

TEST_P(JogPanel, CtrlHoldsATenthOfTheFeed) {
  SimRig rig(GetParam());
  tMachineOps& ops = rig.ops();
  tJogPanel panel(ops);
  panel.sliderFeed = [] { return 3000; };
  ASSERT_TRUE(panel.keyDown(jogKey::ctrl));
  EXPECT_EQ(panel.vnorm(), 3000);
  EXPECT_TRUE(panel.keyDown(jogKey::ctrl));  // repeat: nothing more
  ASSERT_TRUE(panel.keyUp(jogKey::ctrl));
  EXPECT_EQ(panel.lastKey(), 0);
  const std::vector<Bytes> sent = rig.takeSent();
  ASSERT_EQ(sent.size(), 2u);
  const int m = rig.machine.machineParams.speedMultiplier;
  auto loaded = [](const Bytes& b) { return b[2] | b[3] << 8 | b[4] << 16 | b[5] << 24; };
  EXPECT_EQ(loaded(sent[0]), speedToPeriod(ops, 300) / m);
  EXPECT_EQ(loaded(sent[1]), speedToPeriod(ops, 3000) / m);
}

TEST_P(JogPanel, ToolControls) {
  SimRig rig(GetParam());
  tMachineOps& ops = rig.ops();
  tJogPanel panel(ops);
  int redraws = 0;
  panel.redraw = [&] { ++redraws; };
  ASSERT_TRUE(panel.keyDown(jogKey::numpad0));
  EXPECT_EQ(rig.takeSent(), std::vector<Bytes>{(Bytes{'R', 1, 0x02})});
  EXPECT_TRUE(rig.st.bit(stateBit::toolOn));
  EXPECT_EQ(redraws, 1);

  rig.st.sel_power = 1;
  EXPECT_EQ(setSpindleSpeedFromText(ops, "12x00"), "'12x00' is not a valid integer value");
  EXPECT_TRUE(rig.takeSent().empty());
  EXPECT_EQ(setSpindleSpeedFromText(ops, " 12000 "), std::nullopt);
  EXPECT_EQ(rig.takeSent(), std::vector<Bytes>{(Bytes{'T', 1, 120, 0, 0, 0})});

  ASSERT_TRUE(panel.keyDown(jogKey::numpad5));
  EXPECT_EQ(rig.takeSent(), std::vector<Bytes>{Bytes{'Y'}});

  // The tool length window waits for a machine at rest.
  std::vector<std::string> errors;
  ops.errorBox = [&](const tTextRef& text, const tTextRef&) { errors.push_back(text.key); };
  moveSteps(ops, 2, 900000, 0, 0);
  EXPECT_FALSE(toolLengthWindowAllowed(ops));
  EXPECT_EQ(errors, std::vector<std::string>{"msgZatrzyajPloter"});
  stopManualMotion(ops);
  EXPECT_EQ(waitWhileBusy(ops), tWaitResult::idle);
  EXPECT_TRUE(toolLengthWindowAllowed(ops));
}

INSTANTIATE_TEST_SUITE_P(Links, JogPanel, ::testing::Values(Transport::tcp, Transport::usb), transportName);

}  // namespace
}  // namespace trazvik::test
