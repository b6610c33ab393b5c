// The job transfer against the simulated controller over TCP on 127.0.0.1:
// whole jobs with flow control on wide and narrow machines, the start of
// short jobs, a full buffer on the first step, a damaged job file and a link
// lost in the middle of a job.
#include "control_rig.h"

#include "machine/state_bits.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace trazvik::control_test {
namespace {

RigOptions fastSim(const std::string& product = "YFB 32") {
  RigOptions o;
  o.config.product = product;
  o.config.timeScale = 1000;
  return o;
}

bool jobDone(ControlRig& rig) { return rig.count(tControlEventKind::jobEnded) > 0; }

TEST(Transfer, WholeJobWithFlowControlOnWideAndNarrowMachines) {
  for (const char* product : {"YFB 32", "YFF"}) {
    SCOPED_TRACE(product);
    ControlRig rig(fastSim(product));
    ASSERT_TRUE(rig.connect());
    const Bytes job = squareJob(rig.machine, rig.link, 400);
    const int commands = commandCount(job, rig.machine.commandLengths);
    ASSERT_GT(commands, 1600);
    rig.writeJob(job);
    ASSERT_TRUE(rig.trans->start());
    ASSERT_TRUE(rig.runUntil([&] { return jobDone(rig); }, 60s)) << "the job did not end";

    const sim::SimCounters c = rig.controller()->counters();
    // Every command arrived whole, none was refused for want of room,
    // and the buffer was filled to its limit on the way.
    EXPECT_EQ(c.jobCommands, static_cast<std::uint64_t>(commands));
    EXPECT_EQ(c.droppedJobCommands, 0u);
    EXPECT_EQ(c.unknownCommands, 0u);
    EXPECT_GE(c.maxPendingBytes, rig.controller()->config().bufferBytes);
    EXPECT_EQ(c.jobsEnded, 1u);
    // The job started once: "G" is the only command that is not the job's.
    EXPECT_EQ(c.commands - c.jobCommands, 1u);
    EXPECT_EQ(rig.trans->licznik, commands);
    EXPECT_FALSE(rig.trans->isOpen);
    EXPECT_EQ(rig.flags.lastFilePos, static_cast<std::int32_t>(job.size()));
    EXPECT_EQ(rig.flags.transmissionPercent, 100);
    EXPECT_FALSE(rig.flags.jobStarted);
    // The tool went round the squares and came home.
    const auto end = rig.controller()->toolPosition();
    EXPECT_NEAR(end.x, 0, 0.05);
    EXPECT_NEAR(end.y, 0, 0.05);
    const sim::ToolTrace trace = rig.controller()->trace();
    EXPECT_NEAR(trace.pathLength(true), 400 * 80.0, 32);  // one lap less would be 80 short
    const sim::TraceBounds cut = trace.bounds(true);
    EXPECT_NEAR(cut.min.x, 20, 0.05);
    EXPECT_NEAR(cut.max.x, 40, 0.05);
    EXPECT_NEAR(cut.min.y, 20, 0.05);
    EXPECT_NEAR(cut.max.y, 40, 0.05);
    EXPECT_NEAR(cut.min.z, -1, 0.05);
    // Progress, the end of the transfer, then the end of the job.
    ASSERT_GE(rig.statusTexts.size(), 3u);
    EXPECT_NE(std::find(rig.statusTexts.begin(), rig.statusTexts.end(),
                        "Sent 100% " + std::string(TTransArm::spinner(rig.trans->licznikZ))),
              rig.statusTexts.end());
    EXPECT_EQ(rig.statusTexts.back(), "Job finished");
    ASSERT_EQ(rig.count(tControlEventKind::transferFinished), 1);
    EXPECT_LT(std::find_if(rig.events.begin(), rig.events.end(),
                           [](auto& e) { return e.kind == tControlEventKind::transferFinished; }) -
                  rig.events.begin(),
              std::find_if(rig.events.begin(), rig.events.end(), [](auto& e) {
                return e.kind == tControlEventKind::jobEnded;
              }) - rig.events.begin());
    EXPECT_TRUE(rig.boxes.messages().empty());
  }
}

TEST(Transfer, OverTheUsbLink) {
  RigOptions o = fastSim();
  o.usb = true;
  ControlRig rig(o);
  ASSERT_TRUE(rig.connect());
  const Bytes job = squareJob(rig.machine, rig.link, 300);
  rig.writeJob(job);
  ASSERT_TRUE(rig.trans->start());
  ASSERT_TRUE(rig.runUntil([&] { return jobDone(rig); }, 60s));
  const sim::SimCounters c = rig.controller()->counters();
  EXPECT_EQ(c.jobCommands, static_cast<std::uint64_t>(commandCount(job, rig.machine.commandLengths)));
  EXPECT_EQ(c.droppedJobCommands, 0u);
  EXPECT_GE(c.maxPendingBytes, rig.controller()->config().bufferBytes);
  EXPECT_EQ(c.jobsEnded, 1u);
}

TEST(Transfer, JobsAroundSeventeenCommandsAllStartOnce) {
  // 2 set-up commands + moves + the end record.
  for (int moves : {1, 13, 14, 15, 40}) {
    SCOPED_TRACE(moves + 3);
    ControlRig rig(fastSim());
    ASSERT_TRUE(rig.connect());
    const auto before = rig.controller()->counters();
    const Bytes job = shortJob(rig.machine, rig.link, moves);
    ASSERT_EQ(commandCount(job, rig.machine.commandLengths), moves + 3);
    rig.writeJob(job);
    ASSERT_TRUE(rig.trans->start());
    ASSERT_TRUE(rig.runUntil([&] { return jobDone(rig); }, 20s)) << "the job never started or ended";
    const auto after = rig.controller()->counters();
    EXPECT_EQ(after.jobsEnded - before.jobsEnded, 1u);
    EXPECT_EQ((after.commands - before.commands) - (after.jobCommands - before.jobCommands), 1u) << "exactly one G";
    EXPECT_TRUE(rig.trans->goSent());
    EXPECT_NEAR(rig.controller()->toolPosition().x, 10 + moves - 1, 0.05);
  }
}

TEST(Transfer, FullBufferOnTheFirstStepSendsNothingAndKeepsTheStatusText) {
  ControlRig rig(fastSim());
  ASSERT_TRUE(rig.connect());
  rig.controller()->holdBufferFull(true);
  const Bytes job = squareJob(rig.machine, rig.link, 5);
  rig.writeJob(job);
  ASSERT_TRUE(rig.trans->start());
  for (int i = 0; i < 5; ++i) rig.timerEvent();
  EXPECT_EQ(rig.controller()->counters().jobCommands, 0u);
  EXPECT_TRUE(rig.statusTexts.empty());
  EXPECT_FALSE(rig.flags.transferActive);
  EXPECT_TRUE(rig.trans->isOpen);
  EXPECT_EQ(rig.ster->interval(), Tster::activeInterval);
  rig.controller()->holdBufferFull(false);
  ASSERT_TRUE(rig.runUntil([&] { return jobDone(rig); }, 20s));
  EXPECT_EQ(rig.controller()->counters().jobCommands,
            static_cast<std::uint64_t>(commandCount(job, rig.machine.commandLengths)));
}

TEST(Transfer, DamagedJobFileStopsAtTheBadPlaceWithAMessage) {
  struct Case {
    const char* name;
    bool badByte;  // else: the file ends inside a command
    const char* says;
  };
  for (const Case& c : {Case{"byte that starts no command", true, "starts no command"},
                        Case{"file cut inside a command", false, "ends inside a command"}}) {
    SCOPED_TRACE(c.name);
    ControlRig rig(fastSim());
    ASSERT_TRUE(rig.connect());
    Bytes job = squareJob(rig.machine, rig.link, 10);
    // The damage goes into the last move of the file.
    int good = 0, command = 0;
    std::size_t at = 0;
    for (std::size_t p = 0; p < job.size(); ++command) {
      const std::size_t length = *rig.machine.commandLengths.of(job[p]);
      if (length > 4) {
        good = command;
        at = p;
      }
      p += length;
    }
    if (c.badByte) {
      job[at] = 0x17;
    } else {
      job.resize(at + 3);
    }
    rig.writeJob(job);
    ASSERT_TRUE(rig.trans->start());
    ASSERT_TRUE(rig.runUntil([&] { return !rig.trans->isOpen; }, 10s));
    EXPECT_EQ(rig.controller()->counters().jobCommands, static_cast<std::uint64_t>(good));
    EXPECT_EQ(rig.controller()->counters().unknownCommands, 0u);
    EXPECT_EQ(rig.flags.lastFilePos, static_cast<std::int32_t>(at));
    EXPECT_EQ(rig.count(tControlEventKind::badJobFile), 1);
    EXPECT_EQ(rig.count(tControlEventKind::transferFinished), 0);
    ASSERT_EQ(rig.boxes.messages().size(), 1u);
    EXPECT_NE(rig.boxes.messages()[0].text.find(c.says), std::string::npos);
    EXPECT_NE(rig.boxes.messages()[0].text.find("byte " + std::to_string(at)), std::string::npos);
  }
}

TEST(Transfer, MissingJobFileOpensNothing) {
  ControlRig rig(fastSim());
  EXPECT_FALSE(rig.trans->start());
  EXPECT_FALSE(rig.trans->isOpen);
  rig.timerEvent();  // a closed transfer does nothing
  EXPECT_TRUE(rig.statusTexts.empty());
}

TEST(Transfer, LinkLostMidJobKeepsThePlaceAndNeverClaimsTheEnd) {
  RigOptions o = fastSim();
  o.config.timeScale = 50;  // the job is still being sent when the link drops
  ControlRig rig(o);
  ASSERT_TRUE(rig.connect());
  const Bytes job = squareJob(rig.machine, rig.link, 400);
  rig.writeJob(job);
  rig.controller()->schedule({sim::FaultAction::dropLink, 1, 700});
  ASSERT_TRUE(rig.trans->start());
  ASSERT_TRUE(rig.runUntil([&] { return !rig.trans->isOpen; }, 20s));
  EXPECT_EQ(rig.count(tControlEventKind::linkLost), 1);
  EXPECT_EQ(rig.count(tControlEventKind::transferFinished), 0);
  EXPECT_GT(rig.flags.lastFilePos, 0);
  EXPECT_LT(rig.flags.lastFilePos, static_cast<std::int32_t>(job.size()));
  EXPECT_EQ(rig.events.back().filePos, rig.flags.lastFilePos);
  EXPECT_LT(rig.flags.transmissionPercent, 100);
  EXPECT_FALSE(rig.link.ethernetActive);

  // The panel slows down, says so and closes; with the Ethernet setting
  // on, the watchdog brings the link back.
  rig.ster->show();
  rig.timerEvent();
  EXPECT_EQ(rig.ster->interval(), Tster::noLinkInterval);
  EXPECT_EQ(rig.ster->display().caption, "Manual control - no connection with the machine");
  EXPECT_FALSE(rig.ster->display().shown);
  rig.ctx->settings.ethernetConnection = true;
  ASSERT_TRUE(rig.runUntil([&] { return rig.link.ethernetActive; }, 10s, 50ms)) << "no reconnection";
  ASSERT_NE(rig.ster->watchdog(), nullptr);
  EXPECT_GE(rig.ster->watchdog()->attempts(), 1);
  rig.runUntil([] { return false; }, 300ms);
  EXPECT_EQ(rig.ster->interval(), Tster::monitorInterval);
  EXPECT_EQ(rig.ster->display().caption.rfind("Manual control - machine connected over Ethernet", 0), 0u);
  // Whatever the controller does with the part it got, nobody says the job ended.
  EXPECT_EQ(rig.count(tControlEventKind::jobEnded), 0);
  for (const auto& t : rig.statusTexts) EXPECT_NE(t, "Job finished");
}

}  // namespace
}  // namespace trazvik::control_test
