#include "frame/cutting_commands.h"

#include "config/configuration.h"
#include "frame/main_window.h"
#include "project/project_window.h"
#include "project/tmdichild.h"

#include <QAction>
#include <QApplication>

#include <algorithm>

namespace trazvik::ui {

CuttingCommands::CuttingCommands(ProgramContext& context, MainWindow& mainWindow, tMachineConnection& connection,
                                 tMachineControl& control, tControlLogs* logs)
    : context_(context),
      main_(mainWindow),
      connection_(connection),
      control_(control),
      logs_(logs),
      machine_(connection.ops(), control.transfer) {
  tMachineOps& ops = connection_.ops();
  startContext_ = std::make_unique<tStartContext>(tStartContext{machine_, context_.settings(), context_.texts(),
                                                                context_.frame.dataDirectory(),
                                                                ops.settings.travelHeight, std::string(),
                                                                context_.switches()});
  tStartContext& c = *startContext_;
  c.jobStarted = [this](const logging::CutStartInfo& info) {
    if (logs_) logs_->started(info);
  };
  c.busyCursor = [](bool busy) {
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
  };
  c.notificationsOff = [this] {
    stopEndOfJobSignal(control_.context.flags);
    main_.UpdateMenuItems();
  };
  c.runRequested = [this] {
    tControlState& flags = control_.context.flags;
    flags.runRequested = true;
    flags.pausedFromPc = false;
    flags.pausedFromMachine = false;
  };
  c.openLayersDialog = [this] {
    if (QAction* layers = main_.action("mWarstwy")) layers->trigger();
  };
  c.stopJob = [this] { control_.commands.Wstrzymaj1Click(); };
  // The file the open dialog gave last: the active project's.
  c.openDialogFileName = [this] {
    const ProjectWindow* w = main_.activeProjectWindow();
    return w ? w->project().sciezka : context_.configuration.globalCfg().openDir;
  };
  start_ = std::make_unique<tStartOfCutting>(c);
}

void CuttingCommands::prepareStart() {
  const config::ConfigGlobals& g = context_.configuration.globals();
  tStartContext& c = *startContext_;
  c.headChoice = std::clamp(main_.selectedHead() - 1, 0, 2);
  c.arcSpeedFactor = g.arcSpeedFactor;
  c.settingsCaption = context_.configuration.settingsFile();
}

tStartOutcome CuttingCommands::start() {
  // The machine's own start button may ask again while a start waits.
  if (starting_) return lastOutcome_;
  starting_ = true;
  prepareStart();
  ProjectWindow* window = main_.activeProjectWindow();
  lastOutcome_ = start_->Start1Click(window ? &window->project() : nullptr);
  afterStart(window);
  return lastOutcome_;
}

tVariantOutcome CuttingCommands::cutSelected(tJobScope which) {
  if (starting_) return lastVariantOutcome_;
  starting_ = true;
  prepareStart();
  ProjectWindow* window = main_.activeProjectWindow();
  TMDIChild* project = window ? &window->project() : nullptr;
  lastVariantOutcome_ = which == tJobScope::selectedFigure ? start_->Tnijwybran1Click(project)
                                                           : start_->Startodwybranej1Click(project);
  afterStart(window);
  return lastVariantOutcome_;
}

void CuttingCommands::afterStart(ProjectWindow* window) {
  // Pause and continue retract to the height this job travels at.
  control_.context.settings.travelHeight = connection_.ops().settings.travelHeight;
  // The start rebuilt the toolpaths before writing them.
  if (window) window->refresh();
  main_.UpdateMenuItems();
  starting_ = false;
}

}  // namespace trazvik::ui
