#include "control/cutting_session.h"

#include "config/tdlgkonfig.h"
#include "control/homing.h"
#include "link/move_operations.h"
#include "machine/machine_capabilities.h"
#include "project/tmdichild.h"

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
    if (logs_) logs_->started(info);
  };
  c.runRequested = [this] {
    tControlState& flags = control.context.flags;
    flags.runRequested = true;
    flags.pausedFromPc = false;
    flags.pausedFromMachine = false;
  };
  c.notificationsOff = [this] { stopEndOfJobSignal(control.context.flags); };
  c.stopJob = [this] { control.commands.Wstrzymaj1Click(); };
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

void tCuttingSession::takeSettings(const tControlSettings& snapshot) { control.context.settings = snapshot; }

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
