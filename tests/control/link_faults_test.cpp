// A controller that lies or stalls during a job, over the simulated USB
// device and over TCP on 127.0.0.1: status replies that cannot be read make
// the link faulty and stop the transfer, told once; a buffer reported full
// while the machine stands is shown with its time and, after the longer
// bound, the operator is asked whether to stop.
#include "control_rig.h"

#include <gtest/gtest.h>

#include <regex>

using namespace std::chrono_literals;

namespace trazvik::control_test {
namespace {

RigOptions fastSim(bool usb) {
  RigOptions o;
  o.config.product = "YFB 32";
  o.config.timeScale = 200;
  o.usb = usb;
  return o;
}

class LinkFaults : public ::testing::TestWithParam<bool> {};

TEST_P(LinkFaults, UnreadableStatusRepliesMakeTheLinkFaultyOnce) {
  ControlRig rig(fastSim(GetParam()));
  ASSERT_TRUE(rig.connect());
  rig.useJobCommands();
  const Bytes job = squareJob(rig.machine, rig.link, 400);
  rig.writeJob(job);
  rig.controller()->schedule({sim::FaultAction::garbageStatus, -1, 300});
  ASSERT_TRUE(rig.trans->start());
  ASSERT_TRUE(rig.runUntil([&] { return rig.count(tControlEventKind::linkFaulty) > 0; }, 60s));
  // Told once, however long the replies stay unreadable.
  for (int i = 0; i < 50; ++i) rig.timerEvent();
  EXPECT_EQ(rig.count(tControlEventKind::linkFaulty), 1);
  EXPECT_EQ(rig.messages("status replies cannot be read"), 1);
  EXPECT_FALSE(rig.trans->isOpen);
  EXPECT_TRUE(rig.flags.transferInterrupted);
  EXPECT_EQ(rig.count(tControlEventKind::jobEnded), 0);
  // Sending stopped where it was: nothing more arrived at the controller.
  const auto received = rig.controller()->counters().jobCommands;
  EXPECT_LT(received, static_cast<std::uint64_t>(commandCount(job, rig.machine.commandLengths)));
  for (int i = 0; i < 20; ++i) rig.timerEvent();
  EXPECT_EQ(rig.controller()->counters().jobCommands, received);
}

TEST_P(LinkFaults, BufferFullWhileTheMachineStandsIsToldThenAskedAbout) {
  ControlRig rig(fastSim(GetParam()));
  ASSERT_TRUE(rig.connect());
  rig.useJobCommands();
  rig.ctx->settings.stallNoticeSeconds = 0.3;
  rig.ctx->settings.stallAskSeconds = 1.0;
  rig.boxes.prepareAnswer(texts::DialogButton::Yes);
  rig.writeJob(squareJob(rig.machine, rig.link, 400));
  rig.controller()->schedule({sim::FaultAction::holdBufferFull, 1, 300});
  ASSERT_TRUE(rig.trans->start());
  ASSERT_TRUE(rig.runUntil([&] { return !rig.ster->display().controllerWait.empty(); }, 60s));
  EXPECT_TRUE(std::regex_match(rig.ster->display().controllerWait,
                               std::regex("waiting for the controller: buffer full, machine idle for \\d+ s")))
      << rig.ster->display().controllerWait;
  EXPECT_NE(std::find(rig.statusTexts.begin(), rig.statusTexts.end(), rig.ster->display().controllerWait),
            rig.statusTexts.end());
  ASSERT_TRUE(rig.runUntil([&] { return !rig.boxes.questions().empty(); }, 20s));
  EXPECT_NE(rig.boxes.questions()[0].text.find("buffer full"), std::string::npos) << rig.boxes.questions()[0].text;
  EXPECT_TRUE(rig.boxes.questions()[0].answeredFromQueue);
  // Stopped: the transfer is closed and the display no longer waits.
  EXPECT_FALSE(rig.trans->isOpen);
  EXPECT_EQ(rig.count(tControlEventKind::controllerStalled), 1);
  rig.timerEvent();
  EXPECT_TRUE(rig.ster->display().controllerWait.empty());
}

INSTANTIATE_TEST_SUITE_P(Links, LinkFaults, ::testing::Values(true, false),
                         [](const auto& info) { return std::string(info.param ? "Usb" : "Tcp"); });

}  // namespace
}  // namespace trazvik::control_test
