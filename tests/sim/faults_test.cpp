// Fault texts of the command line and the machine events they cause, as the
// workstation's monitoring sees them in the state word.
#include "sim_test_support.h"

#include "link/status_decode.h"

#include <gtest/gtest.h>

namespace trazvik::sim::test {
namespace {

TEST(SimFaultText, ParsesNamesValuesAndCommandCounts) {
  struct Case {
    const char* text;
    FaultAction action;
    std::int64_t value, after;
  };
  const Case cases[] = {
      {"stop@40", FaultAction::pressStop, 1, 40},
      {"start", FaultAction::pressStart, 1, 0},
      {"driver-error=X,Z@100", FaultAction::driverError, 0b101, 100},
      {"driver-error=Y1,Y2", FaultAction::driverError, 0b1010, 0},
      {"wrong-echo=-1", FaultAction::wrongEchoes, -1, 0},
      {"short-status=3@7", FaultAction::shortStatus, 3, 7},
      {"buffer-full=0@20", FaultAction::holdBufferFull, 0, 20},
      {"drop@500", FaultAction::dropLink, 1, 500},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto f = parseFault(c.text, error);
    ASSERT_TRUE(f) << c.text << ": " << error;
    EXPECT_EQ(f->action, c.action) << c.text;
    EXPECT_EQ(f->value, c.value) << c.text;
    EXPECT_EQ(f->afterCommands, c.after) << c.text;
  }
  std::string error;
  const auto lost = parseFault("lost-steps=0.2,-0.05@300", error);
  ASSERT_TRUE(lost) << error;
  EXPECT_EQ(lost->action, FaultAction::lostSteps);
  EXPECT_EQ(lost->afterCommands, 300);
  EXPECT_EQ(lost->shiftMm, (std::array<double, 3>{0.2, -0.05, 0}));
  for (const char* bad : {"explode", "stop@", "stop@-3", "driver-error=Q", "wrong-echo=many", "", "lost-steps",
                          "lost-steps=0.2,,0", "lost-steps=1,2,3,4", "lost-steps=0,2mm", "lost-steps=nan"}) {
    error.clear();
    EXPECT_FALSE(parseFault(bad, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

class SimFaultTest : public ::testing::Test {
 protected:
  SimController ctl{SimConfig{}, yfb32()};

  tplotstate status() {
    const PortResponse r = ctl.onCommandData(1, bytesOf("SX"));
    tplotstate st;
    tLinkState link = ctl.machine().link;
    decodeEthernetStatus(r.pieces.at(0).data, ctl.layout(), st, link);
    return st;
  }
};

TEST_F(SimFaultTest, ButtonPressesAreReportedOnceAndHeldButtonsStay) {
  ctl.press(Button::stop);
  EXPECT_TRUE(status().bit(stateBit::stopRequest));
  EXPECT_FALSE(status().bit(stateBit::stopRequest));

  ctl.holdButton(Button::start, true);
  EXPECT_TRUE(status().bit(stateBit::startRequest));
  EXPECT_TRUE(status().bit(stateBit::startRequest));
  ctl.holdButton(Button::start, false);
  EXPECT_FALSE(status().bit(stateBit::startRequest));

  ctl.press(Button::continueJob);
  ctl.press(Button::programmable1);
  const tplotstate st = status();
  EXPECT_TRUE(st.bit(stateBit::continueRequest));
  EXPECT_TRUE(st.bit(stateBit::programmableRequest1));
  EXPECT_FALSE(st.bit(stateBit::programmableRequest2));
}

TEST_F(SimFaultTest, OverloadComesWithAStopRequestAndDriverErrorStaysUntilCleared) {
  ctl.spindleOverload();
  tplotstate st = status();
  EXPECT_TRUE(st.bit(stateBit::stopRequest));
  EXPECT_TRUE(st.bit(stateBit::spindleOverload));
  ctl.setDriverError(0b0100);
  EXPECT_TRUE(status().bit(stateBit::axisDriverError));
  EXPECT_TRUE(status().bit(stateBit::axisDriverError));
  ctl.setDriverError(0);
  EXPECT_FALSE(status().bit(stateBit::axisDriverError));
}

TEST_F(SimFaultTest, ScheduledFaultsHappenAfterTheirCommandCount) {
  ctl.schedule({FaultAction::holdBufferFull, 1, 3});
  ctl.schedule({FaultAction::pressStop, 1, 4});
  for (int i = 0; i < 2; ++i) ctl.onCommandData(1, Bytes{'F', 1});
  EXPECT_FALSE(status().bit(stateBit::bufferFull)) << "status queries are not counted";
  ctl.onCommandData(1, Bytes{'F', 1});
  tplotstate st = status();
  EXPECT_TRUE(st.bit(stateBit::bufferFull));
  EXPECT_FALSE(st.bit(stateBit::stopRequest));
  ctl.onCommandData(1, Bytes{'F', 1});
  EXPECT_TRUE(status().bit(stateBit::stopRequest));
  ctl.holdBufferFull(false);
  EXPECT_FALSE(status().bit(stateBit::bufferFull));
}

}  // namespace
}  // namespace trazvik::sim::test
