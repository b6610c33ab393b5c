#include "frame/cutting_commands.h"

#include "config/configuration.h"
#include "control/selected_job_writer.h"
#include "control/start_job_writer.h"
#include "frame/main_window.h"
#include "job/job_machine.h"
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
  // The writer reads the head the start chose once it has chosen it.
  tJobWriterCall writer = startJobWriter(context_.settings(), [] { return currentJobMachine(); }, writerHead_,
                                         ops.settings.travelHeight);
  c.writeJob = [this, writer](TMDIChild& project, const std::string& path, int mode, bool multiLayer) {
    writerHead_ = std::clamp(start_->chosenHead(), 0, 2);
    return writer(project, path, mode, multiLayer);
  };
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
  start_ = std::make_unique<tStartOfCutting>(c);

  variants_ = std::make_unique<tCuttingVariants>(c, *start_);
  tSelectedJobWriterCall selected = selectedJobWriter(context_.settings(), [] { return currentJobMachine(); },
                                                      writerHead_, ops.settings.travelHeight);
  variants_->writeSelected = [this, selected](TMDIChild& project, const std::string& path, int mode,
                                              tSelectedJob which) {
    writerHead_ = std::clamp(variants_->chosenHead(), 0, 2);
    return selected(project, path, mode, which);
  };
  // The file the open dialog gave last: the active project's.
  variants_->openDialogFileName = [this] {
    const ProjectWindow* w = main_.activeProjectWindow();
    return w ? w->project().sciezka : context_.configuration.globalCfg().openDir;
  };
}

void CuttingCommands::prepareStart() {
  const TDlgkonfig& s = context_.settings();
  const config::ConfigGlobals& g = context_.configuration.globals();
  // The tool-radius outline's travel height; the start replaces it for
  // G-code programs and lasers.
  connection_.ops().settings.travelHeight = outlineTravelHeight(s);
  tStartContext& c = *startContext_;
  c.headChoice = std::clamp(main_.selectedHead() - 1, 0, 2);
  for (std::size_t i = 0; i < g.headOffsets.size(); ++i) {
    c.headOffsets[2 * i] = g.headOffsets[i].x;
    c.headOffsets[2 * i + 1] = g.headOffsets[i].y;
  }
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

tVariantOutcome CuttingCommands::cutSelected(tSelectedJob which) {
  if (starting_) return lastVariantOutcome_;
  starting_ = true;
  prepareStart();
  ProjectWindow* window = main_.activeProjectWindow();
  TMDIChild* project = window ? &window->project() : nullptr;
  lastVariantOutcome_ = which == tSelectedJob::selectedFigure ? variants_->Tnijwybran1Click(project)
                                                              : variants_->Startodwybranej1Click(project);
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
