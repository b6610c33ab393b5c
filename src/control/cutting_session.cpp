#include "control/cutting_session.h"

#include <utility>

namespace trazvik {

tCuttingSession::tCuttingSession(tMachineConnection& connection, TDlgkonfig& settings, const texts::tInterfejs& texts,
                                 tCuttingSessionSetup setup)
    : control(connection, texts, setup.dataDirectory),
      connection_(connection),
      switches_(setup.switches),
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

tVariantOutcome tCuttingSession::cutSelection(TMDIChild* project, tJobScope scope) {
  if (starting_) return lastVariantOutcome_;
  starting_ = true;
  lastVariantOutcome_ =
      scope == tJobScope::selectedFigure ? start_.Tnijwybran1Click(project) : start_.Startodwybranej1Click(project);
  started();
  return lastVariantOutcome_;
}

}  // namespace trazvik
