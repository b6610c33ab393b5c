#include "control/cutting_session.h"

#include "config/tdlgkonfig.h"
#include "control/homing.h"
#include "link/move_operations.h"
#include "machine/commands_basic.h"
#include "machine/commands_immediate.h"
#include "machine/machine_capabilities.h"
#include "machine/state_bits.h"
#include "project/tmdichild.h"

#include <algorithm>
#include <filesystem>
#include <utility>

namespace trazvik {

tCuttingSession::tCuttingSession(tMachineConnection& connection, TDlgkonfig& settings, const texts::tInterfejs& texts,
                                 tCuttingSessionSetup setup)
    : control(connection, texts, setup.dataDirectory),
      engraving(
          tEngravingContext{connection.ops(), control.flags, control.transfer, settings, texts,
                            [&connection](std::function<void()> step) { connection.queue().post(std::move(step)); },
                            [this] {
                              if (control.panel.display().shown) control.panel.Tick();
                            }}),
      baseCheck(control.context, connection.ops(), control.commands),
      connection_(connection),
      switches_(setup.switches),
      windowCaption_(setup.windowCaption),
      logs_(setup.logs ? std::make_unique<tControlLogs>(*setup.logs) : nullptr),
      startMachine_(connection.ops(), control.transfer),
      startContext_{startMachine_, settings,      texts, setup.dataDirectory, connection.ops().settings.travelHeight,
                    std::string(), setup.switches},
      start_(startContext_) {
  tControlContext& cc = control.context;
  cc.onEvent = [this](const tControlEvent& e) {
    switch (e.kind) {
      case tControlEventKind::jobStarted: followJob(); break;  // a repeat
      case tControlEventKind::jobEnded: follower_.finished(); break;
      case tControlEventKind::jobAbandoned: follower_.stopped(); break;
      case tControlEventKind::linkLost:
      case tControlEventKind::linkFaulty:
      case tControlEventKind::controllerStalled:
      case tControlEventKind::jobInterrupted:
        follower_.interrupted(static_cast<std::uint64_t>(std::max(0, e.filePos)));
        break;
      default: break;
    }
    if (logs_) logs_->onEvent(e);
    if (onEvent) onEvent(e);
  };
  cc.mainWindow.startCommand = [this] { Start1Click(activeProject ? activeProject() : nullptr); };
  cc.mainWindow.resumeEngraving = [this] { engraving.resume(); };
  cc.mainWindow.engravingWorkerExists = [this] { return engraving.workerExists(); };
  cc.mainWindow.baseCheckMonitor = [this](bool forced) { baseCheck.baseCheckMonitor(forced); };
  cc.mainWindow.baseCheckSummary = [this] { baseCheck.endOfJob(); };
  baseCheck.decimalSeparator = settings.decimalSeparator();
  baseCheck.nearestFigure = [this](double x, double y) -> std::optional<int> {
    const TMDIChild* project = activeProject ? activeProject() : nullptr;
    if (!project || project->ImportFileType == 3) return std::nullopt;
    return project->ktoraToFigura(y, x);
  };

  startContext_.burnBitmap = [this] { WypalBMP1Click(activeProject ? activeProject() : nullptr); };
  tStartContext& c = startContext_;
  c.jobStarted = [this](const logging::CutStartInfo& info) {
    followJob();
    logging::CutStartInfo noted = info;
    noted.resumedFrom = resumeNote_;
    if (logs_) logs_->started(noted);
  };
  c.runRequested = [this] {
    tControlState& flags = control.context.flags;
    flags.runRequested = true;
    flags.pausedFromPc = false;
    flags.pausedFromMachine = false;
  };
  c.notificationsOff = [this] { stopEndOfJobSignal(control.context.flags); };
  c.stopJob = [this] { control.commands.Wstrzymaj1Click(); };
  c.jobActive = [this] { return control.commands.jobActive(); };
  c.baseCheckStart = [this](const TMDIChild& project) { baseCheckStart(project); };
}

tBaseCheckJobInfo tCuttingSession::baseCheckInfo(const TMDIChild& project) const {
  const TDlgkonfig& s = startContext_.settings;
  const tLinkState& link = connection_.ops().linkState();
  const tMachineModel& model = connection_.ops().machine;
  const tMachineParams& p = model.machineParams;
  tBaseCheckJobInfo i;
  i.caption = windowCaption_;
  i.info1 = connection_.ops().st.info1;
  i.processor = processorName(link);
  i.firmware = std::to_string(link.protocolLevel) + "." + std::to_string(link.firmwareMinor) + "." +
               std::to_string(link.firmwareBuild);
  i.computer = computerName();
  i.projectPath = project.sciezka;
  i.workSpeed = s.real("WorkSpeed");
  i.travelSpeed = s.real("przespeed");
  i.drillFeed = s.real("wiercenie_posuw");
  i.drillRetract = s.real("wiercenie_cofanie");
  i.toolDiameter = s.real("srednica");
  i.doOutline = s.flag("doOutline");
  i.spiralStep = s.real("skok");
  i.scale = s.real("skala");
  i.radiusFactorStraight = p.radiusFactorStraight;
  i.radiusFactorSmooth = p.radiusFactorSmooth;
  i.radiusFactorSlope = p.radiusFactorSlope;
  i.rampStep = p.rampStep;
  i.cornerAngle = model.cornerAngle;
  i.cornerAngleFlat = model.cornerAngleFlat;
  return i;
}

void tCuttingSession::baseCheckStart(const TMDIChild& project) {
  baseCheck.startOfJob(baseCheckInfo(project));
  tMachineOps& ops = connection_.ops();
  moveToMachinePoint(ops, 0, 0, 0);
  tHomingOptions homing;
  homing.hasKnife = startContext_.settings.flag("CBAktywnaGlowica");
  homing.switches = switches_;
  for (int i = 0; i < 2; ++i)
    if (bazujClick(ops, homing) != tHomingResult::homed) break;
}

void tCuttingSession::followJob() {
  std::string error;
  tMachineOps& ops = connection_.ops();
  // A job whose index cannot be read is still cut; it just cannot be taken
  // up at a figure later.
  follower_.begin(std::filesystem::path(control.context.dataDirectory) / jobFileName, ops.commandSet(),
                  ops.machine.commandLengths, error);
}

void tCuttingSession::timerEvent() {
  control.timerEvent();
  if (!follower_.following()) return;
  const TTransArm& t = control.transfer;
  const std::uint64_t sent =
      static_cast<std::uint64_t>(t.isOpen ? t.filePosition() : std::max(0, control.context.flags.lastFilePos));
  // The loop reads the positions in the steps in which it does not send.
  const bool positionsRead = !control.context.flags.transferActive;
  follower_.observe(sent, connection_.ops().st, positionsRead, connection_.ops().params().laserZAxis != 0);
  // A link that goes down under a followed job cuts it off, whatever part
  // of the loop noticed it first (a transfer held for a missing echo
  // reports nothing itself).
  if (!connection_.connected()) follower_.interrupted(sent);
}

void tCuttingSession::closingOverJob() {
  if (!follower_.following()) return;
  const TTransArm& t = control.transfer;
  follower_.interrupted(
      static_cast<std::uint64_t>(t.isOpen ? t.filePosition() : std::max(0, control.context.flags.lastFilePos)));
}

std::optional<tInterruptedJob> tCuttingSession::interruptedJob(std::string& error) const {
  const tMachineOps& ops = connection_.ops();
  return findInterruptedJob(control.context.dataDirectory, ops.commandSet(), ops.machine.commandLengths, error);
}

tResumePoint tCuttingSession::resumePoint(tInterruptedJob& job) {
  // This program sent the job and still follows it: it knows how far.
  const bool sentKnown = follower_.following() && follower_.index().jobHash == job.index.jobHash;
  if (sentKnown) {
    const bool reset = job.progress.controllerReset, homing = job.progress.homingRequired;
    job.progress = follower_.progress();
    job.progress.controllerReset = reset;
    job.progress.homingRequired = homing;
  }
  tMachineOps& ops = connection_.ops();
  ops.status.readState();
  ops.status.readPositions();
  ops.status.readZeroPoint();
  const tResumeEvidence e = evidenceNow(job, ops.st, ops.params().laserZAxis != 0, sentKnown);
  if (e.controllerForgot && !job.progress.controllerReset) {
    job.progress.controllerReset = true;
    job.progress.homingRequired = true;
    std::string error;
    writeJobProgress(jobProgressPathOf(job.jobFile), job.progress, error);
  }
  tResumeEvidence noted = e;
  noted.homedSinceLoss = job.progress.controllerReset && !job.progress.homingRequired;
  return findResumePoint(job.index, job.track, noted);
}

tResumeChoice tCuttingSession::defaultChoice() const {
  return defaultResumeChoice(connection_.ops().params(), startContext_.settings.flag("CBAktywnaGlowica"));
}

tResumeResult tCuttingSession::resume(TMDIChild* project, const tInterruptedJob& job, const tResumePoint& point,
                                      tResumeChoice choice) {
  tResumeResult r;
  if (project == nullptr) {
    r.message = "No project is open: open the design file of the interrupted job first.";
    return r;
  }
  if (auto changed = projectChangeText(job, project->sciezka)) {
    r.message = *changed;
    return r;
  }
  if (point.homingRequired) {
    r.message = point.account;
    return r;
  }
  const auto from = resumeStartOf(job, point, choice);
  if (!from) {
    r.message = "Every figure of the interrupted job has been cut: nothing is left to take up.";
    return r;
  }
  tMachineOps& ops = connection_.ops();
  ops.status.readState();
  if (!ops.linkUp()) {
    r.message = "The controller does not answer.";
    return r;
  }
  if (ops.st.bit(stateBit::motionRunning)) {
    r.message = "The machine still moves: wait until it has run out its job, then take the job up.";
    return r;
  }
  // What the controller still holds of the old job goes, and the tool is
  // switched off before anything moves.
  if (ops.st.bit(stateBit::jobRunning) || ops.st.bit(stateBit::jobPaused)) {
    control.context.send(letterCommand(immediate::clearJob));
    ops.status.waitWhileBusy();
    ops.status.readState();
  }
  if (ops.st.bit(stateBit::toolOn)) control.context.send(outputsCommand(0, ops.st.sel_power, CommandForm::immediate));
  control.context.flags.jobPaused = false;
  control.context.flags.jobStarted = false;

  r.figure = from->figure;
  resumeNote_ = "figure " + std::to_string(from->figure + 1) + " " + resumeChoiceText(choice) + " (job " +
                job.index.jobHash + ", stopped at byte " + std::to_string(point.executed) + ", " +
                resumeCertaintyName(point.certainty) + ")";
  const int headChoice = startContext_.headChoice;
  startContext_.headChoice = job.index.head;
  if (!starting_) {
    starting_ = true;
    r.variant = start_.resumeFrom(project, from->figure, from->layer);
    lastVariantOutcome_ = r.variant;
    started();
  }
  startContext_.headChoice = headChoice;
  resumeNote_.clear();
  r.started = r.variant == tVariantOutcome::started;
  if (!r.started) r.message = std::string("The job was not taken up: ") + variantOutcomeName(r.variant) + ".";
  return r;
}

void tCuttingSession::takeSettings(const tControlSettings& snapshot) {
  control.context.settings = snapshot;
  // The head commands (activation, the multi-head tool measurement) place
  // the heads by these offsets.
  auto& offsets = connection_.ops().settings.headOffsets;
  for (std::size_t i = 0; i < offsets.size(); ++i) offsets[i] = {snapshot.headOffsets[i].x, snapshot.headOffsets[i].y};
}

void tCuttingSession::started() {
  // Pause and continue retract to the height this job travels at.
  control.context.settings.travelHeight = connection_.ops().settings.travelHeight;
  if (afterStart) afterStart();
  starting_ = false;
}

tStartOutcome tCuttingSession::Start1Click(TMDIChild* project) {
  if (starting_) return lastOutcome_;
  starting_ = true;
  lastOutcome_ = start_.Start1Click(project);
  started();
  return lastOutcome_;
}

tBurnOutcome tCuttingSession::WypalBMP1Click(TMDIChild* project) {
  lastBurnOutcome_ = engraving.WypalBMP1Click(project);
  return lastBurnOutcome_;
}

tVariantOutcome tCuttingSession::cutSelection(TMDIChild* project, tJobScope scope) {
  if (starting_) return lastVariantOutcome_;
  starting_ = true;
  lastVariantOutcome_ =
      scope == tJobScope::selectedFigure ? start_.Tnijwybran1Click(project) : start_.Startodwybranej1Click(project);
  started();
  return lastVariantOutcome_;
}

}  // namespace trazvik
