// The monitoring loop against the simulated controller (over TCP on
// 127.0.0.1, and over the in-process USB device where only USB reports tell
// the enclosure input and the failing axes): the machine's buttons, spindle
// overload, driver errors, the safety enclosure, the end of a job and its
// signal, the STOP button, the displays and locks, the machine type cache
// and the last-position file.
#include "control_rig.h"

#include "control/last_position.h"
#include "control/machine_type_cache.h"
#include "machine/state_bits.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace std::chrono_literals;

namespace trazvik::control_test {
namespace {

RigOptions sim(double timeScale = 1000, bool usb = false) {
  RigOptions o;
  o.config.timeScale = timeScale;
  o.usb = usb;
  return o;
}

// Starts a long job and runs the loop until the controller runs it.
void startLongJob(ControlRig& rig, int laps = 200) {
  rig.writeJob(squareJob(rig.machine, rig.link, laps));
  ASSERT_TRUE(rig.trans->start());
  ASSERT_TRUE(rig.runUntil([&] { return rig.st.bit(stateBit::jobRunning); }, 10s));
}

std::string slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(MonitorButtons, StartStopOverloadAndContinueRequests) {
  ControlRig rig(sim());
  ASSERT_TRUE(rig.connect());
  rig.controller()->press(sim::Button::start);
  rig.runUntil([&] { return rig.starts > 0; }, 2s);
  EXPECT_EQ(rig.starts, 1);

  rig.flags.pausedFromPc = true;
  rig.controller()->press(sim::Button::stop);
  rig.runUntil([&] { return rig.pauses > 0; }, 2s);
  EXPECT_EQ(rig.pauses, 1);
  EXPECT_TRUE(rig.flags.pausedFromMachine);
  EXPECT_FALSE(rig.flags.pausedFromPc);
  EXPECT_TRUE(rig.boxes.messages().empty()) << "a stop request alone pauses silently";

  rig.controller()->spindleOverload();
  rig.runUntil([&] { return rig.pauses > 1; }, 2s);
  rig.runUntil([] { return false; }, 100ms);
  EXPECT_EQ(rig.pauses, 2);
  ASSERT_EQ(rig.boxes.messages().size(), 1u);
  EXPECT_EQ(rig.boxes.messages()[0].text, "Spindle overload! The job has been paused.");
  EXPECT_EQ(rig.boxes.messages()[0].caption, "Stop");
  EXPECT_EQ(rig.count(tControlEventKind::spindleOverload), 1);

  // Not held for an empty buffer: the continue button is obeyed even
  // after a pause from the machine.
  rig.controller()->press(sim::Button::continueJob);
  rig.runUntil([&] { return rig.continues > 0; }, 2s);
  EXPECT_EQ(rig.continues, 1);
}

TEST(MonitorButtons, ContinueIgnoredWhileHeldForAnEmptyBufferAfterAPause) {
  ControlRig rig(sim());
  ASSERT_TRUE(rig.connect());
  rig.writeJob(openEndedJob(rig.machine, rig.link, 3, 5));
  ASSERT_TRUE(rig.trans->start());
  ASSERT_TRUE(rig.runUntil([&] { return rig.st.bit(stateBit::heldForEmptyBuffer); }, 10s));
  struct Case {
    bool fromPc, fromMachine, obeyed;
  };
  for (const Case& c : {Case{true, false, false}, Case{false, true, false}, Case{false, false, true}}) {
    SCOPED_TRACE(::testing::Message() << "pc " << c.fromPc << " machine " << c.fromMachine);
    const int before = rig.continues;
    rig.flags.pausedFromPc = c.fromPc;
    rig.flags.pausedFromMachine = c.fromMachine;
    rig.controller()->press(sim::Button::continueJob);
    rig.runUntil([] { return false; }, 150ms);
    EXPECT_EQ(rig.continues - before, c.obeyed ? 1 : 0);
  }
}

TEST(MonitorButtons, PressDuringTheTransferIsNotLost) {
  ControlRig rig(sim(5));
  ASSERT_TRUE(rig.connect());
  startLongJob(rig, 300);
  ASSERT_TRUE(rig.trans->isOpen);
  // The transfer reads the state before the loop does; the controller
  // reports a press once.
  rig.controller()->press(sim::Button::stop);
  for (int i = 0; i < 3; ++i) rig.timerEvent();
  EXPECT_EQ(rig.pauses, 1);
  EXPECT_TRUE(rig.flags.pausedFromMachine);
}

TEST(MonitorUsb, DriverErrorShownOncePerOccurrenceWithItsAxes) {
  ControlRig rig(sim(1000, true));
  ASSERT_TRUE(rig.connect());
  rig.controller()->setDriverError(0x05);
  rig.runUntil([] { return false; }, 150ms);
  ASSERT_EQ(rig.messages("Motor driver error"), 1);
  EXPECT_EQ(rig.boxes.messages()[0].text.substr(0, 31), "Motor driver error (5) : X Z \n\r");
  EXPECT_EQ(rig.boxes.messages()[0].caption, "Stop");
  rig.runUntil([] { return false; }, 100ms);
  EXPECT_EQ(rig.messages("Motor driver error"), 1) << "still the same occurrence";
  rig.controller()->setDriverError(0);
  rig.runUntil([] { return false; }, 50ms);
  rig.controller()->setDriverError(0x0A);
  rig.runUntil([] { return false; }, 100ms);
  ASSERT_EQ(rig.messages("Motor driver error"), 2);
  EXPECT_EQ(rig.boxes.messages()[1].text.substr(0, 33), "Motor driver error (10) : Y1 Y2 \n");
  EXPECT_EQ(rig.count(tControlEventKind::driverError), 2);
}

// A drive in fault during a job pauses it once, over either link; over the
// network, where the failing axes are not reported, the box says so instead
// of naming none.
TEST(MonitorLinks, DriverErrorDuringAJobPausesItOnce) {
  for (const bool usb : {false, true}) {
    SCOPED_TRACE(usb ? "USB" : "TCP");
    ControlRig rig(sim(5, usb));
    ASSERT_TRUE(rig.connect());
    startLongJob(rig);
    rig.controller()->setDriverError(0x01);
    rig.runUntil([] { return false; }, 200ms);
    EXPECT_EQ(rig.pauses, 1);
    ASSERT_EQ(rig.messages("Motor driver error"), 1);
    const std::string& text = rig.boxes.messages()[0].text;
    EXPECT_EQ(text.find("(0)"), std::string::npos) << text;
    EXPECT_NE(text.find(usb ? "(1) : X " : "(axes not reported over Ethernet)"), std::string::npos) << text;
  }
}

TEST(MonitorUsb, OpenEnclosurePausesARunningJobOnce) {
  RigOptions o = sim(5, true);
  o.safetyEnclosure = true;
  ControlRig rig(o);
  ASSERT_TRUE(rig.connect());
  ASSERT_TRUE(rig.machine.safetyEnclosure);
  // Open while idle: nothing.
  rig.flags.runRequested = true;
  rig.controller()->setEnclosureOpen(true);
  rig.runUntil([] { return false; }, 100ms);
  EXPECT_EQ(rig.pauses, 0);
  rig.controller()->setEnclosureOpen(false);
  startLongJob(rig);
  rig.controller()->setEnclosureOpen(true);
  rig.runUntil([] { return false; }, 200ms);
  EXPECT_EQ(rig.pauses, 1);
  ASSERT_EQ(rig.messages("safety enclosure has been opened"), 1);
  EXPECT_EQ(rig.boxes.messages()[0].caption, "Stop");
  EXPECT_EQ(rig.count(tControlEventKind::enclosureOpened), 1);
}

TEST(MonitorEnd, EndOfJobWithThePanelHiddenAndTheRepeatingSignal) {
  ControlRig rig(sim());
  ASSERT_TRUE(rig.connect());
  rig.ctx->settings.signalAtEnd = true;
  rig.ctx->settings.signalIntervalSeconds = 30;
  std::chrono::system_clock::time_point clock = std::chrono::system_clock::now();
  // Stay clear of midnight: the signal's times are times of day.
  const std::time_t t = std::chrono::system_clock::to_time_t(clock);
  std::tm local{};
  localtime_r(&t, &local);
  if (local.tm_hour == 23) clock -= 2h;
  rig.ctx->now = [&] { return clock; };
  int nextItems = 0;
  rig.ctx->mainWindow.nextTestItem = [&] { ++nextItems; };
  ASSERT_FALSE(rig.ster->display().shown);
  rig.writeJob(shortJob(rig.machine, rig.link, 5));
  ASSERT_TRUE(rig.trans->start());
  ASSERT_TRUE(rig.runUntil([&] { return rig.count(tControlEventKind::jobEnded) > 0; }, 10s));
  EXPECT_EQ(rig.statusTexts.back(), "Job finished");
  EXPECT_TRUE(rig.flags.signalPending);
  EXPECT_EQ(nextItems, 1);
  rig.timerEvent();
  EXPECT_EQ(rig.signals, 1);
  clock += 29900ms;
  rig.timerEvent();
  EXPECT_EQ(rig.signals, 1);
  clock += 100ms;
  rig.timerEvent();
  EXPECT_EQ(rig.signals, 2);
  rig.timerEvent();
  EXPECT_EQ(rig.signals, 2);
  EXPECT_EQ(rig.count(tControlEventKind::jobEnded), 1) << "the end is reported once";
  stopEndOfJobSignal(rig.flags);
  clock += 60s;
  rig.timerEvent();
  EXPECT_EQ(rig.signals, 2) << "switched off by the operator";
}

TEST(MonitorStop, StopButtonPausesOnlyARunningJob) {
  ControlRig rig(sim(5));
  ASSERT_TRUE(rig.connect());
  int wstrzymaj = 0;
  rig.ster->wstrzymaj = [&] { ++wstrzymaj; };
  rig.ster->kstopClick();
  rig.timerEvent();
  EXPECT_EQ(wstrzymaj, 0) << "idle machine";
  EXPECT_FALSE(rig.ster->zatrzymaj());
  startLongJob(rig);
  rig.ster->kstopClick();
  rig.timerEvent();
  EXPECT_EQ(wstrzymaj, 1);
  // During bitmap engraving the worker is asked to stop instead.
  rig.flags.engravingRunning = true;
  rig.ster->SterBlokadaParamCiecia(false);
  rig.ster->kstopClick();
  EXPECT_TRUE(rig.flags.engravingStopRequested);
  rig.ster->Tick();
  EXPECT_EQ(wstrzymaj, 1);
  EXPECT_TRUE(rig.ster->display().cuttingParamsEnabled);
  rig.flags.engravingRunning = false;
}

TEST(MonitorDisplay, LocksFollowTheJobAndStatusWaitsForInput) {
  ControlRig rig(sim(5));
  ASSERT_TRUE(rig.connect());
  rig.runUntil([] { return false; }, 50ms);
  EXPECT_TRUE(rig.ster->display().jogButtonsEnabled);
  startLongJob(rig);
  rig.controller()->holdBufferFull(true);  // the transfer waits: stage C runs
  rig.runUntil([&] { return !rig.flags.transferActive; }, 2s);
  rig.timerEvent();
  EXPECT_FALSE(rig.ster->display().jogButtonsEnabled);
  EXPECT_FALSE(rig.ster->display().zButtonsEnabled);
  EXPECT_TRUE(rig.ster->display().cuttingParamsEnabled) << "overrides stay usable during a job";
  EXPECT_TRUE(rig.ster->display().test.work);

  // Input waiting: the status stage is skipped (one status exchange less).
  auto replies = [&] { return rig.controller()->counters().statusReplies; };
  auto before = replies();
  rig.ster->Timer1Timer();
  const auto full = replies() - before;
  rig.queue.post([] {});
  before = replies();
  rig.ster->Timer1Timer();
  EXPECT_EQ(replies() - before, full - 1);
  rig.queue.runPending();
}

TEST(MonitorDisplay, CoordinatesInTheDisplayUnit) {
  ControlRig rig(sim());
  ASSERT_TRUE(rig.connect());
  rig.writeJob(shortJob(rig.machine, rig.link, 3));  // ends at 12, 10 mm
  ASSERT_TRUE(rig.trans->start());
  ASSERT_TRUE(rig.runUntil([&] { return rig.count(tControlEventKind::jobEnded) > 0; }, 10s));
  const int d = static_cast<int>(rig.machine.machineParams.displayDecimals);
  struct Case {
    int unit;
    std::string x, y;
  };
  char mmX[32], mmY[32];
  std::snprintf(mmX, sizeof mmX, "%.*f", std::max(d, 1), 12.0);
  std::snprintf(mmY, sizeof mmY, "%.*f", std::max(d, 1), 10.0);
  for (const Case& c : {Case{0, mmX, mmY}, Case{1, "0.47", "0.39"}, Case{2, "0.039", "0.033"}}) {
    SCOPED_TRACE(c.unit);
    rig.ctx->settings.unitIndex = c.unit;
    rig.timerEvent();
    EXPECT_EQ(rig.ster->display().wmx, c.x);
    EXPECT_EQ(rig.ster->display().wpx, c.x);
    EXPECT_EQ(rig.ster->display().wmy, c.y);
  }
  EXPECT_EQ(rig.ster->display().speedCaption.substr(rig.ster->display().speedCaption.size() - 8), "[ft/min]");
  EXPECT_TRUE(rig.ster->display().wpV.empty());
}

TEST(MachineTypeCache, KnownMachineBeforeTheControllerAnswersAndKeptWithoutOne) {
  ControlRig rig(sim());
  const auto cache = rig.dataDir / "typ.txt";
  { std::ofstream(cache) << "YFF"; }
  rig.ster->FormCreate(base::StartupSwitches{});  // no link yet
  EXPECT_EQ(rig.machine.machineType, "YFF");
  EXPECT_TRUE(rig.link.cncMachine);
  EXPECT_EQ(slurp(cache), "YFF") << "a silent controller must not wipe the cache";
  ASSERT_TRUE(rig.connect());  // creation again, now with the controller
  EXPECT_EQ(rig.machine.machineType, "YFB 32");
  EXPECT_EQ(slurp(cache), "YFB 32  ");
  EXPECT_EQ(readMachineTypeCache((rig.dataDir / "missing.txt").string()), std::nullopt);
}

TEST(LastPosition, FileLayout) {
  tLastPositionValues v;
  v.x = 12.5;
  v.y = -3;
  v.z = 4;
  v.timeOfDay = longTimeText(((13 * 60 + 4) * 60 + 5) * 1000.0 + 999);
  v.transmissionPercent = 37;
  v.filePos = 1234;
  v.usbReadErrors = 2;
  v.usbWriteErrors = 1;
  EXPECT_EQ(lastPositionText(v),
            "    12.500\r\n    -3.000\r\n     4.000\r\nCzas 13:04:05\r\nProcent transmisji 37\r\n"
            "FilePos 1234\r\nTotalUsbError 2\r\nTotalUsbWriteError 1\r\n");
  v.filePos.reset();
  v.lastFilePos = 99;
  v.transmissionPercent = 12.5;
  const std::string closed = lastPositionText(v);
  EXPECT_NE(
      closed.find("Procent transmisji 12.5\r\nlastFilePos 99\r\nFilePos : zamknięto plik, zakończono transmisję\r\n"),
      std::string::npos);
  tplotstate st;
  st.abspos = {1250, -300, 100, 0};
  st.pos0 = {0, 0, 300};
  const tLastPositionValues of = lastPositionOf(st);
  EXPECT_DOUBLE_EQ(of.x, 12.5);
  EXPECT_DOUBLE_EQ(of.y, -3);
  EXPECT_DOUBLE_EQ(of.z, 4);
}

TEST(LastPosition, WrittenWhileCutting) {
  ControlRig rig(sim(5));
  ASSERT_TRUE(rig.connect());
  rig.flags.saveLastPos = true;
  rig.flags.lastPosInterval = 0;
  startLongJob(rig);
  ASSERT_TRUE(rig.runUntil([&] { return std::filesystem::exists(rig.dataDir / "LastPosition.txt"); }, 3s));
  const std::string text = slurp(rig.dataDir / "LastPosition.txt");
  EXPECT_NE(text.find("\r\nFilePos "), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nTotalUsbWriteError 0\r\n"), std::string::npos);
  EXPECT_EQ(rig.flags.lastPosInterval, 10);
}

}  // namespace
}  // namespace trazvik::control_test
