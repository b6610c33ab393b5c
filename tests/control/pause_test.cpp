// Pause, continue and repeat against the simulated controller over TCP on
// 127.0.0.1 (the enclosure check over the in-process USB device): the tool
// parked above the break point and switched off, brought back along the
// safe path with the tool restarted, the job going on to its end; the
// machine's buttons and the panel's STOP button running the same
// operations; the stored job run again from its start.
#include "control_rig.h"

#include "machine/state_bits.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace trazvik::control_test {
namespace {

RigOptions slowSim(bool usb = false) {
  RigOptions o;
  o.config.timeScale = 20;
  o.usb = usb;
  return o;
}

// The opcode letters of the commands the controller received.
std::string letters(const std::vector<Bytes>& commands) {
  std::string out;
  for (const auto& c : commands)
    if (!c.empty()) out += static_cast<char>(c[0]);
  return out;
}

bool ended(ControlRig& rig, int n = 1) { return rig.count(tControlEventKind::jobEnded) >= n; }

// Runs a job of `laps` squares until the tool is cutting in the material.
void cutting(ControlRig& rig, int laps) {
  rig.writeJob(squareJob(rig.machine, rig.link, laps));
  ASSERT_TRUE(rig.trans->start());
  rig.flags.runRequested = true;
  ASSERT_TRUE(rig.runUntil(
      [&] { return rig.controller()->toolPosition().z < -0.99 && rig.controller()->toolPosition().x > 25; }, 10s));
}

void expectParked(ControlRig& rig, const tBreakPoint& bp) {
  EXPECT_TRUE(rig.controller()->stateBit(stateBit::jobPaused));
  EXPECT_FALSE(rig.controller()->stateBit(stateBit::jobRunning));
  EXPECT_FALSE(rig.controller()->stateBit(stateBit::toolOn)) << "a parked tool must be off";
  const auto at = rig.controller()->toolPosition();
  EXPECT_NEAR(at.z, 5, 0.02);
  EXPECT_NEAR(at.x, bp.breakpoint.x / 100, 0.02);
  EXPECT_NEAR(at.y, bp.breakpoint.y / 100, 0.02);
  EXPECT_NEAR(bp.breakpoint.z, -100, 1);
  EXPECT_TRUE(bp.breakPowerOn);
  EXPECT_TRUE(rig.flags.jobPaused);
  EXPECT_FALSE(rig.flags.jobStarted);
}

TEST(PauseContinue, FromTheProgramTheJobGoesOnToItsEnd) {
  ControlRig rig(slowSim());
  ASSERT_TRUE(rig.connect());
  tJobCommands& commands = rig.useJobCommands();
  cutting(rig, 12);
  rig.controller()->clearReceivedCommands();
  commands.Wstrzymaj1Click();
  expectParked(rig, commands.breakPoint());
  // Hold first; the retract feed loaded before the first move; the tool
  // switched off at the end.
  const std::string paused = letters(rig.controller()->receivedCommands());
  EXPECT_EQ(paused.front(), 'Q') << paused;
  ASSERT_NE(paused.find('V'), std::string::npos) << paused;
  EXPECT_LT(paused.find('V'), paused.find('A'));
  EXPECT_EQ(paused.back(), 'R') << paused;
  EXPECT_EQ(paused.find('K'), std::string::npos);
  EXPECT_TRUE(rig.flags.pausedFromPc);
  EXPECT_FALSE(rig.flags.runRequested);
  EXPECT_EQ(rig.count(tControlEventKind::jobPaused), 1);
  // A paused job is not an ended one, however long the loop watches.
  rig.runUntil([] { return false; }, 300ms);
  EXPECT_EQ(rig.count(tControlEventKind::jobEnded), 0);

  const auto bp = commands.breakPoint();
  const std::size_t segmentsBefore = rig.controller()->trace().size();
  rig.controller()->clearReceivedCommands();
  commands.Kontynuacja1Click();
  EXPECT_TRUE(rig.controller()->stateBit(stateBit::jobRunning));
  EXPECT_TRUE(rig.controller()->stateBit(stateBit::toolOn));
  EXPECT_FALSE(rig.flags.jobPaused);
  EXPECT_TRUE(rig.flags.jobStarted);
  EXPECT_EQ(rig.count(tControlEventKind::jobContinued), 1);
  // The way back ends in the material at the break point with the
  // spindle running; the commands: travel slot, tool on, the moves, the
  // plunge feed, the working slot, and "K" last.
  const sim::ToolTrace traceBack = rig.controller()->trace();
  const auto& back = traceBack.segments();
  ASSERT_GT(back.size(), segmentsBefore);
  const auto& last = back[segmentsBefore];
  EXPECT_NEAR(last.from.z, 5, 0.02);
  EXPECT_NEAR(last.to.x, bp.breakpoint.x / 100, 0.02);
  EXPECT_NEAR(last.to.y, bp.breakpoint.y / 100, 0.02);
  EXPECT_NEAR(last.to.z, -1, 0.02);
  EXPECT_TRUE(last.toolOn);
  const std::string sent = letters(rig.controller()->receivedCommands());
  EXPECT_EQ(sent.substr(0, 2), "FR") << sent;
  EXPECT_EQ(sent.back(), 'K') << sent;
  const auto plunge = sent.rfind('V');
  ASSERT_NE(plunge, std::string::npos) << sent;
  EXPECT_LT(plunge, sent.rfind('A'));
  EXPECT_EQ(sent.substr(sent.size() - 2), "FK") << sent;
  ASSERT_TRUE(rig.runUntil([&] { return ended(rig); }, 60s));
  const auto c = rig.controller()->counters();
  EXPECT_EQ(c.jobExecuted, c.jobCommands) << "every command of the job ran";
  EXPECT_EQ(c.jobsEnded, 1u);
}

TEST(PauseContinue, FromTheMachineButtonsAndTheStopButton) {
  ControlRig rig(slowSim());
  ASSERT_TRUE(rig.connect());
  tJobCommands& commands = rig.useJobCommands();
  cutting(rig, 16);
  rig.controller()->press(sim::Button::stop);
  ASSERT_TRUE(rig.runUntil([&] { return rig.flags.jobPaused; }, 5s));
  expectParked(rig, commands.breakPoint());
  EXPECT_TRUE(rig.flags.pausedFromMachine);
  EXPECT_FALSE(rig.flags.pausedFromPc);
  rig.controller()->press(sim::Button::continueJob);
  ASSERT_TRUE(rig.runUntil([&] { return !rig.flags.jobPaused; }, 5s));
  EXPECT_TRUE(rig.controller()->stateBit(stateBit::jobRunning));
  EXPECT_FALSE(rig.flags.pausedFromMachine);

  // The panel's STOP button: the next step pauses.
  rig.runUntil([] { return false; }, 200ms);
  rig.ster->kstopClick();
  rig.timerEvent();
  expectParked(rig, commands.breakPoint());
  commands.Kontynuacja1Click();
  ASSERT_TRUE(rig.runUntil([&] { return ended(rig); }, 60s));
  EXPECT_EQ(rig.controller()->counters().jobsEnded, 1u);
}

TEST(PauseContinue, NothingSentForAnIdleMachineOrAJobThatIsNotPaused) {
  ControlRig rig(slowSim());
  ASSERT_TRUE(rig.connect());
  tJobCommands& commands = rig.useJobCommands();
  const auto before = rig.controller()->counters().commands;
  commands.wstrzymaj();
  commands.kontynuuj();
  EXPECT_EQ(rig.controller()->counters().commands, before);
  EXPECT_FALSE(rig.flags.jobPaused);
}

TEST(PauseContinue, ContinueWithTheEnclosureOpenStaysPausedWithTheToolOff) {
  RigOptions o = slowSim(true);
  o.safetyEnclosure = true;
  ControlRig rig(o);
  ASSERT_TRUE(rig.connect());
  tJobCommands& commands = rig.useJobCommands();
  cutting(rig, 12);
  commands.Wstrzymaj1Click();
  expectParked(rig, commands.breakPoint());
  rig.controller()->setEnclosureOpen(true);
  commands.Kontynuacja1Click();
  EXPECT_TRUE(rig.flags.jobPaused);
  EXPECT_TRUE(rig.controller()->stateBit(stateBit::jobPaused));
  EXPECT_FALSE(rig.controller()->stateBit(stateBit::toolOn));
  EXPECT_EQ(rig.messages("safety enclosure has been opened"), 1);
  rig.controller()->setEnclosureOpen(false);
  commands.Kontynuacja1Click();
  EXPECT_FALSE(rig.flags.jobPaused);
  ASSERT_TRUE(rig.runUntil([&] { return ended(rig); }, 60s));
}

// "Stop job" asks first; without a job there is nothing to ask about. A
// running job is parked like a pause, the controller forgets it ("C") and
// the logs hear that it was stopped, not ended.
TEST(StopJob, AbandonsARunningJobAfterTheOperatorsYes) {
  ControlRig rig(slowSim());
  ASSERT_TRUE(rig.connect());
  tJobCommands& commands = rig.useJobCommands();
  const auto before = rig.controller()->counters().commands;
  commands.ZatrzymajZadanieClick();
  EXPECT_TRUE(rig.boxes.questions().empty());
  EXPECT_EQ(rig.controller()->counters().commands, before);

  cutting(rig, 12);
  rig.boxes.prepareAnswer(texts::DialogButton::No);
  const auto running = rig.controller()->counters().commands;
  commands.ZatrzymajZadanieClick();
  ASSERT_EQ(rig.boxes.questions().size(), 1u);
  EXPECT_EQ(rig.controller()->counters().commands, running) << "No leaves the job alone";
  EXPECT_TRUE(rig.controller()->stateBit(stateBit::jobRunning));

  rig.boxes.prepareAnswer(texts::DialogButton::Yes);
  rig.controller()->clearReceivedCommands();
  commands.ZatrzymajZadanieClick();
  const std::string sent = letters(rig.controller()->receivedCommands());
  EXPECT_EQ(sent.front(), 'Q') << sent;
  EXPECT_EQ(sent.back(), 'C') << sent;
  EXPECT_FALSE(rig.controller()->stateBit(stateBit::jobRunning));
  EXPECT_FALSE(rig.controller()->stateBit(stateBit::jobStored));
  EXPECT_FALSE(rig.controller()->stateBit(stateBit::toolOn));
  EXPECT_FALSE(rig.trans->isOpen);
  EXPECT_FALSE(rig.flags.jobPaused);
  EXPECT_FALSE(rig.flags.jobStarted);
  EXPECT_FALSE(commands.jobActive());
  EXPECT_EQ(rig.count(tControlEventKind::jobAbandoned), 1);
  rig.runUntil([] { return false; }, 300ms);
  EXPECT_EQ(rig.count(tControlEventKind::jobEnded), 0) << "a stopped job is not an ended one";
}

TEST(Repeat, StoredJobRunsAgainFromItsStart) {
  RigOptions o = slowSim();
  o.config.timeScale = 1000;
  ControlRig rig(o);
  ASSERT_TRUE(rig.connect());
  tJobCommands& commands = rig.useJobCommands();
  const Bytes job = squareJob(rig.machine, rig.link, 50);
  const auto commandsInJob = static_cast<std::uint64_t>(commandCount(job, rig.machine.commandLengths));
  rig.writeJob(job);
  ASSERT_TRUE(rig.trans->start());
  ASSERT_TRUE(rig.runUntil([&] { return ended(rig); }, 20s));
  commands.Powtrz1Click();
  EXPECT_TRUE(rig.trans->isOpen);
  EXPECT_EQ(rig.count(tControlEventKind::jobStarted), 1);
  ASSERT_TRUE(rig.runUntil([&] { return ended(rig, 2); }, 20s));
  const auto c = rig.controller()->counters();
  EXPECT_EQ(c.jobsEnded, 2u);
  EXPECT_EQ(c.jobCommands, 2 * commandsInJob) << "the whole file is sent again";
  EXPECT_EQ(c.jobExecuted, 2 * commandsInJob);

  // Repeat in the middle of a transfer: the transfer starts over.
  o.config.timeScale = 5;
  ControlRig slow(o);
  ASSERT_TRUE(slow.connect());
  tJobCommands& again = slow.useJobCommands();
  slow.writeJob(squareJob(slow.machine, slow.link, 400));
  ASSERT_TRUE(slow.trans->start());
  slow.runUntil([&] { return slow.trans->licznik > 500; }, 10s);
  again.Powtrz1Click();
  EXPECT_TRUE(slow.trans->isOpen);
  EXPECT_EQ(slow.trans->licznik, 0);
  EXPECT_FALSE(slow.controller()->stateBit(stateBit::jobRunning)) << "the old job was cleared";
  slow.runUntil([&] { return slow.controller()->stateBit(stateBit::jobRunning); }, 5s);
  EXPECT_TRUE(slow.controller()->stateBit(stateBit::jobRunning));
}

TEST(Repeat, MissingJobFileIsReported) {
  ControlRig rig(slowSim());
  ASSERT_TRUE(rig.connect());
  rig.useJobCommands().Powtrz1Click();
  EXPECT_FALSE(rig.trans->isOpen);
  EXPECT_EQ(rig.messages("There is no job to repeat."), 1);
}

}  // namespace
}  // namespace trazvik::control_test
