#include "control/job_commands.h"

#include "link/knife_operations.h"
#include "link/machine_control_operations.h"
#include "link/move_operations.h"
#include "link/speed_operations.h"
#include "machine/state_bits.h"
#include "link/tool_operations.h"
#include "texts/interfejs.h"

#include <cmath>
#include <cstdio>

namespace trazvik {

using namespace std::chrono_literals;

tJobCommands::tJobCommands(tControlContext& context, tMachineOps& ops, Tster& ster, TTransArm& transArm)
    : ctx_(context), ops_(ops), ster_(ster), trans_(transArm) {
  ster_.wstrzymaj = [this] { wstrzymaj(); };
  ctx_.mainWindow.pauseCommand = [this] { Wstrzymaj1Click(); };
  ctx_.mainWindow.continueCommand = [this] { Kontynuacja1Click(); };
}

void tJobCommands::waitIdle() { waitWhileBusy(ops_); }

// ----- pause -----

void tJobCommands::wstrzymaj() {
  ops_.status.readState();
  if (ctx_.flags.engravingRunning) {
    ctx_.flags.engravingStopRequested = true;
    return;
  }
  if (!ctx_.st.bit(stateBit::jobRunning) && !ctx_.st.bit(stateBit::jobPaused)) return;
  ops_.status.readPower();
  break_.breakPower = ctx_.st.power;
  break_.breakSelPower = ctx_.st.sel_power;
  break_.breakPowerOn = ctx_.st.bit(stateBit::toolOn);
  holdJob(ops_);
  waitIdle();
  if (ctx_.linkState().cncMachine) {
    // The controller finishes the move it is in; a link that stops
    // answering ends the wait.
    for (int i = 0; i < 60000; ++i) {
      ops_.status.readState();
      ctx_.sleep(1ms);
      const bool moving = ctx_.st.bit(stateBit::motionRunning) || ctx_.st.bit(stateBit::jobRunning);
      if (!moving || !ops_.status.lastReadAnswered()) break;
    }
    ctx_.sleep(100ms);
  }
  waitIdle();
  ops_.status.readPositions();
  ops_.status.readZeroPoint();
  recordBreakPoint();
  retractAndPark();
  ops_.status.readPower();
  switchOff();
  ctx_.sleep(200ms);
  waitInverterIdle();
  ctx_.flags.jobPaused = true;
  ctx_.flags.jobStarted = false;
}

void tJobCommands::recordBreakPoint() {
  const tplotstate& st = ctx_.st;
  break_.breakpoint.x = st.abspos.x - st.pos0.x;
  break_.breakpoint.y = st.abspos.y - st.pos0.y;
  break_.breakpoint.z = ctx_.params().laserZAxis ? st.abspos.z - st.pos0.z : st.abspos.z + st.pos0.z;
  break_.breakAbsposV = static_cast<std::int32_t>(std::nearbyint(st.abspos.v));
}

void tJobCommands::retractAndPark() {
  const tplotstate& st = ctx_.st;
  const double x = (st.abspos.x - st.pos0.x) / 100.0;
  const double y = (st.abspos.y - st.pos0.y) / 100.0;
  const double top = ctx_.settings.top();
  if (break_.breakpoint.z / 100.0 < top) {
    // The slot's code in the machine's own layout (a narrow machine
    // takes a 16-bit code; a 32-bit one would be read as two commands).
    if (!drillSlots()) loadSpeedSlot(ops_, speedSlot::plunge, ctx_.settings.retractFeed);
    moveToPoint(ops_, static_cast<std::uint8_t>(ctx_.machine.retractSlot), top, y, x);
    waitIdle();
  }
  moveToPoint(ops_, speedSlot::travel, ctx_.settings.travelHeight, y, x);
  waitIdle();
}

void tJobCommands::switchOff() {
  const bool paced = ctx_.linkState().cncMachine && !drillSlots();
  auto pace = [&] {
    if (paced) ctx_.sleep(10ms);
  };
  const Bytes off{'R', 0, 0x02};
  if (!ctx_.params().isLaser) {
    pace();
    ctx_.send(off);
  }
  pace();
  selectSlot(ops_, speedSlot::manual);
  if (ctx_.linkState().cncMachine && !ctx_.params().wideCommandSet) {
    pace();
    ctx_.send(Bytes{'S', 0});
  }
  ctx_.send(off);
  // The tool that was in use may be on another output than 0x02: a
  // parked spindle must not keep turning.
  const std::uint8_t mask = break_.breakSelPower;
  if (break_.breakPowerOn && mask != 0x02 && mask >= 1 && mask <= 3) ctx_.send(Bytes{'R', 0, mask});
}

void tJobCommands::waitInverterIdle() {
  for (int i = 0; i < inverterIdleReads; ++i) {
    ctx_.sleep(1ms);
    ops_.status.readInverter();
    if (!(ctx_.linkState().inverterStatus[0] & (1 << 11))) return;
  }
}

// ----- continue -----

void tJobCommands::kontynuuj() {
  ops_.status.readState();
  ctx_.flags.pausedFromPc = false;
  ctx_.flags.pausedFromMachine = false;
  if (ctx_.flags.engravingRunning && ctx_.flags.engravingStopRequested) {
    ctx_.flags.engravingStopRequested = false;
    return;
  }
  const tplotstate& st = ctx_.st;
  const bool idle = !st.bit(stateBit::jobRunning) && !st.bit(stateBit::motionRunning);
  const bool stored = st.bit(stateBit::jobStored) || ctx_.linkState().cncMachine;
  const bool paused = ctx_.flags.jobPaused || st.bit(stateBit::jobPaused);
  if (!idle || !stored || !paused) return;
  waitIdle();
  ops_.status.readState();
  ops_.status.readPositions();
  ops_.status.readZeroPoint();
  selectSlot(ops_, speedSlot::travel);
  if (ctx_.linkState().cncMachine) ctx_.sleep(100ms);
  if (!ctx_.params().isLaser && !restartTool()) return;
  if (ctx_.flags.jobPaused) returnToBreakPoint();
  ctx_.report(tControlEventKind::jobContinued);
  selectSlot(ops_, speedSlot::work);
  waitIdle();
  ctx_.sleep(200ms);
  continueJob(ops_);
  ctx_.flags.jobPaused = false;
  ctx_.flags.jobStarted = true;
}

bool tJobCommands::restartTool() {
  const bool toolWasOff = !ctx_.st.bit(stateBit::toolOn);
  if (break_.breakPowerOn) ctx_.send(Bytes{'R', 1, break_.breakSelPower});
  if (ctx_.machine.safetyEnclosure) {
    ops_.status.readInputs();
    if (ctx_.linkState().machineInputs & 0x08) {
      Wstrzymaj1Click();
      // The tool goes off whatever an older state read said.
      ops_.status.readState();
      toolOff(ops_);
      const std::string text = ctx_.text("Main_window", "msgSafetyEnclouserOpened") + "\n\r" +
                               ctx_.text("Main_window", "msgCloseSafetyEnclouser");
      ctx_.report(tControlEventKind::enclosureOpened, 0, text);
      ctx_.errorBox(text, "Stop");
      return false;
    }
  }
  if (toolWasOff) {
    if (drillSlots())
      spindleWait(ops_);
    else
      ctx_.sleep(std::chrono::milliseconds(std::lround(ctx_.settings.spindleRunUpSeconds * 1000)));
  }
  return true;
}

void tJobCommands::returnToBreakPoint() {
  const tplotstate& st = ctx_.st;
  const tControlSettings& s = ctx_.settings;
  const double bx = break_.breakpoint.x / 100.0, by = break_.breakpoint.y / 100.0, bz = break_.breakpoint.z / 100.0;
  if (s.hasKnife) rotateKnifeToSteps(ops_, break_.breakAbsposV);
  const double zc = (st.pos0.z + st.abspos.z) / 100.0;
  if (zc >= s.travelHeight)
    moveToPoint(ops_, speedSlot::travel, zc, by, bx);
  else
    moveToPoint(ops_, speedSlot::travel, s.travelHeight, (st.abspos.y - st.pos0.y) / 100.0,
                (st.abspos.x - st.pos0.x) / 100.0);
  waitIdle();
  moveToPoint(ops_, speedSlot::travel, s.travelHeight, by, bx);
  if (bz < s.top()) {
    waitIdle();
    moveToPoint(ops_, speedSlot::travel, s.top(), by, bx);
  }
  waitIdle();
  if (bz >= s.top()) {
    moveToPoint(ops_, speedSlot::travel, bz, by, bx);
  } else {
    if (!drillSlots()) loadSpeedSlot(ops_, speedSlot::plunge, s.plungeFeed);
    moveToPoint(ops_, static_cast<std::uint8_t>(ctx_.machine.plungeSlot), bz, by, bx);
  }
  waitIdle();
}

// ----- the main window's commands -----

void tJobCommands::Wstrzymaj1Click() {
  ctx_.flags.runRequested = false;
  ctx_.hourglass(true);
  ctx_.flags.pausedFromPc = true;
  if (ctx_.flags.engravingRunning)
    ctx_.flags.engravingStopRequested = true;
  else
    wstrzymaj();
  if (ctx_.mainWindow.updateMenuItems) ctx_.mainWindow.updateMenuItems();
  ctx_.hourglass(false);
  ctx_.report(tControlEventKind::jobPaused);
}

bool tJobCommands::jobActive() const { return ctx_.flags.jobPaused || ctx_.flags.jobStarted || trans_.isOpen; }

bool tJobCommands::mayCloseProgram() {
  if (!jobActive()) return true;
  char percent[16];
  std::snprintf(percent, sizeof percent, "%.0f %%", std::floor(ctx_.flags.transmissionPercent));
  const std::string question =
      ctx_.text("Main_window", ctx_.flags.jobPaused ? "msgZadanieWstrzymane" : "msgZadanieTrwa") + " " + percent +
      ".\r\n\r\n" + ctx_.text("Main_window", "msgZamknacPrzyZadaniu");
  if (ctx_.texts.confirmationBox(question, texts::ButtonSet::yesNo()) != texts::DialogButton::Yes) return false;
  if (!ctx_.flags.jobPaused) Wstrzymaj1Click();
  if (trans_.isOpen) trans_.stop();
  return true;
}

void tJobCommands::ZatrzymajZadanieClick() {
  if (!jobActive()) return;
  const texts::DialogButton answer =
      ctx_.texts.confirmationBox(ctx_.text("Main_window", "msgCzyZatrzymacZadanie"), texts::ButtonSet::yesNo());
  if (answer != texts::DialogButton::Yes) return;
  ctx_.hourglass(true);
  ctx_.flags.runRequested = false;
  if (!ctx_.flags.jobPaused) wstrzymaj();
  if (trans_.isOpen) trans_.stop();
  clearJob(ops_);
  waitIdle();
  ctx_.flags.jobPaused = false;
  ctx_.flags.jobStarted = false;
  ctx_.flags.pausedFromPc = false;
  ctx_.flags.pausedFromMachine = false;
  if (ctx_.mainWindow.updateMenuItems) ctx_.mainWindow.updateMenuItems();
  ctx_.hourglass(false);
  ctx_.report(tControlEventKind::jobAbandoned);
}

void tJobCommands::Kontynuacja1Click() {
  // A transfer held for a wrong echo goes on with the job.
  ctx_.flags.transferHeld = false;
  const int project = ctx_.mainWindow.activeProjectType ? ctx_.mainWindow.activeProjectType() : 0;
  if (project != 0) {
    ctx_.flags.runRequested = true;
    if (project == 4) {
      if (ctx_.mainWindow.engravingWorkerExists && ctx_.mainWindow.engravingWorkerExists()) {
        ster_.SterBlokadaParamCiecia(false);
        ctx_.flags.engravingStopRequested = false;
        if (ctx_.mainWindow.resumeEngraving) ctx_.mainWindow.resumeEngraving();
      }
      return;
    }
  }
  ctx_.hourglass(true);
  ctx_.flags.pausedFromPc = false;
  kontynuuj();
  if (ctx_.mainWindow.updateMenuItems) ctx_.mainWindow.updateMenuItems();
  ctx_.hourglass(false);
}

void tJobCommands::Powtrz1Click() {
  ops_.status.readState();
  if (!ops_.status.lastReadAnswered()) return;
  if (!ctx_.linkState().cncMachine) {
    if (!ctx_.st.bit(stateBit::jobStored)) {
      ctx_.errorBox(ctx_.text("Main_window", "msgBrakZbioruDoPowtórzenia"),
                    ctx_.mainWindow.lastOpenedFile ? ctx_.mainWindow.lastOpenedFile() : std::string());
      return;
    }
    ctx_.hourglass(true);
    if (moveToPoint(ops_, speedSlot::travel, ctx_.settings.travelHeight, 0, 0)) startStoredJob(ops_);
    ctx_.hourglass(false);
    return;
  }
  // The travel slot's code in the machine's own layout.
  loadSpeedSlot(ops_, speedSlot::travel, ctx_.settings.travelFeed);
  moveToPoint(ops_, speedSlot::travel, ctx_.settings.travelHeight, 0, 0);
  if (trans_.isOpen) trans_.stop();
  clearJob(ops_);
  // The controller forgot the old job, and with it any pause.
  ctx_.flags.jobPaused = false;
  ctx_.flags.jobStarted = false;
  if (!trans_.start()) {
    ctx_.errorBox(ctx_.text("Main_window", "msgBrakZbioruDoPowtórzenia"), trans_.jobFilePath());
    return;
  }
  ctx_.flags.runRequested = true;
  ctx_.flags.pausedFromPc = false;
  ctx_.flags.pausedFromMachine = false;
  ctx_.report(tControlEventKind::jobStarted, 0, "repeat");
}

}  // namespace trazvik
